#pragma once
// The device's resolution scale. The demo works in its back buffer's units throughout (1024 × 768:
// GetDesc, viewports, sprite and font coordinates, pretransformed vertices); a device made with a
// scale k > 1 renders k times as many real pixels each way. Its back buffer, and every render target
// made at the back buffer's size, hold k·w × k·h pixels; viewports, clears and read-backs are turned
// into real pixels where they reach GL, while the vertex stage keeps computing in back-buffer units,
// so positions and point sprite sizes come out k times larger on their own. Direct3D's half-pixel
// shift is half a real pixel, as a device with that many pixels makes it (geometry on the viewport's
// edges covers its first real row); pretransformed positions and sprites get the rest of half a unit,
// so their pixel edges stay on real pixel edges.
// Scale 1 is the device as Direct3D specifies it. Set by PresentParameters::pixelScale at CreateDevice
// and fixed for the device's life (Reset keeps it); PixelScale (device_controls.h) reads it back.
#include <cmath>
#include <cstdint>

namespace velor {

// Largest scale the device accepts: 8192 × 6144 real pixels for the 1024 × 768 back buffer.
constexpr float kMaxPixelScale = 8.0f;

// The real pixel edge where back-buffer coordinate `logical` falls. Spans are differences of edges,
// so neighbouring rectangles stay neighbours at any scale.
inline int32_t ScaledEdge(int32_t logical, float scale) {
    return int32_t(std::lround(double(logical) * double(scale)));
}
inline uint32_t ScaledLength(uint32_t logical, float scale) { return uint32_t(ScaledEdge(int32_t(logical), scale)); }

// The largest scale at which the 1024 × 768 picture fits a drawable of this many real pixels, kept
// to a whole number of pixels across (2880 × 2160 gives 2.8125); never below 1 nor above the maximum.
float FitPixelScale(int drawableWidth, int drawableHeight);

}  // namespace velor
