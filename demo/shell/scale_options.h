#pragma once
// The values of the resolution options the front ends share: `--scale N|auto` (velor, velor-capture,
// the web page's ?scale=), `--size WxH` and `--ssaa N` (velor-capture). Each parser takes the text
// after the flag and gives the value or one line saying what is wrong with it.
#include <string>

#include "engine/gfx/present_frame.h"

namespace velor::demo {

// A scale from 1 to 8 (real pixels per back-buffer pixel each way). With `allowAuto`, "auto" gives 0:
// the largest that fits the display (engine/gfx/pixel_scale.h, FitPixelScale).
bool ParseScaleValue(const std::string& text, bool allowAuto, float* scale, std::string* error);

// An output size WxH: 4:3 exactly, from 1024x768 to 8192x6144, the whole frame; or 16:9 exactly,
// from 1024x576 to 8192x4608, its wide framing (engine/gfx/present_frame.h). Gives the scale
// (2880x2160 and 1920x1080 are 2.8125 and 1.875) and the framing.
bool ParseSizeValue(const std::string& text, float* scale, PresentFrame* frame, std::string* error);

// A supersampling factor: a whole number from 1 to 4.
bool ParseSsaaValue(const std::string& text, int* factor, std::string* error);

}  // namespace velor::demo
