// Environment-mapped object under one directional light: the surface shows the cube map in the
// direction of the reflected view, lit by the light's ambient and diffuse colours, with a specular
// highlight. Its alpha is the surface texture's alpha, halved.
//
// The structures are laid out as the program sends them: DirLight is 60 bytes (the light), Mtrl 52
// (the object's material, member by member).

struct Mtrl {
    float4 ambient;
    float4 diffuse;
    float4 specular;
    float  specPower;
};

struct DirLight {
    float4 ambient;
    float4 diffuse;
    float4 specular;
    float3 dirW;       // unit direction the light travels
};

float    dif;          // not read
float    value;        // not read
float4x4 gWorld;
float4x4 gWorldInvTrans;
float4x4 gWVP;
Mtrl     gMtrl;
DirLight gLight;
float3   gEyePosW;
texture  gTex;
textureCUBE gEnvMap;
texture  harf;         // not sampled

sampler2D TexS = sampler_state {
    Texture = <gTex>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};

samplerCUBE EnvMapS = sampler_state {
    Texture = <gEnvMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};

sampler2D HarfS = sampler_state {
    Texture = <harf>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
    AddressU = Wrap; AddressV = Wrap;
};

glsl common {
    // Fully reflective: the material colours drop out of the lit colour.
    const float kReflectivity = 1.0;
}

glsl vertex EnvMapVS {
    out vec3 normalW;
    out vec3 toEyeW;
    out vec2 surfaceCoord;
    void main() {
        normalW = (vec4(iNormal, 0.0) * gWorldInvTrans).xyz;
        vec3 posW = (vec4(iPosition.xyz, 1.0) * gWorld).xyz;
        toEyeW = gEyePosW - posW;
        gl_Position = vec4(iPosition.xyz, 1.0) * gWVP;
        surfaceCoord = iTexCoord0.xy;
        velor_Finish(1.0);
    }
}

glsl fragment EnvMapPS {
    in vec3 normalW;
    in vec3 toEyeW;
    in vec2 surfaceCoord;
    void main() {
        vec3 n = normalize(normalW);
        vec3 e = normalize(toEyeW);
        vec3 l = -gLight.dirW;
        vec3 r = reflect(gLight.dirW, n);
        float highlight = max(dot(r, e), 0.0);
        // x to the power 0 is 1; GLSL leaves pow(0, 0) undefined.
        float t = gMtrl.specPower > 0.0 ? pow(highlight, gMtrl.specPower) : 1.0;
        float s = max(dot(l, n), 0.0);
        vec4 surface = texture(TexS, surfaceCoord) / 4.0;
        vec3 reflected = texture(EnvMapS, reflect(-e, n)).rgb;
        vec3 ambientMtrl = mix(gMtrl.ambient.rgb * surface.rgb, reflected, kReflectivity);
        vec3 diffuseMtrl = mix(gMtrl.diffuse.rgb * surface.rgb, reflected, kReflectivity);
        vec3 ambient = ambientMtrl * gLight.ambient.rgb;
        vec3 diffuse = s * diffuseMtrl * gLight.diffuse.rgb;
        vec3 specular = t * gLight.specular.rgb * 0.25;
        oColor = vec4(ambient + diffuse + specular, 2.0 * surface.a);
    }
}

technique EnvMapTech {
    pass P0 {
        VertexShader = EnvMapVS;
        PixelShader  = EnvMapPS;
    }
}
