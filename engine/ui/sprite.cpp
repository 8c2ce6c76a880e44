#include "engine/ui/sprite.h"

#include "engine/gfx/device_controls.h"
#include "engine/math/d3dx_math.h"

namespace velor {

Sprite::Sprite(Device* device) : device_(device) { MatrixIdentity(&transform_); }

Sprite::~Sprite() {
    // A sprite dropped between Begin and End still owes the device its state.
    if (begun_) End();
}

Result Sprite::Begin(uint32_t flags) {
    if (begun_) return Result::InvalidCall;
    flags_ = flags;
    if ((flags_ & SpriteFlags::DoNotSaveState) == 0) saved_.Capture(*device_);
    begun_ = true;
    return Result::Ok;
}

Result Sprite::SetTransform(const Matrix* transform) {
    if (transform == nullptr) return Result::InvalidCall;
    transform_ = *transform;
    return Result::Ok;
}

Result Sprite::GetTransform(Matrix* transform) const {
    if (transform == nullptr) return Result::InvalidCall;
    *transform = transform_;
    return Result::Ok;
}

Result Sprite::Draw(const std::shared_ptr<Texture>& texture, const Rect* source, const Vector3* centre,
                    const Vector3* position, Color color) {
    if (!begun_ || texture == nullptr) return Result::InvalidCall;
    if (texture != batchTexture_) {
        Flush();
        batchTexture_ = texture;
    }
    SpriteQuad quad = BuildSpriteQuad(texture->LevelWidth(0), texture->LevelHeight(0), source, centre, position,
                                      transform_, color);
    size_t at = batch_.size();
    batch_.resize(at + 6);
    AppendQuadTriangles(quad, batch_.data() + at);
    return Result::Ok;
}

Result Sprite::Flush() {
    if (!begun_) return Result::InvalidCall;
    if (batch_.empty()) return Result::Ok;
    if ((flags_ & SpriteFlags::DoNotModifyRenderState) == 0) {
        ApplySpriteRenderStates(*device_, (flags_ & SpriteFlags::AlphaBlend) != 0);
        device_->BindProgram(ProgramBinding{});
    }
    if ((flags_ & SpriteFlags::ObjectSpace) == 0) {
        Matrix identity;
        MatrixIdentity(&identity);
        Viewport viewport;
        device_->GetViewport(&viewport);
        Matrix projection = SpriteProjection(viewport, TargetPixelScale(*device_));
        device_->SetTransform(TransformState::World, &identity);
        device_->SetTransform(TransformState::View, &identity);
        device_->SetTransform(TransformState::Projection, &projection);
    }
    device_->SetTexture(0, batchTexture_);
    device_->SetFVF(kSpriteVertexFvf);
    Result r = device_->DrawPrimitiveUP(PrimitiveType::TriangleList, uint32_t(batch_.size() / 3), batch_.data(),
                                        sizeof(SpriteVertex));
    batch_.clear();
    return r;
}

Result Sprite::End() {
    if (!begun_) return Result::InvalidCall;
    Result r = Flush();
    if ((flags_ & SpriteFlags::DoNotSaveState) == 0) saved_.Restore(*device_);
    batchTexture_.reset();
    begun_ = false;
    return r;
}

Result CreateSprite(Device* device, std::shared_ptr<Sprite>* sprite) {
    if (device == nullptr || sprite == nullptr) return Result::InvalidCall;
    *sprite = std::make_shared<Sprite>(device);
    return Result::Ok;
}

}  // namespace velor
