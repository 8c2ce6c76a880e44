// ShadowVolume.fx: stencil shadows for one object lit by point lights, counted with depth-fail
// (the count is taken behind the visible surface, so it holds with the eye inside a volume).
//
// The program draws, per frame: the object with "RenderSceneAmbient"; then for each light its
// volume with "RenderShadowVolume2Sided" and the object again with "RenderScene". It clears the
// stencil once, before the first light, and draws the object once per material and once more in
// every pass. The stencil value is split in two:
// - the low seven bits count volumes. They are never cleared between lights, so the counts of every
//   light drawn so far add up: a point in the shadow of an earlier light stays dark for the later
//   ones as well, and a later light's shadow does not reach back to the earlier lights;
// - bit 0x80 marks a point the current light has lit, so each light is added once however often
//   the object is drawn. Only this bit is cleared before each light.
// So:
// - "RenderSceneAmbient" is opaque: drawing it again changes nothing.
// - "RenderScene" lights a point only while the whole value is 0 (no volume of any light so far,
//   not yet lit by this one) and sets the mark.
// - "RenderShadowVolume2Sided" clears the mark over the object, then counts this light's volume
//   into the low seven bits (modulo 128: a mask keeps a count that wraps below 0 out of the mark).
//
// The volume mesh gives every face three vertices of its own with the face normal; faces that turn
// away from the light are pushed g_fFarClip further along the light's rays, the others stay. All
// copies of a point therefore land on at most two places and the volume stays closed. The faces
// that stay are the object's own lit faces: they are moved back by a few depth steps so that
// the object's own surface never counts as lying behind them (which would shade it in its own light).

float4x4 g_mWorldViewProjection;   // object space to clip space
float4x4 g_mWorldView;             // object space to view space
float4x4 g_mProj;                  // view space to clip space
float4   g_vLightView;             // light position in view space, w = 1
float4   g_vLightColor = {1.0, 1.0, 1.0, 1.0};
float4   g_vAmbient = {0.1, 0.1, 0.1, 1.0};
float4   g_vMatColor = {1.0, 1.0, 1.0, 1.0};
float    g_fFarClip = 49.9;        // how far faces turned from the light are pushed along its rays
texture  g_txScene;                // accepted, not sampled: the object's texture is on stage 0

sampler2D MeshTexture : register(s0);   // whatever texture the object's subset bound to stage 0

glsl common {
    // Depth steps of a 24-bit buffer (2^-24 each) by which the volume's lit faces sit behind the
    // object's own faces in normalised depth.
    const float kLitFaceDepthOffset = 16.0 / 16777216.0;
}

glsl vertex SceneVS {
    out vec3 viewPosition;
    out vec3 viewNormal;
    out vec2 uv;
    void main() {
        vec4 position = vec4(iPosition.xyz, 1.0);
        gl_Position = position * g_mWorldViewProjection;
        viewPosition = (position * g_mWorldView).xyz;
        viewNormal = (vec4(iNormal, 0.0) * g_mWorldView).xyz;
        uv = iTexCoord0.xy;
        velor_Finish(1.0);
    }
}

glsl fragment AmbientPS {
    in vec3 viewPosition;
    in vec3 viewNormal;
    in vec2 uv;
    void main() {
        vec3 surface = texture(MeshTexture, uv).rgb * g_vMatColor.rgb;
        oColor = vec4(surface * g_vAmbient.rgb, 1.0);
    }
}

glsl fragment LitPS {
    in vec3 viewPosition;
    in vec3 viewNormal;
    in vec2 uv;
    void main() {
        vec3 n = normalize(viewNormal);
        vec3 l = normalize(g_vLightView.xyz - viewPosition);
        float diffuse = max(dot(n, l), 0.0);
        vec3 surface = texture(MeshTexture, uv).rgb * g_vMatColor.rgb;
        oColor = vec4(g_vLightColor.rgb * surface * diffuse, 1.0);
    }
}

// The volume folded flat onto the object: where the object is on screen.
glsl vertex CoverVS {
    void main() {
        gl_Position = vec4(iPosition.xyz, 1.0) * g_mWorldViewProjection;
        velor_Finish(1.0);
    }
}

glsl vertex VolumeVS {
    void main() {
        vec4 position = vec4(iPosition.xyz, 1.0);
        vec3 viewPos = (position * g_mWorldView).xyz;
        vec3 faceNormal = (vec4(iNormal, 0.0) * g_mWorldView).xyz;
        vec3 fromLight = viewPos - g_vLightView.xyz;
        if (dot(faceNormal, fromLight) >= 0.0) {
            // Turned away from the light (or edge-on): along the light's ray, out past the scene.
            viewPos += normalize(fromLight) * g_fFarClip;
            gl_Position = vec4(viewPos, 1.0) * g_mProj;
        } else {
            // Lit: the object's own face, computed as the object's passes compute it, moved back.
            gl_Position = position * g_mWorldViewProjection;
            gl_Position.z += kLitFaceDepthOffset * gl_Position.w;
        }
        velor_Finish(1.0);
    }
}

glsl fragment NoColorPS {
    void main() {
        oColor = vec4(0.0);
    }
}

technique RenderSceneAmbient {
    pass p0 {
        VertexShader = SceneVS;
        PixelShader = AmbientPS;
        ZEnable = true;
        ZWriteEnable = true;
        ZFunc = LessEqual;
        CullMode = CCW;
        FillMode = Solid;
        ColorWriteEnable = Red | Green | Blue | Alpha;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
        StencilEnable = false;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
    }
}

technique RenderShadowVolume2Sided {
    // The previous light's marks off the object; the counts stay.
    pass Clear {
        VertexShader = CoverVS;
        PixelShader = NoColorPS;
        ColorWriteEnable = 0;
        ZEnable = false;
        ZWriteEnable = false;
        CullMode = None;
        FillMode = Solid;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
        StencilEnable = true;
        TwoSidedStencilMode = false;
        StencilFunc = Always;
        StencilRef = 0;
        StencilMask = -1;
        StencilWriteMask = 0x80;
        StencilFail = Zero;
        StencilZFail = Zero;
        StencilPass = Zero;
    }
    // Depth-fail counting: behind the visible surface, faces seen clockwise (entering the volume)
    // count down and faces seen counter-clockwise (leaving it) count up, so what lies inside a
    // volume ends non-zero.
    pass Count {
        VertexShader = VolumeVS;
        PixelShader = NoColorPS;
        ColorWriteEnable = 0;
        ZEnable = true;
        ZWriteEnable = false;
        ZFunc = Less;
        CullMode = None;
        StencilEnable = true;
        TwoSidedStencilMode = true;
        StencilMask = -1;
        StencilWriteMask = 0x7F;
        StencilFunc = Always;
        StencilFail = Keep;
        StencilZFail = Decr;
        StencilPass = Keep;
        CcwStencilFunc = Always;
        CcwStencilFail = Keep;
        CcwStencilZFail = Incr;
        CcwStencilPass = Keep;
    }
}

technique RenderScene {
    pass p0 {
        VertexShader = SceneVS;
        PixelShader = LitPS;
        ZEnable = true;
        ZWriteEnable = false;
        ZFunc = LessEqual;
        CullMode = CCW;
        FillMode = Solid;
        ColorWriteEnable = Red | Green | Blue | Alpha;
        AlphaBlendEnable = true;
        SrcBlend = One;
        DestBlend = One;
        BlendOp = Add;
        SeparateAlphaBlendEnable = false;
        AlphaTestEnable = false;
        StencilEnable = true;
        TwoSidedStencilMode = false;
        StencilFunc = Equal;
        StencilRef = 0;
        StencilMask = -1;
        StencilWriteMask = 0x80;
        StencilFail = Keep;
        StencilZFail = Keep;
        StencilPass = Invert;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
    }
}
