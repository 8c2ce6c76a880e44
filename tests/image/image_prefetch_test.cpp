// The start-up prefetch must be invisible to callers: a load through it gives what a direct load
// gives (pixels and error messages), takes each file at most once, and loads whatever it was not asked
// for, or was asked for out of order, directly.

#include "engine/image/image_prefetch.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/image/image_decode.h"
#include "engine/image/image_writer.h"
#include "tests/image/image_test_support.h"

namespace velor {
namespace {

Image Solid(uint32_t colour) { return Image(4, 3, colour); }

class ImagePrefetch : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 6; ++i) ASSERT_TRUE(WritePng(dir_.File("t" + std::to_string(i) + ".png"), Solid(0xFF000010u + i)).ok());
        std::ofstream(dir_.File("broken.png"), std::ios::binary) << "\x89PNG not really";
        std::ofstream(dir_.File("notes.txt")) << "not an image";
    }
    void TearDown() override { EndImagePrefetch(); }

    std::string Path(const std::string& name) const { return dir_.File(name); }
    test::TempDir dir_;
};

TEST_F(ImagePrefetch, ListsTheFolderImagesSortedAndLeavesOtherFilesOut) {
    std::vector<std::string> files = ImageFilesIn(dir_.Path().string());
    ASSERT_EQ(files.size(), 7u);
    EXPECT_EQ(files.front(), Path("broken.png"));
    EXPECT_EQ(files.back(), Path("t5.png"));
    EXPECT_TRUE(ImageFilesIn(Path("no-such-folder")).empty());
}

TEST_F(ImagePrefetch, LoadsInAnyOrderMatchDirectLoads) {
    PrefetchImageFiles(ImageFilesIn(dir_.Path().string()));
    // Last first (the thread has not reached it or is on it), then the rest, then the broken file.
    for (int i : {5, 0, 3, 1, 2, 4}) {
        ImageResult<TextureImage> image = LoadImageFromFile(Path("t" + std::to_string(i) + ".png"));
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_EQ(image->Top().pixels, Solid(0xFF000010u + i).pixels) << i;
    }
    ImageResult<TextureImage> broken = LoadImageFromFile(Path("broken.png"));
    ASSERT_FALSE(broken.ok());
    EXPECT_EQ(broken.error(), DecodeImageFile(Path("broken.png")).error());
}

TEST_F(ImagePrefetch, EachFileIsTakenOnceSoASecondLoadReadsTheFileAgain) {
    PrefetchImageFiles({Path("t0.png")});
    ASSERT_TRUE(LoadImageFromFile(Path("t0.png")).ok());
    ASSERT_TRUE(WritePng(Path("t0.png"), Solid(0xFFABCDEFu)).ok());
    ImageResult<TextureImage> again = LoadImageFromFile(Path("t0.png"));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->Top().pixels, Solid(0xFFABCDEFu).pixels);
    EXPECT_FALSE(TakePrefetchedImage(Path("t0.png")).has_value());
}

TEST_F(ImagePrefetch, EndingWhileDecodingAndRestartingIsSafe) {
    std::vector<std::string> many;
    for (int round = 0; round < 50; ++round)
        for (int i = 0; i < 6; ++i) many.push_back(Path("t" + std::to_string(i) + ".png"));
    PrefetchImageFiles(many);
    EndImagePrefetch();
    PrefetchImageFiles(many);
    PrefetchImageFiles({Path("t2.png")});  // ends the one before
    ImageResult<TextureImage> image = LoadImageFromFile(Path("t2.png"));
    ASSERT_TRUE(image.ok());
    EXPECT_EQ(image->Top().pixels, Solid(0xFF000012u).pixels);
    EXPECT_FALSE(TakePrefetchedImage(Path("t3.png")).has_value());  // not asked for this time
}

}  // namespace
}  // namespace velor
