// Alpha.fx: environment mapping for the reflective sphere of the shadow scene.
//
// The reflected colour comes from the cube map in the direction of the eye ray mirrored about the
// normal; the light's ambient and diffuse scale it and its specular colour adds a highlight. With a
// reflectivity of 1 the material's colours drop out; only its specular power shapes the highlight.
// The caller draws the object additively, so the alpha (half the sampled "gTex" alpha) sets how
// strongly it shows.
//
// The structures are laid out as the program sends them: DirLight is 60 bytes (the light), Mtrl the
// object's 68-byte material whole, in its own order (diffuse, ambient, specular, emissive, power).

struct Mtrl {
    float4 diffuse;
    float4 ambient;
    float4 specular;
    float4 emissive;
    float specPower;
};

struct DirLight {
    float4 ambient;
    float4 diffuse;
    float4 specular;
    float3 dirW;
};

float dif = 1.0;
float value = 0.0;
float4x4 gWorld;
float4x4 gWorldInvTrans;
float4x4 gWVP;
Mtrl gMtrl;
DirLight gLight;
float3 gEyePosW;
texture gTex;
textureCUBE gEnvMap;
texture harf;

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

glsl common {
    const float kReflectivity = 1.0;
}

glsl vertex EnvMapVS {
    out vec3 normalW;
    out vec3 toEyeW;
    out vec2 texCoord;
    void main() {
        normalW = (vec4(iNormal, 0.0) * gWorldInvTrans).xyz;
        vec3 positionW = (vec4(iPosition.xyz, 1.0) * gWorld).xyz;
        toEyeW = gEyePosW - positionW;
        texCoord = iTexCoord0.xy;
        gl_Position = vec4(iPosition.xyz, 1.0) * gWVP;
        velor_Finish(1.0);
    }
}

glsl fragment EnvMapPS {
    in vec3 normalW;
    in vec3 toEyeW;
    in vec2 texCoord;
    void main() {
        vec3 n = normalize(normalW);
        vec3 e = normalize(toEyeW);
        vec3 l = -gLight.dirW;
        vec3 r = reflect(gLight.dirW, n);
        float t = pow(max(dot(r, e), 0.0), gMtrl.specPower);
        float s = max(dot(l, n), 0.0);
        vec4 texColor = texture(TexS, texCoord) / 4.0;
        vec3 reflected = texture(EnvMapS, reflect(-e, n)).rgb;

        vec3 ambientMtrl = mix(gMtrl.ambient.rgb, reflected, kReflectivity);
        vec3 diffuseMtrl = mix(gMtrl.diffuse.rgb, reflected, kReflectivity);
        vec3 specular = t * gLight.specular.rgb / 4.0;
        vec3 diffuse = s * (diffuseMtrl * gLight.diffuse.rgb);
        vec3 ambient = ambientMtrl * gLight.ambient.rgb;
        oColor = vec4(ambient + diffuse + specular, 2.0 * texColor.a);
    }
}

technique EnvMapTech {
    pass P0 {
        VertexShader = EnvMapVS;
        PixelShader = EnvMapPS;
    }
}
