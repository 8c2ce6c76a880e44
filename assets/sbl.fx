// sbl.fx: texture splatting for the tunnel wall. Three layers (rock, walling blocks, grass) are mixed
// by the weights of the blend texture, which spans four times the area of a layer so its patches are
// broad; a fine detail texture is added on top; the wall is lit through a tangent-space normal map by
// a lamp that rides with the camera and a warm glow that travels up and down the bore.
//
// The mesh arrives with a tangent frame taken from its texture coordinates: BINORMAL is the
// derivative along u, TANGENT the derivative along v. The normal map is painted with x along +u and
// y along +v, so x goes with the binormal and y with the tangent.
//
// "value" is half the angle the tunnel has turned about y. The lights are placed in the mesh's own
// space, so the lamp is turned back by twice "value" to stay with the camera while the tunnel turns.

float4x4 gWVP;       // world · view · projection, row vector times matrix
float    value;      // half the turn of the tunnel, radians

texture normal;
texture detail_tex;
texture blend_tex;
texture C1;
texture C2;
texture C3;

sampler2D NormalSamp = sampler_state {
    Texture = <normal>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};
sampler2D DetailSamp = sampler_state {
    Texture = <detail_tex>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};
sampler2D BlendSamp = sampler_state {
    Texture = <blend_tex>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};
sampler2D Layer1Samp = sampler_state {
    Texture = <C1>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};
sampler2D Layer2Samp = sampler_state {
    Texture = <C2>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};
sampler2D Layer3Samp = sampler_state {
    Texture = <C3>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};

glsl common {
    const float kBlendScale = 0.25;      // blend texture: one repeat per four layer repeats
    const float kDetailScale = 4.0;      // detail texture: four repeats per layer repeat
    const float kDetailStrength = 0.35;
    const float kAmbient = 0.07;
    const vec3  kLampColor = vec3(1.0, 0.96, 0.9);
    const vec3  kGlowColor = vec3(1.0, 0.5, 0.2);
}

glsl vertex TerrainVS {
    out vec2 tUv;
    out vec3 tPosition;   // mesh space
    out vec3 tNormal;
    out vec3 tTangent;    // along v
    out vec3 tBinormal;   // along u
    out vec3 tLamp;       // lamp position, mesh space
    out vec3 tGlow;       // travelling glow position, mesh space
    void main() {
        gl_Position = vec4(iPosition.xyz, 1.0) * gWVP;
        tUv = iTexCoord0.xy;
        tPosition = iPosition.xyz;
        tNormal = iNormal;
        tTangent = iTangent;
        tBinormal = iBinormal;
        // The camera sits about a unit behind the turning axis; undo the turn (2 · value about y).
        float a = 2.0 * value;
        vec3 lampWorld = vec3(0.4, 0.3, -1.0);
        tLamp = vec3(lampWorld.x * cos(a) - lampWorld.z * sin(a), lampWorld.y,
                     lampWorld.x * sin(a) + lampWorld.z * cos(a));
        tGlow = vec3(1.2 * sin(value * 2.3), 0.9 * cos(value * 1.7), 28.0 * sin(value * 0.9));
        velor_Finish(1.0);
    }
}

glsl fragment SplatPS {
    in vec2 tUv;
    in vec3 tPosition;
    in vec3 tNormal;
    in vec3 tTangent;
    in vec3 tBinormal;
    in vec3 tLamp;
    in vec3 tGlow;

    vec3 PointLight(vec3 n, vec3 lightPos, float falloff) {
        vec3 toLight = lightPos - tPosition;
        float d2 = dot(toLight, toLight);
        float diffuse = max(dot(n, toLight * inversesqrt(max(d2, 1e-6))), 0.0);
        return vec3(diffuse / (1.0 + falloff * d2));
    }

    void main() {
        vec3 w = texture(BlendSamp, tUv * kBlendScale).rgb;
        w /= max(w.r + w.g + w.b, 1e-3);
        vec3 albedo = w.r * texture(Layer1Samp, tUv).rgb
                    + w.g * texture(Layer2Samp, tUv).rgb
                    + w.b * texture(Layer3Samp, tUv).rgb;
        float detail = texture(DetailSamp, tUv * kDetailScale).r;
        albedo = clamp(albedo + (detail - 0.5) * kDetailStrength, 0.0, 1.0);

        vec4 bump = texture(NormalSamp, tUv);
        vec3 nt = bump.xyz * 2.0 - 1.0;
        vec3 n = normalize(nt.x * normalize(tBinormal) + nt.y * normalize(tTangent) + nt.z * normalize(tNormal));

        vec3 lamp = PointLight(n, tLamp, 0.012) * kLampColor;
        vec3 glow = PointLight(n, tGlow, 0.06) * kGlowColor * (0.8 + 0.2 * sin(value * 11.0));
        // A little sheen on the raised parts, seen from the lamp.
        vec3 toLamp = normalize(tLamp - tPosition);
        float sheen = pow(max(dot(reflect(-toLamp, n), toLamp), 0.0), 24.0) * 0.35 * bump.a;

        vec3 colour = albedo * (kAmbient + 1.35 * lamp + 1.4 * glow) + sheen * lamp;
        oColor = vec4(colour, 1.0);
    }
}

technique Splat {
    pass p0 {
        VertexShader = TerrainVS;
        PixelShader = SplatPS;
    }
}
