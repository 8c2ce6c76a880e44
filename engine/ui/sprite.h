#pragma once
// ID3DXSprite: textured screen-space quads, batched until Flush, End or a change of texture.
//
// Begin records the device state a draw may change (unless D3DXSPRITE_DONOTSAVESTATE) and End puts it
// back. The sprite's own states, transforms and vertex format are applied when a batch is flushed,
// so a font drawing through its own sprite between this sprite's Begin and End cannot leave this
// one's draws in the wrong state.
#include <memory>
#include <vector>

#include "engine/gfx/device.h"
#include "engine/ui/sprite_geometry.h"
#include "engine/ui/sprite_states.h"
#include "engine/ui/ui_types.h"

namespace velor {

class Sprite {
public:
    explicit Sprite(Device* device);
    ~Sprite();

    // InvalidCall when already begun.
    Result Begin(uint32_t flags);
    // The transform applied to the corners of every later Draw (kept across Begin and End).
    Result SetTransform(const Matrix* transform);
    Result GetTransform(Matrix* transform) const;
    // Queues the quad of `source` (the whole texture when null) with `centre` placed at `position`
    // (the origin when null), tinted by `color`. InvalidCall without a texture or outside Begin/End.
    Result Draw(const std::shared_ptr<Texture>& texture, const Rect* source, const Vector3* centre,
                const Vector3* position, Color color);
    // Draws what is queued.
    Result Flush();
    // Flushes and restores the state recorded at Begin. InvalidCall when not begun.
    Result End();
    Result OnLostDevice() { return Result::Ok; }
    Result OnResetDevice() { return Result::Ok; }
    Device* GetDevice() const { return device_; }
    bool IsBegun() const { return begun_; }

private:
    Device* device_;
    Matrix transform_;
    bool begun_ = false;
    uint32_t flags_ = 0;
    SpriteStateBlock saved_;
    std::shared_ptr<Texture> batchTexture_;
    std::vector<SpriteVertex> batch_;  // triangle list, six vertices per quad
};

// D3DXCreateSprite. InvalidCall without a device or an out pointer.
Result CreateSprite(Device* device, std::shared_ptr<Sprite>* sprite);

}  // namespace velor
