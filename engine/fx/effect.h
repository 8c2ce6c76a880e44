#pragma once
// ID3DXEffect on the device: an effect file's parameters, techniques and passes (engine/fx/README.md
// describes the language). Shaders are compiled and linked when the effect is created; drawing then
// only sets device states, binds a linked program and sends the parameters that changed.
//
// Parameters, techniques and passes are addressed by name or index, as the demo does; the effect
// hashes the names, so callers keep no handles.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/fx/effect_desc.h"
#include "engine/gfx/device.h"
#include "engine/math/math_types.h"

namespace velor {

// D3DXFX_* flags of Begin.
namespace Fx {
constexpr uint32_t DoNotSaveState = 1;         // nothing saved at Begin, nothing restored at End
constexpr uint32_t DoNotSaveShaderState = 2;   // the shaders stay bound after End
constexpr uint32_t DoNotSaveSamplerState = 4;  // sampler states are not saved
}  // namespace Fx

struct EffectProgram;

class Effect {
public:
    ~Effect();
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // ---- techniques and passes ----
    uint32_t GetTechniqueCount() const { return uint32_t(desc_.techniques.size()); }
    const char* GetTechniqueName(uint32_t technique) const;  // nullptr past the end
    int FindTechnique(std::string_view name) const;          // -1 when there is none
    // InvalidCall, and the current technique kept, for an unknown name or between Begin and End.
    Result SetTechnique(std::string_view name);
    Result SetTechniqueByIndex(uint32_t technique);
    uint32_t GetCurrentTechnique() const { return technique_; }
    uint32_t GetPassCount(uint32_t technique) const;
    const char* GetPassName(uint32_t technique, uint32_t pass) const;  // "" for an unnamed pass
    int FindPass(uint32_t technique, std::string_view name) const;

    // ---- parameters ----
    const ParameterDesc* GetParameterByName(std::string_view name) const;  // nullptr when there is none
    const ParameterDesc* GetParameterBySemantic(std::string_view semantic) const;
    // Each setter refuses (InvalidCall, nothing written) an unknown name or a parameter of another
    // kind. SetFloat, SetInt and SetBool convert between the scalar types; SetVector writes the
    // first 1 to 4 components of a float..float4.
    Result SetFloat(std::string_view name, float value);
    Result SetInt(std::string_view name, int32_t value);
    Result SetBool(std::string_view name, bool value);
    Result SetVector(std::string_view name, const Vector4& value);
    Result SetMatrix(std::string_view name, const Matrix& value);
    Result SetTexture(std::string_view name, std::shared_ptr<BaseTexture> texture);
    // Raw bytes in D3DX's packing (structs member after member). As D3DX: `bytes` must be at least the
    // parameter's size, and the parameter's size is copied; fewer bytes are refused (InvalidCall,
    // nothing written). GetValue likewise.
    Result SetValue(std::string_view name, const void* data, uint32_t bytes);
    Result GetFloat(std::string_view name, float* value) const;
    Result GetVector(std::string_view name, Vector4* value) const;
    Result GetMatrix(std::string_view name, Matrix* value) const;
    Result GetTexture(std::string_view name, std::shared_ptr<BaseTexture>* texture) const;
    Result GetValue(std::string_view name, void* data, uint32_t bytes) const;

    // ---- drawing ----
    Result Begin(uint32_t* passes, uint32_t flags);
    Result BeginPass(uint32_t pass);
    Result CommitChanges();
    Result EndPass();
    Result End();

    const EffectDesc& Desc() const { return desc_; }
    const std::string& Name() const { return name_; }

private:
    friend Result CreateEffect(Device* device, std::string_view source, std::string_view name,
                               std::shared_ptr<Effect>* effect, std::string* errors);

    // What one pass binds, found when the programs were linked.
    struct PassRuntime {
        int program = -1;          // index into programs_, -1: fixed function
        std::vector<int> samplers;  // sampler parameters its shaders use
    };
    // A device state some pass of a technique sets: what Begin saves and End restores.
    struct SaveSlot {
        StateKind kind;  // Render, Sampler, TextureStage or Texture
        uint32_t state;
        uint32_t index;
    };

    Effect(Device* device, std::string name, EffectDesc desc);
    int ParameterIndex(std::string_view name) const;
    uint8_t* ValueOf(int param) { return values_.data() + valueOffset_[param]; }
    const uint8_t* ValueOf(int param) const { return values_.data() + valueOffset_[param]; }
    void Touch(int param) { version_[param] = ++serial_; }
    uint32_t StateValue(const StateAssignment& a) const;
    void CollectSaveSlots();
    void ApplySampler(int samplerParam, uint32_t unit, uint64_t since);
    void ApplyPass(uint64_t since);
    void UploadParameters(EffectProgram& program);

    Device* device_;
    std::string name_;
    EffectDesc desc_;
    std::vector<uint8_t> values_;          // every parameter's bytes, one after another
    std::vector<uint32_t> valueOffset_;    // per parameter
    std::vector<std::shared_ptr<BaseTexture>> textures_;  // per parameter; set for texture parameters
    std::vector<uint64_t> version_;        // per parameter: serial_ when it was last set
    uint64_t serial_ = 1;
    std::unordered_map<std::string_view, int> parameterByName_;  // keys point into desc_
    std::unordered_map<std::string_view, int> techniqueByName_;
    std::vector<std::unique_ptr<EffectProgram>> programs_;
    std::vector<std::vector<PassRuntime>> passes_;  // [technique][pass]
    std::vector<std::vector<SaveSlot>> saveSlots_;  // [technique]

    uint32_t technique_ = 0;
    bool begun_ = false;
    uint32_t flags_ = 0;
    int activePass_ = -1;
    uint64_t appliedSerial_ = 0;  // serial_ when the active pass was last applied
    std::vector<uint32_t> savedValues_;
    std::vector<std::shared_ptr<BaseTexture>> savedTextures_;
    ProgramBinding savedBinding_;
};

// D3DXCreateEffect: parses, compiles and links. On failure `effect` is null and `errors` (when
// given) holds the whole error text: "<name>:<line>: ..." lines. `name` stands for the file in it.
Result CreateEffect(Device* device, std::string_view source, std::string_view name, std::shared_ptr<Effect>* effect,
                    std::string* errors);
// D3DXCreateEffectFromFileA: the file read whole (InvalidData when it cannot be read).
Result CreateEffectFromFile(Device* device, const char* path, std::shared_ptr<Effect>* effect, std::string* errors);
// D3DXCreateEffectFromResourceA: the source embedded under `id` (engine/os/resources.h); the error
// text calls it "resource <id>".
Result CreateEffectFromResource(Device* device, int id, std::shared_ptr<Effect>* effect, std::string* errors);

}  // namespace velor
