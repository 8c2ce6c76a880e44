// PointAlpha.fx: one point sprite, tinted.
//
// The point is placed and sized by the device's fixed-function vertex stage (world, view and
// projection transforms; point size, scale and minimum), which expands it into a screen-aligned
// quad. The pass sets no states of its own: the caller's additive blend (source alpha, destination
// one) and its depth states decide how sprites pile up.
//
// The sprite's vertex colour is zero, so only "g_matDiffuse" tints it; colours and alphas outside
// 0..1 are clamped by the 8-bit target, which keeps negative alphas from subtracting light.

texture tinit;
float4 g_matDiffuse = float4(1.0, 1.0, 1.0, 1.0);

sampler2D SpriteSampler = sampler_state {
    Texture = <tinit>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Clamp;
    AddressV = Clamp;
};

glsl fragment SpritePS {
    // The output is the texel times the tint: the device may leave out pixels where the texel is zero.
    #pragma velor_output_scales_texture0
    void main() {
        oColor = texture(SpriteSampler, velor_SpriteCoord) * g_matDiffuse;
    }
}

technique Trans {
    pass P0 {
        PixelShader = SpritePS;
    }
}
