texture Tex;
texture Cube;
sampler2D Samp = sampler_state { Texture = <Tex>; MinFilter = Linear; MagFilter = Point; MipFilter = None; AddressU = Clamp; AddressV = Wrap; };
samplerCUBE Env = sampler_state { Texture = <Cube>; AddressU = Mirror; };
glsl fragment PS {
    in vec2 uv;
    void main() { oColor = texture(Samp, uv) + texture(Env, vec3(uv, 1.0)); }
}
technique T { pass P0 { PixelShader = PS; CullMode = None; } }
