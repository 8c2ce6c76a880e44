#include "tools/capture/video_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine/image/image_writer.h"
#include "tools/capture/piped_process.h"

namespace velor::capture {

namespace {

namespace fs = std::filesystem;

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// Raw frames through a pipe into ffmpeg, which muxes them with the sound file.
class FfmpegOutput final : public VideoOutput {
public:
    ~FfmpegOutput() override {
        process_.Finish();  // ffmpeg may still read the sound file
        if (!soundFile_.empty()) std::remove(soundFile_.c_str());
    }

    bool Start(const VideoDesc& desc, const std::string& ffmpeg, std::string* error) {
        width_ = desc.width;
        height_ = desc.height;
        file_ = desc.file;
        soundFile_ = desc.file + ".sound.wav";
        if (!WriteWav(soundFile_, desc.sound, desc.sampleRate, error)) return false;

        std::string size = std::to_string(desc.width) + "x" + std::to_string(desc.height);
        std::string rate = std::to_string(desc.fps);
        std::vector<std::string> args = {ffmpeg, "-hide_banner", "-loglevel", "error", "-y",
                                         "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-r", rate, "-i", "pipe:0",
                                         "-i", soundFile_, "-map", "0:v", "-map", "1:a", "-threads", "2"};
        std::string ext = fs::path(desc.file).extension().string();
        if (desc.lossless) {
            // Every pixel as rendered: parts joined later decode to exactly the frames of one run.
            for (const char* a : {"-c:v", "ffv1", "-level", "3", "-pix_fmt", "bgr0", "-c:a", "pcm_s16le"}) args.push_back(a);
        } else {
            if (ext == ".mp4" || ext == ".mkv" || ext == ".mov")
                for (const char* a : {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-c:a", "aac", "-b:a", "192k"})
                    args.push_back(a);
            for (const char* a : {"-pix_fmt", "yuv420p"}) args.push_back(a);
        }
        args.push_back(desc.file);

        if (!process_.Start(args, error)) return false;
        rgb_.resize(size_t(width_) * size_t(height_) * 3);
        return true;
    }

    bool WriteFrame(const std::vector<uint32_t>& pixels, std::string* error) override {
        for (size_t i = 0, n = size_t(width_) * size_t(height_); i < n; ++i) {
            uint32_t p = pixels[i];
            rgb_[3 * i] = uint8_t(p >> 16);
            rgb_[3 * i + 1] = uint8_t(p >> 8);
            rgb_[3 * i + 2] = uint8_t(p);
        }
        std::string reason;
        if (!process_.Write(rgb_.data(), rgb_.size(), &reason)) {
            *error = "ffmpeg stopped taking frames (" + reason + ")";
            return false;
        }
        return true;
    }

    bool Finish(std::string* error) override {
        if (!process_.Finish()) {
            *error = "ffmpeg failed writing " + file_;
            return false;
        }
        return true;
    }

    std::string Describe() const override { return file_; }

private:
    int width_ = 0, height_ = 0;
    std::string file_, soundFile_;
    PipedProcess process_;
    std::vector<uint8_t> rgb_;
};

class PngSequenceOutput final : public VideoOutput {
public:
    bool Start(const VideoDesc& desc, std::string* error) {
        width_ = desc.width;
        height_ = desc.height;
        folder_ = FallbackFrameFolder(desc.file);
        sound_ = FallbackSoundFile(desc.file);
        std::error_code ec;
        fs::create_directories(folder_, ec);
        if (ec) {
            *error = folder_ + ": " + ec.message();
            return false;
        }
        return WriteWav(sound_, desc.sound, desc.sampleRate, error);
    }

    bool WriteFrame(const std::vector<uint32_t>& pixels, std::string* error) override {
        Image image{uint32_t(width_), uint32_t(height_)};
        image.pixels = pixels;
        ImageStatus status = WritePng((fs::path(folder_) / SequenceFrameName(next_++)).string(), image);
        if (!status) *error = status.error;
        return bool(status);
    }

    bool Finish(std::string*) override { return true; }
    std::string Describe() const override { return folder_ + " and " + sound_; }

private:
    int width_ = 0, height_ = 0;
    std::string folder_, sound_;
    long next_ = 0;
};

}  // namespace

std::string FindFfmpeg() { return FindOnPath("ffmpeg"); }

std::unique_ptr<VideoOutput> OpenVideoOutput(const VideoDesc& desc, const std::string& ffmpeg, std::string* error) {
    fs::path parent = fs::path(desc.file).parent_path();
    std::error_code ec;
    if (!parent.empty()) fs::create_directories(parent, ec);
    if (ec) {
        *error = parent.string() + ": " + ec.message();
        return nullptr;
    }
    if (!ffmpeg.empty()) {
        auto out = std::make_unique<FfmpegOutput>();
        if (!out->Start(desc, ffmpeg, error)) return nullptr;
        return out;
    }
    auto out = std::make_unique<PngSequenceOutput>();
    if (!out->Start(desc, error)) return nullptr;
    return out;
}

std::string FallbackFrameFolder(const std::string& videoFile) {
    fs::path p(videoFile);
    return (p.parent_path() / (p.stem().string() + "_frames")).string();
}

std::string FallbackSoundFile(const std::string& videoFile) {
    fs::path p(videoFile);
    return (p.parent_path() / (p.stem().string() + ".wav")).string();
}

std::string SequenceFrameName(long index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05ld.png", index);
    return name;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& interleavedStereo, int sampleRate,
              std::string* error) {
    const uint32_t dataBytes = uint32_t(interleavedStereo.size() * sizeof(int16_t));
    std::vector<uint8_t> header;
    for (char c : std::string("RIFF")) header.push_back(uint8_t(c));
    PutLe(header, 36 + dataBytes, 4);
    for (char c : std::string("WAVEfmt ")) header.push_back(uint8_t(c));
    PutLe(header, 16, 4);                           // fmt chunk size
    PutLe(header, 1, 2);                            // PCM
    PutLe(header, 2, 2);                            // channels
    PutLe(header, uint32_t(sampleRate), 4);
    PutLe(header, uint32_t(sampleRate) * 4, 4);     // bytes per second
    PutLe(header, 4, 2);                            // bytes per frame
    PutLe(header, 16, 2);                           // bits per sample
    for (char c : std::string("data")) header.push_back(uint8_t(c));
    PutLe(header, dataBytes, 4);

    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(header.data(), 1, header.size(), f) == header.size();
    // Samples are written as they are in memory: every target this builds for is little-endian.
    if (ok && dataBytes > 0) ok = std::fwrite(interleavedStereo.data(), 1, dataBytes, f) == dataBytes;
    if (f != nullptr && std::fclose(f) != 0) ok = false;
    if (!ok) *error = path + ": cannot write (" + std::strerror(errno) + ")";
    return ok;
}

}  // namespace velor::capture
