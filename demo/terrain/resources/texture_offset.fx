// Texture offset: whatever texture is bound to stage 0 is drawn shifted by `value` along both u and
// v; the fixed-function vertex stage feeds the texture coordinate.

float value;            // added to u and to v

sampler2D g_samSrcColor;  // no state block: the texture the device has on stage 0

glsl fragment OffsetPS {
    void main() {
        oColor = texture(g_samSrcColor, vTexCoord0.xy + vec2(value));
    }
}

technique PostProcess {
    pass p1 {
        PixelShader = OffsetPS;
    }
}
