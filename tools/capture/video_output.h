#pragma once
// Where a video capture's frames and sound go: ffmpeg, fed raw RGB frames on a pipe and the sound as
// a WAV file rendered before the first frame; or, without ffmpeg, a PNG sequence and a WAV file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velor::capture {

struct VideoDesc {
    std::string file;               // the video ffmpeg writes; names the fallback files too
    int width = 0, height = 0;      // pixels
    int fps = 60;
    std::vector<int16_t> sound;     // interleaved stereo for the whole video
    int sampleRate = 48000;         // Hz
    bool lossless = false;          // FFV1 (RGB) and PCM sound, whatever the container
};

class VideoOutput {
public:
    virtual ~VideoOutput() = default;
    // Pixels are 0xAARRGGBB, top row first.
    virtual bool WriteFrame(const std::vector<uint32_t>& pixels, std::string* error) = 0;
    // Closes the video; false when ffmpeg failed or a file could not be written.
    virtual bool Finish(std::string* error) = 0;
    // What was written, for the closing line.
    virtual std::string Describe() const = 0;
};

// The full path of ffmpeg on PATH, or empty.
std::string FindFfmpeg();

// Starts ffmpeg when `ffmpeg` is not empty, else the PNG and WAV fallback. Null with a reason when
// nothing could be opened.
std::unique_ptr<VideoOutput> OpenVideoOutput(const VideoDesc& desc, const std::string& ffmpeg, std::string* error);

// The fallback's file names for a video file: "clip.mp4" gives "clip_frames/" and "clip.wav".
std::string FallbackFrameFolder(const std::string& videoFile);
std::string FallbackSoundFile(const std::string& videoFile);
// "frame_00042.png" for the 43rd frame (counted from 0).
std::string SequenceFrameName(long index);

// 16-bit PCM stereo WAV.
bool WriteWav(const std::string& path, const std::vector<int16_t>& interleavedStereo, int sampleRate,
              std::string* error);

}  // namespace velor::capture
