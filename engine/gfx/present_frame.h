#pragma once
// What of the back buffer reaches the screen. The demo always draws its whole 1024 × 768 back
// buffer, but it draws its scenes only into a 1024 × 568 band at row 100 and leaves the rows above
// and below black; the wide framing shows the 16:9 middle (1024 × 576 at row 96, the band and four
// rows each side), the whole framing all 4:3 of it. Present, the framed read-back
// (ReadPresentedFrame, below), captures and the resolution fit all take their rectangle
// from here, so what is shown, saved and sized for is one picture.
#include <cstdint>
#include <vector>

namespace velor {

class Device;

enum class PresentFrame : uint8_t {
    Wide,   // 1024 × 576 at row 96
    Whole,  // 1024 × 768
};

// A rectangle of the back buffer: in its units (FrameUnits) or in real pixels (FramePixels).
struct FrameRect {
    int32_t x = 0, y = 0;
    uint32_t width = 0, height = 0;
};

FrameRect FrameUnits(PresentFrame frame);
// The same rectangle in real pixels at a resolution scale (pixel_scale.h), its edges placed as the
// device places every scaled edge.
FrameRect FramePixels(PresentFrame frame, float scale);

// The largest scale at which the framed picture fits a drawable of this many real pixels, kept to a
// whole number of pixels each way (1920 × 1080 gives 1.875 for the wide framing, 1.40625 for the
// whole one); never below 1 nor above the maximum. Fitting, not covering: nothing of it is cut off.
// (pixel_scale.h's two-argument form is the whole framing's.)
float FitPixelScale(int drawableWidth, int drawableHeight, PresentFrame frame);

// The largest centred rectangle of the picture's aspect in a drawable (bars only where the aspects
// differ), in the drawable's pixels, y from the top.
FrameRect FitInDrawable(uint32_t pictureWidth, uint32_t pictureHeight, int drawableWidth, int drawableHeight);

// The device's side (device_controls.cpp). What of the back buffer Present shows and
// ReadPresentedFrame reads: the whole of it unless set otherwise. The host's choice, like the
// resolution scale; the demo never sees it.
void SetPresentFrame(Device& device, PresentFrame frame);
PresentFrame GetPresentFrame(const Device& device);
// The picture Present shows, at its real pixel size: the framed rectangle of the back buffer, top
// row first. What captures and screenshots save, so that they hold what is on screen.
struct PresentedPixels {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
PresentedPixels ReadPresentedFrame(Device& device);
// Its rectangle in the back buffer's real pixels.
FrameRect PresentedRect(const Device& device);

}  // namespace velor
