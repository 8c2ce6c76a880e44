#pragma once
// Small modules made on the spot for the audio tests, with the project's own S3M writer.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include <unistd.h>

#include "tools/contentgen/music/s3m_writer.h"

namespace velor::test {

// A looped sine, one period in `frames` frames; at C2Spd 44000 note C-4 sounds at 220 Hz.
inline S3mSample SineSample(int frames = 200, bool sixteenBit = true) {
    S3mSample s;
    s.name = "sine";
    s.sixteenBit = sixteenBit;
    s.pcm.resize(size_t(frames));
    for (int i = 0; i < frames; ++i)
        s.pcm[size_t(i)] = int16_t(std::lround(20000.0 * std::sin(2.0 * std::numbers::pi * i / frames)));
    s.loop = true;
    s.loopStart = 0;
    s.loopEnd = uint32_t(frames);
    s.c2spd = 44000;  // 220 Hz at C-4
    return s;
}

// One channel, one looped tone struck on row 0 and held; `rows` rows (1..64) at speed 6, tempo 125,
// so the song lasts rows * 0.12 s.
inline S3mSong ToneSong(int rows) {
    S3mSong song;
    song.title = "tone";
    song.channels = {S3mChannel{false, 7}};
    song.samples = {SineSample()};
    S3mPattern p;
    p.At(0, 0) = S3mCell{S3mNote(4, 0), 1, 48, 0, 0};
    if (rows < kS3mRows) {
        p.At(rows - 1, 0).effect = S3mEffect('C');
        p.At(rows - 1, 0).param = 0;
    }
    song.patterns = {p};
    song.orders = {0};
    song.initialSpeed = 6;
    song.initialTempo = 125;
    return song;
}

inline std::vector<uint8_t> ToneModule(int rows) { return WriteS3m(ToneSong(rows)).bytes; }

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("velor-audio-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::string file = (path_ / name).string();
        std::ofstream f(file, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

}  // namespace velor::test
