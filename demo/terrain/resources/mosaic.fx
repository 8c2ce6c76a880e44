// Mosaic over the full-screen quad: the image is cut into square bricks of a pulsing size, every
// odd row shifted by half a brick like a brick wall, and each brick shows the colour at its centre.

float4x4 worldViewProj : WorldViewProjection;  // transposed by the program: used as mul(M, v)
texture  Tex;                                  // the image to process
float    MusicTimer;                           // bricks per axis = 900 x MusicTimer
float    value;                                // not read
float2   center = {0.5, 0.5};                  // not read

sampler2D Samp = sampler_state {
    Texture = <Tex>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl vertex QuadVS {
    out vec2 quadCoord;
    void main() {
        gl_Position = worldViewProj * vec4(iPosition.xyz, 1.0);
        quadCoord = iTexCoord0.xy;
        velor_Finish(1.0);
    }
}

glsl fragment BrickPS {
    in vec2 quadCoord;
    void main() {
        vec2 uv = quadCoord;
        float brick = 1.0 / (900.0 * MusicTimer);   // brick size in texture coordinates
        if (mod(floor(uv.y / brick), 2.0) >= 1.0) uv.x += brick / 2.0;
        vec2 index = floor(uv / brick);
        oColor = texture(Samp, index * brick + brick / 2.0);
    }
}

technique WATER {
    pass p0 {
        VertexShader = QuadVS;
        PixelShader  = BrickPS;
        ZEnable = false;
    }
}
