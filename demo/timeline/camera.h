#pragma once
// The one global camera: three vectors that scenes move and the timeline overrides or restores, and
// ApplyCamera, which turns them into the device's view and projection. The last matrices built are
// kept for the post passes and the effects that need them.
#include "engine/math/math_types.h"

namespace velor::demo {

struct CameraState {
    Vector3 eye{0, 0, -1};
    Vector3 target{0, 0, 3};
    Vector3 up{0, 1, 0};
    Vector3 homeEye{0, 0, -1};     // copies taken once at the end of start-up
    Vector3 homeTarget{0, 0, 3};
    Vector3 homeUp{0, 1, 0};
    Matrix view;                   // last view built; not built before the first ApplyCamera
    Matrix projection;             // last projection built
};

extern CameraState gCamera;

// What ApplyCamera builds the projection from: the vertical field of view in degrees and the aspect
// as numerator / denominator (kept apart, as the aspect is divided in single precision).
struct CameraLens {
    float fovDegrees;
    float aspectNumerator;
    float aspectDenominator;
};

// Projection with the field of view in degrees and the aspect a / b, near 0.01, far 10000; view from
// the camera vectors as they are now. Both are set on the device and kept.
void ApplyCamera(float fovDegrees, float aspectNumerator, float aspectDenominator);
inline void ApplyCamera(const CameraLens& lens) {
    ApplyCamera(lens.fovDegrees, lens.aspectNumerator, lens.aspectDenominator);
}
// Records the home camera from the current vectors.
void RecordHomeCamera();

}  // namespace velor::demo
