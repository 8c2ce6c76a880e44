// What a video capture writes besides the frames: the WAV file, the fallback's names, the progress line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/capture/progress.h"
#include "tools/capture/video_output.h"

namespace velor::capture {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(CaptureOutput, WavHoldsSixteenBitStereoAtItsRateWithTheSamplesInOrder) {
    std::string path = (std::filesystem::temp_directory_path() / "velor_capture_output_test.wav").string();
    std::vector<int16_t> sound = {1, -1, 32767, -32768, 0, 258};
    std::string error;
    ASSERT_TRUE(WriteWav(path, sound, 48000, &error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_EQ(b.size(), 44u + 12u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), 36u + 12u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(b[20] | b[21] << 8, 1);   // PCM
    EXPECT_EQ(b[22] | b[23] << 8, 2);   // stereo
    EXPECT_EQ(Le32(b, 24), 48000u);
    EXPECT_EQ(Le32(b, 28), 48000u * 4);
    EXPECT_EQ(b[34] | b[35] << 8, 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(Le32(b, 40), 12u);
    EXPECT_EQ(b[44 + 4], 0xFF);  // 32767, low byte first
    EXPECT_EQ(b[44 + 5], 0x7F);
    EXPECT_EQ(b[44 + 10], 0x02);  // 258
    EXPECT_EQ(b[44 + 11], 0x01);
}

TEST(CaptureOutput, WavIntoAMissingFolderSaysWhichFile) {
    std::string error;
    EXPECT_FALSE(WriteWav("/nonexistent-folder/x.wav", {0, 0}, 48000, &error));
    EXPECT_NE(error.find("/nonexistent-folder/x.wav"), std::string::npos);
}

TEST(CaptureOutput, FallbackFilesAreNamedAfterTheVideo) {
    EXPECT_EQ(FallbackFrameFolder("out/clip.mp4"), "out/clip_frames");
    EXPECT_EQ(FallbackSoundFile("out/clip.mp4"), "out/clip.wav");
    EXPECT_EQ(FallbackSoundFile("clip"), "clip.wav");
    EXPECT_EQ(SequenceFrameName(0), "frame_00000.png");
    EXPECT_EQ(SequenceFrameName(7199), "frame_07199.png");
}

TEST(CaptureOutput, ProgressLineShowsFramesRateAndTimeLeft) {
    EXPECT_EQ(ProgressBar::Line(30, 120, 10.0),
              "[#######.......................] 30/120 frames  3.0 fps  0:30 left");
    EXPECT_EQ(ProgressBar::Line(0, 7200, 0.0),
              "[..............................] 0/7200 frames  0.0 fps  --:-- left");
    EXPECT_EQ(ProgressBar::Line(7200, 7200, 3600.0).substr(0, 32), "[##############################]");
}

}  // namespace
}  // namespace velor::capture
