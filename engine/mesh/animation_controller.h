#pragma once
// ID3DXKeyframedAnimationSet and ID3DXAnimationController: keyframed transforms of named frames,
// played on tracks and written into the frames' TransformationMatrix by AdvanceTime.
//
// Defaults, chosen where D3DX's are not documented:
// - An X file without AnimTicksPerSecond runs at kDefaultTicksPerSecond (4800).
// - LoadMeshHierarchyFromX registers the file's sets in file order and puts the first on track 0,
//   enabled, speed 1, weight 1, position 0, looping; track 1 exists and is empty.
// - Rotations are slerped, scales and translations interpolated linearly; a frame's transform is
//   S · R · T, with a kind that has no keys taken as identity (scale 1, no rotation, no move).
// - Matrix keys, when an animation has them, are interpolated element by element and win over
//   its other keys.
// - Before its first key an animation holds the first key's value, after its last the last one's.
//   The set's period is its last key time over all animations; a looping set wraps positions into it.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/math/math_types.h"

namespace velor {

constexpr double kDefaultTicksPerSecond = 4800.0;

enum class PlaybackType : uint32_t { Loop = 0, Once = 1, PingPong = 2 };  // D3DXPLAYBACK_TYPE

// D3DXKEY_VECTOR3 / D3DXKEY_QUATERNION; times in ticks.
struct KeyVector3 {
    float time = 0;
    Vector3 value;
};
struct KeyQuaternion {
    float time = 0;
    Quaternion value;
};
struct KeyMatrix {
    float time = 0;
    Matrix value;
};

class AnimationSet {
public:
    AnimationSet(std::string name, double ticksPerSecond, PlaybackType playback);

    const char* GetName() const { return name_.c_str(); }
    double GetPeriod() const;  // seconds
    double GetPeriodicPosition(double position) const;
    double GetSourceTicksPerSecond() const { return ticksPerSecond_; }
    PlaybackType GetPlaybackType() const { return playback_; }
    uint32_t GetNumAnimations() const { return uint32_t(animations_.size()); }
    Result GetAnimationNameByIndex(uint32_t index, const char** name) const;
    Result GetAnimationIndexByName(const char* name, uint32_t* index) const;
    uint32_t GetNumScaleKeys(uint32_t animation) const;
    uint32_t GetNumRotationKeys(uint32_t animation) const;
    uint32_t GetNumTranslationKeys(uint32_t animation) const;
    uint32_t GetNumMatrixKeys(uint32_t animation) const;

    // Interpolated values at a periodic position in seconds (see GetPeriodicPosition).
    Result GetSRT(double periodicPosition, uint32_t animation, Vector3* scale, Quaternion* rotation,
                  Vector3* translation) const;
    // The frame transform at that position: the matrix keys when there are any, otherwise S · R · T.
    Result GetTransform(double periodicPosition, uint32_t animation, Matrix* transform) const;

    // RegisterAnimationSRTKeys, plus matrix keys. Keys must be sorted by time.
    Result RegisterAnimationKeys(const char* name, std::vector<KeyVector3> scaleKeys,
                                 std::vector<KeyQuaternion> rotationKeys, std::vector<KeyVector3> translationKeys,
                                 std::vector<KeyMatrix> matrixKeys, uint32_t* index);

private:
    struct Animation {
        std::string name;
        std::vector<KeyVector3> scale;
        std::vector<KeyQuaternion> rotation;
        std::vector<KeyVector3> translation;
        std::vector<KeyMatrix> matrix;
    };

    std::string name_;
    double ticksPerSecond_;
    PlaybackType playback_;
    std::vector<Animation> animations_;
    float lastKeyTime_ = 0;  // ticks
};

// D3DXTRACK_DESC
struct TrackDesc {
    uint32_t priority = 0;
    float weight = 1.0f;
    float speed = 1.0f;
    double position = 0.0;  // seconds
    bool enable = false;
};

class AnimationController {
public:
    AnimationController(uint32_t maxNumAnimationOutputs, uint32_t maxNumAnimationSets, uint32_t maxNumTracks,
                        uint32_t maxNumEvents);

    uint32_t GetMaxNumAnimationOutputs() const { return maxOutputs_; }
    uint32_t GetMaxNumAnimationSets() const { return maxSets_; }
    uint32_t GetMaxNumTracks() const { return uint32_t(tracks_.size()); }
    uint32_t GetMaxNumEvents() const { return maxEvents_; }

    // The animation of that name writes into these (any may be null).
    Result RegisterAnimationOutput(const char* name, Matrix* matrix, Vector3* scale, Quaternion* rotation,
                                   Vector3* translation);
    Result RegisterAnimationSet(std::shared_ptr<AnimationSet> set);
    Result UnregisterAnimationSet(const std::shared_ptr<AnimationSet>& set);
    uint32_t GetNumAnimationSets() const { return uint32_t(sets_.size()); }
    Result GetAnimationSet(uint32_t index, std::shared_ptr<AnimationSet>* set) const;
    Result GetAnimationSetByName(const char* name, std::shared_ptr<AnimationSet>* set) const;

    Result SetTrackAnimationSet(uint32_t track, std::shared_ptr<AnimationSet> set);
    Result GetTrackAnimationSet(uint32_t track, std::shared_ptr<AnimationSet>* set) const;
    Result SetTrackPosition(uint32_t track, double position);
    Result SetTrackSpeed(uint32_t track, float speed);
    Result SetTrackWeight(uint32_t track, float weight);
    Result SetTrackEnable(uint32_t track, bool enable);
    Result GetTrackDesc(uint32_t track, TrackDesc* desc) const;

    // Moves the global time and every enabled track on by timeDelta seconds (times the track's
    // speed), then writes each animated output: one track's transform as it is, several tracks'
    // blended by weight. callbackHandler is accepted for D3DX's signature; there are no events.
    Result AdvanceTime(double timeDelta, void* callbackHandler = nullptr);
    Result ResetTime();  // global time back to 0; track positions stay
    double GetTime() const { return time_; }

private:
    struct Output {
        Matrix* matrix;
        Vector3* scale;
        Quaternion* rotation;
        Vector3* translation;
    };
    struct Track {
        TrackDesc desc;
        std::shared_ptr<AnimationSet> set;
    };

    uint32_t maxOutputs_, maxSets_, maxEvents_;
    std::vector<Output> outputs_;
    std::unordered_map<std::string, uint32_t> outputByName_;
    std::vector<std::shared_ptr<AnimationSet>> sets_;
    std::vector<Track> tracks_;
    double time_ = 0.0;
};

Result CreateAnimationController(uint32_t maxNumAnimationOutputs, uint32_t maxNumAnimationSets, uint32_t maxNumTracks,
                                 uint32_t maxNumEvents, std::shared_ptr<AnimationController>* controller);

}  // namespace velor
