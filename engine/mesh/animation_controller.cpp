#include "engine/mesh/animation_controller.h"

#include <algorithm>
#include <cstring>

#include "engine/math/d3dx_math.h"

namespace velor {

AnimationController::AnimationController(uint32_t maxNumAnimationOutputs, uint32_t maxNumAnimationSets,
                                         uint32_t maxNumTracks, uint32_t maxNumEvents)
    : maxOutputs_(maxNumAnimationOutputs), maxSets_(maxNumAnimationSets), maxEvents_(maxNumEvents),
      tracks_(maxNumTracks) {}

Result AnimationController::RegisterAnimationOutput(const char* name, Matrix* matrix, Vector3* scale,
                                                    Quaternion* rotation, Vector3* translation) {
    if (name == nullptr) return Result::InvalidCall;
    auto it = outputByName_.find(name);
    if (it != outputByName_.end()) {
        outputs_[it->second] = Output{matrix, scale, rotation, translation};
        return Result::Ok;
    }
    if (outputs_.size() >= maxOutputs_) return Result::InvalidCall;
    outputByName_.emplace(name, uint32_t(outputs_.size()));
    outputs_.push_back(Output{matrix, scale, rotation, translation});
    return Result::Ok;
}

Result AnimationController::RegisterAnimationSet(std::shared_ptr<AnimationSet> set) {
    if (set == nullptr || sets_.size() >= maxSets_) return Result::InvalidCall;
    if (std::find(sets_.begin(), sets_.end(), set) != sets_.end()) return Result::InvalidCall;
    sets_.push_back(std::move(set));
    return Result::Ok;
}

Result AnimationController::UnregisterAnimationSet(const std::shared_ptr<AnimationSet>& set) {
    auto it = std::find(sets_.begin(), sets_.end(), set);
    if (it == sets_.end()) return Result::InvalidCall;
    sets_.erase(it);
    for (auto& track : tracks_)
        if (track.set == set) track.set = nullptr;
    return Result::Ok;
}

Result AnimationController::GetAnimationSet(uint32_t index, std::shared_ptr<AnimationSet>* set) const {
    if (set == nullptr || index >= sets_.size()) return Result::InvalidCall;
    *set = sets_[index];
    return Result::Ok;
}

Result AnimationController::GetAnimationSetByName(const char* name, std::shared_ptr<AnimationSet>* set) const {
    if (set == nullptr || name == nullptr) return Result::InvalidCall;
    for (const auto& s : sets_)
        if (std::strcmp(s->GetName(), name) == 0) {
            *set = s;
            return Result::Ok;
        }
    return Result::NotAvailable;
}

Result AnimationController::SetTrackAnimationSet(uint32_t track, std::shared_ptr<AnimationSet> set) {
    if (track >= tracks_.size()) return Result::InvalidCall;
    tracks_[track].set = std::move(set);
    return Result::Ok;
}

Result AnimationController::GetTrackAnimationSet(uint32_t track, std::shared_ptr<AnimationSet>* set) const {
    if (set == nullptr || track >= tracks_.size()) return Result::InvalidCall;
    *set = tracks_[track].set;
    return Result::Ok;
}

Result AnimationController::SetTrackPosition(uint32_t track, double position) {
    if (track >= tracks_.size()) return Result::InvalidCall;
    tracks_[track].desc.position = position;
    return Result::Ok;
}

Result AnimationController::SetTrackSpeed(uint32_t track, float speed) {
    if (track >= tracks_.size()) return Result::InvalidCall;
    tracks_[track].desc.speed = speed;
    return Result::Ok;
}

Result AnimationController::SetTrackWeight(uint32_t track, float weight) {
    if (track >= tracks_.size()) return Result::InvalidCall;
    tracks_[track].desc.weight = weight;
    return Result::Ok;
}

Result AnimationController::SetTrackEnable(uint32_t track, bool enable) {
    if (track >= tracks_.size()) return Result::InvalidCall;
    tracks_[track].desc.enable = enable;
    return Result::Ok;
}

Result AnimationController::GetTrackDesc(uint32_t track, TrackDesc* desc) const {
    if (desc == nullptr || track >= tracks_.size()) return Result::InvalidCall;
    *desc = tracks_[track].desc;
    return Result::Ok;
}

Result AnimationController::ResetTime() {
    time_ = 0.0;
    return Result::Ok;
}

Result AnimationController::AdvanceTime(double timeDelta, void* callbackHandler) {
    (void)callbackHandler;
    time_ += timeDelta;
    struct Blend {
        Matrix sum;
        float weight = 0.0f;
        uint32_t contributions = 0;
        Matrix single;
        uint32_t track = 0, animation = 0;
        double position = 0.0;
    };
    std::vector<Blend> blends(outputs_.size());
    for (uint32_t t = 0; t < tracks_.size(); ++t) {
        Track& track = tracks_[t];
        if (!track.desc.enable || track.set == nullptr) continue;
        track.desc.position += timeDelta * double(track.desc.speed);
        const AnimationSet& set = *track.set;
        const double position = set.GetPeriodicPosition(track.desc.position);
        for (uint32_t a = 0; a < set.GetNumAnimations(); ++a) {
            const char* name = nullptr;
            set.GetAnimationNameByIndex(a, &name);
            auto it = outputByName_.find(name);
            if (it == outputByName_.end()) continue;
            Matrix m;
            set.GetTransform(position, a, &m);
            Blend& blend = blends[it->second];
            const float w = track.desc.weight;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) blend.sum.m[r][c] += w * m.m[r][c];
            blend.weight += w;
            blend.single = m;
            blend.track = t;
            blend.animation = a;
            blend.position = position;
            ++blend.contributions;
        }
    }
    for (size_t o = 0; o < outputs_.size(); ++o) {
        const Blend& blend = blends[o];
        const Output& out = outputs_[o];
        if (blend.contributions == 0) continue;
        if (blend.contributions == 1) {
            if (out.matrix != nullptr) *out.matrix = blend.single;
            if (out.scale != nullptr || out.rotation != nullptr || out.translation != nullptr)
                tracks_[blend.track].set->GetSRT(blend.position, blend.animation, out.scale, out.rotation,
                                                 out.translation);
        } else if (out.matrix != nullptr && blend.weight != 0.0f) {
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) out.matrix->m[r][c] = blend.sum.m[r][c] / blend.weight;
        }
    }
    return Result::Ok;
}

Result CreateAnimationController(uint32_t maxNumAnimationOutputs, uint32_t maxNumAnimationSets, uint32_t maxNumTracks,
                                 uint32_t maxNumEvents, std::shared_ptr<AnimationController>* controller) {
    if (controller == nullptr) return Result::InvalidCall;
    *controller = std::make_shared<AnimationController>(maxNumAnimationOutputs, maxNumAnimationSets, maxNumTracks,
                                                        maxNumEvents);
    return Result::Ok;
}

}  // namespace velor
