#pragma once
// velor-capture's command line. Two modes:
//   --at T1,T2,... [--step S] [--out DIR]        one PNG per demo time
//   --video FILE [--fps N] [--from T] [--to T]   a video with the music, frames from T to T
// Either at any resolution: --scale N or --size WxH (4:3: the whole frame; 16:9: its wide framing),
// and --ssaa N to render N times larger and
// average each N x N block down to one output pixel.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/gfx/present_frame.h"

namespace velor::capture {

struct CaptureOptions {
    std::vector<double> times;  // --at: demo times to capture, ascending
    double step = 1.0 / 60.0;   // --at: seconds of demo time per frame
    std::string outDir = ".";

    std::string videoFile;      // --video: the file ffmpeg writes (its extension picks the container)
    int fps = 60;               // --video: frames per second, and the frame step is 1 / fps
    double from = 0;            // --video: seconds of demo time before the first frame
    double to = 120;            // --video: seconds of demo time at the end of the last frame

    float scale = 1;            // --scale, or --size / 1024: output pixels per back-buffer pixel
    PresentFrame frame = PresentFrame::Whole;  // --size 16:9: the wide framing
    int ssaa = 1;               // --ssaa: rendered pixels per output pixel each way
    bool lossless = false;      // --lossless: FFV1 and PCM sound (a .mkv file), for parts to be joined
    std::string dataDir;        // --data: the content's folder; empty: looked for (content_folder.h)

    bool rasterizeAll = false;  // --rasterize-all: draw every frame, as a check on the fast-forward
    bool help = false;          // --help: print the usage and exit 0
};

// False with a message for anything malformed: unknown flags, times that are not numbers or are
// negative, a step that is not positive, a frame rate outside 1..240, --to not after --from, both
// modes or neither, a scale outside 1..8, a size neither 4:3 nor 16:9, both --scale and --size, an --ssaa outside
// 1..4 or one that takes the rendered scale past 8.
bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options, std::string* error);

// The one-line usage and the option list printed by --help.
const char* CaptureUsageLine();
const char* CaptureHelp();

// "t10.000.png" for 10 s.
std::string FrameFileName(double time);

// The scale the device renders at (scale x ssaa), and the output's size in pixels: the framed
// picture's at the output scale.
float RenderScale(const CaptureOptions& options);
uint32_t OutputWidth(const CaptureOptions& options);
uint32_t OutputHeight(const CaptureOptions& options);

// Which frames of a video run are written, counted from 1 as the frame loop draws them: frame n
// shows demo time n / fps and its sound is the 1 / fps seconds before it.
// A --video file ending in .wav: only the video's sound, no frames drawn.
bool SoundOnly(const CaptureOptions& options);

struct VideoFrames {
    long first = 1;  // first frame written
    long count = 0;  // frames written
};
VideoFrames VideoFrameRange(const CaptureOptions& options);

}  // namespace velor::capture
