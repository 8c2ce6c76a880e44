float    Gain = 1.0;
float2   Offset = {0.5, -0.25};
float4   Tint : COLOR0 = {1, 0.5, 0.25, 1};
float4x4 World : WORLD;
int      Count = 3;
bool     Enabled = true;
struct DirLight {
    float4 ambient;
    float4 diffuse;
    float3 dirW;
};
DirLight gLight;
technique T { pass { ZEnable = false; } }
