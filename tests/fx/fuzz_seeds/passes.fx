float4x4 WorldViewProj;
glsl common { float Half(float x) { return x * 0.5; } }
glsl vertex VS {
    out vec4 color;
    void main() { color = vec4(Half(1.0)); velor_Finish(WorldViewProj * vec4(iPosition.xyz, 1.0), 1.0); }
}
glsl fragment PS {
    in vec4 color;
    void main() { oColor = color; }
}
technique Shadow {
    pass Volume {
        VertexShader = VS; PixelShader = PS;
        StencilEnable = true; TwoSidedStencilMode = true; StencilFunc = Always; CcwStencilPass = Decr;
        StencilPass = Incr; ZWriteEnable = false; ColorWriteEnable = 0;
    }
    pass Fill {
        AlphaBlendEnable = true; SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; BlendOp = Add;
        ColorOp[0] = Modulate; ColorArg1[0] = Texture; AlphaOp[0] = SelectArg1;
    }
}
technique Plain { pass { FillMode = Wireframe; PointSize = 4.0; Lighting = false; } }
