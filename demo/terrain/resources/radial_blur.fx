// Radial blur over the full-screen quad: the image wobbles along both axes, then sixteen samples
// taken along the line through the centre, at scales from BlurStart to BlurStart + BlurWidth, are
// averaged, so the picture smears towards and away from the centre.

float4x4 worldViewProj : WorldViewProjection;  // transposed by the program: used as mul(M, v)
float    BlurStart;                            // scale of the first sample
float    BlurWidth;                            // scale step across all sixteen samples
float4   Center;                               // blur centre in texture coordinates (x, y)
texture  Tex : S0;                             // the image to process
float    value;                                // phase of the wobble

// Addressing is left as the device has it (wrap), so samples past the edges repeat the image.
sampler2D Samp = sampler_state {
    Texture = <Tex>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl common {
    const int kBlurSamples = 16;
}

glsl vertex QuadVS {
    out vec2 blurCoord;   // texture coordinate relative to the centre
    out vec4 quadColor;   // white; no pixel shader reads it
    void main() {
        gl_Position = worldViewProj * vec4(iPosition.xyz, 1.0);
        blurCoord = iTexCoord0.xy - Center.xy;
        quadColor = vec4(1.0);
        velor_Finish(1.0);
    }
}

glsl fragment RadialBlurPS {
    in vec2 blurCoord;
    void main() {
        vec2 t = blurCoord;
        t.y += cos(t.y * 20.0 + value) * 0.015;
        t.x += cos(t.x * 20.0 + value) * 0.015;
        vec4 sum = vec4(0.0);
        for (int i = 0; i < kBlurSamples; ++i) {
            float scale = BlurStart + BlurWidth * float(i) / float(kBlurSamples - 1);
            sum += texture(Samp, t * scale + Center.xy);
        }
        oColor = sum / float(kBlurSamples);
    }
}

glsl fragment PlainPS {
    in vec2 blurCoord;
    void main() {
        oColor = texture(Samp, blurCoord);
    }
}

technique RadialBlur {
    pass p0 {
        VertexShader = QuadVS;
        PixelShader  = RadialBlurPS;
    }
}

technique Default {
    pass p0 {
        VertexShader = QuadVS;
        PixelShader  = PlainPS;
    }
}
