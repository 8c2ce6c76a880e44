#include "demo/timeline/camera.h"

#include "demo/shell/shell_state.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

CameraState gCamera;

namespace {
constexpr float kNearPlane = 0.01f;
constexpr float kFarPlane = 10000.0f;
constexpr float kRadiansPerDegree = 0.017453292f;  // pi / 180 in single precision
}  // namespace

void ApplyCamera(float fovDegrees, float aspectNumerator, float aspectDenominator) {
    // NOTE: the factor is a float constant but the product is taken in double, then rounded.
    float fov = float(double(fovDegrees) * double(kRadiansPerDegree));
    MatrixPerspectiveFovLH(&gCamera.projection, fov, aspectNumerator / aspectDenominator, kNearPlane, kFarPlane);
    Device* device = CurrentDevice();
    if (device) device->SetTransform(TransformState::Projection, &gCamera.projection);
    MatrixLookAtLH(&gCamera.view, &gCamera.eye, &gCamera.target, &gCamera.up);
    if (device) device->SetTransform(TransformState::View, &gCamera.view);
}

void RecordHomeCamera() {
    gCamera.homeEye = gCamera.eye;
    gCamera.homeTarget = gCamera.target;
    gCamera.homeUp = gCamera.up;
}

}  // namespace velor::demo
