// Decoding image files through stb_image and the writers that make them: orientation (row 0 on
// top whatever the file's row order), colours and alpha, and the messages for files that are not
// images.

#include "engine/image/image_decode.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/image/image_writer.h"
#include "tests/image/image_test_support.h"

namespace velor {
namespace {

using test::Bytes;

// 3 x 2, every pixel different, with partial alpha: a transposed or flipped decode shows.
const Image kPicture = test::ImageFromRows(
    3, 2, {0xFF102030, 0x80405060, 0x00708090, 0xFFA0B0C0, 0x01D0E0F0, 0xFEFF0001});

void ExpectDecodesTo(const ImageResult<TextureImage>& result, const Image& expected) {
    ASSERT_TRUE(result.ok()) << result.error();
    ASSERT_FALSE(result->isCube);
    ASSERT_EQ(result->faces.size(), 1u);
    ASSERT_EQ(result->faces[0].size(), 1u);
    EXPECT_EQ(result->Top().width, expected.width);
    EXPECT_EQ(result->Top().height, expected.height);
    EXPECT_EQ(result->Top().pixels, expected.pixels);
}

TEST(ImageDecode, PngRoundTripsThroughWritePng) {
    test::TempDir dir;
    const std::string path = dir.File("shot.png");
    const ImageStatus written = WritePng(path, kPicture);
    ASSERT_TRUE(written.ok()) << written.error;
    const Bytes file = test::ReadBytes(path);
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0x89, 'P', 'N', 'G'}));
    ExpectDecodesTo(LoadImageFromFile(path), kPicture);
}

TEST(ImageDecode, TgaWrittenByUsRoundTrips) {
    const auto tga = EncodeTga(kPicture);
    ASSERT_TRUE(tga.ok()) << tga.error();
    ExpectDecodesTo(LoadImageFromMemory(tga->data(), tga->size(), "a.tga"), kPicture);
}

TEST(ImageDecode, JpegKeepsColoursApproximatelyAndIsOpaque) {
    const Image flat = test::SolidImage(16, 8, 0x80C06020);
    const auto jpeg = EncodeJpeg(flat, 95);
    ASSERT_TRUE(jpeg.ok()) << jpeg.error();
    const auto result = LoadImageFromMemory(jpeg->data(), jpeg->size(), "a.jpg");
    ASSERT_TRUE(result.ok()) << result.error();
    ASSERT_EQ(result->Top().width, 16u);
    ASSERT_EQ(result->Top().height, 8u);
    for (uint32_t p : result->Top().pixels) {
        EXPECT_EQ(AlphaOf(p), 0xFFu);
        EXPECT_NEAR(int(RedOf(p)), 0xC0, 4);
        EXPECT_NEAR(int(GreenOf(p)), 0x60, 4);
        EXPECT_NEAR(int(BlueOf(p)), 0x20, 4);
    }
}

// stb_image would fill the missing rows with black; a cut-short uncompressed TGA is refused instead.
TEST(ImageDecode, TruncatedUncompressedTgaIsRefused) {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x28};  // 2 x 2, 32-bit, top-down
    for (int i = 0; i < 16; ++i) tga.push_back(uint8_t(0x40 + i));
    const auto whole = LoadImageFromMemory(tga.data(), tga.size(), "a.tga");
    EXPECT_TRUE(whole.ok()) << whole.error();
    const auto cut = LoadImageFromMemory(tga.data(), tga.size() - 3, "a.tga");
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error().rfind("a.tga: truncated: an uncompressed TGA of 2x2 needs 34 bytes, the file has 31", 0), 0u)
        << cut.error();
}

// A bottom-up 2 x 2 TGA as paint programs write it (descriptor bit 5 clear): the first stored row is
// the bottom one.
TEST(ImageDecode, BottomUpTgaComesOutTopRowFirst) {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x08};
    const uint32_t stored[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x80FFFFFF};  // bottom row, then top row
    for (uint32_t p : stored) test::AppendU32(tga, p);                            // B, G, R, A
    const Image expected = test::ImageFromRows(2, 2, {stored[2], stored[3], stored[0], stored[1]});
    ExpectDecodesTo(LoadImageFromMemory(tga.data(), tga.size(), "b.tga"), expected);
}

// A bottom-up 24-bit 2 x 2 BMP with rows padded to four bytes.
TEST(ImageDecode, BottomUpBmpComesOutTopRowFirst) {
    Bytes bmp = {'B', 'M'};
    test::AppendU32(bmp, 54 + 16);
    test::AppendU32(bmp, 0);
    test::AppendU32(bmp, 54);
    for (uint32_t v : {40u, 2u, 2u}) test::AppendU32(bmp, v);
    bmp.insert(bmp.end(), {1, 0, 24, 0});  // planes, bits
    for (uint32_t v : {0u, 16u, 2835u, 2835u, 0u, 0u}) test::AppendU32(bmp, v);
    bmp.insert(bmp.end(), {0xFF, 0, 0, 0, 0xFF, 0, 0, 0});        // bottom: blue, green, pad
    bmp.insert(bmp.end(), {0, 0, 0xFF, 0x10, 0x20, 0x30, 0, 0});  // top: red, (0x30, 0x20, 0x10), pad
    const Image expected = test::ImageFromRows(2, 2, {0xFFFF0000, 0xFF302010, 0xFF0000FF, 0xFF00FF00});
    ExpectDecodesTo(LoadImageFromMemory(bmp.data(), bmp.size(), "c.bmp"), expected);
}

TEST(ImageDecode, DdsBytesGoToTheDdsReader) {
    const Bytes dds = test::MakeDds(test::DdsHeader{}, test::ArgbPayload(std::vector<uint32_t>(16, 0x12345678)));
    ExpectDecodesTo(LoadImageFromMemory(dds.data(), dds.size(), "d.dds"), test::SolidImage(4, 4, 0x12345678));
}

// A PNG whose header claims 9000 x 9000 pixels and holds none.
Bytes HugePngHeader() {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t side : {9000u, 9000u})
        png.insert(png.end(), {uint8_t(side >> 24), uint8_t(side >> 16), uint8_t(side >> 8), uint8_t(side)});
    png.insert(png.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});  // depth 8, RGBA, then a CRC
    return png;
}

TEST(ImageDecode, BadFilesGiveMessagesNamingFileAndReason) {
    test::TempDir dir;
    test::WriteBytes(dir.File("notes.png"), Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'});
    test::WriteBytes(dir.File("empty.png"), Bytes{});
    test::WriteBytes(dir.File("huge.png"), HugePngHeader());
    // Run-length TGA claiming 4000 x 4000 from one packet: stb_image would fill it all from 23 bytes.
    test::WriteBytes(dir.File("claims.tga"),
                     Bytes{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x0F, 0xA0, 0x0F, 32, 0x08, 0xFF, 1, 2, 3, 4});
    Bytes cutPng = EncodePng(kPicture).value();
    cutPng.resize(cutPng.size() / 2);
    test::WriteBytes(dir.File("cut.png"), cutPng);
    std::filesystem::create_directory(dir.File("folder.png"));

    struct {
        std::string path;
        std::string message;  // the start of the error text
    } cases[] = {
        {dir.File("absent.png"), dir.File("absent.png") + ": cannot open file"},
        {dir.File("folder.png"), dir.File("folder.png") + ": not a regular file"},
        {dir.File("empty.png"), dir.File("empty.png") + ": empty file"},
        {dir.File("notes.png"), dir.File("notes.png") + ": not a PNG/JPEG/TGA/DDS image: "},
        {dir.File("cut.png"), dir.File("cut.png") + ": not a PNG/JPEG/TGA/DDS image: "},
        {dir.File("huge.png"), dir.File("huge.png") + ": size 9000x9000 exceeds the largest texture side 8192"},
        {dir.File("claims.tga"), dir.File("claims.tga") + ": size 4000x4000 is impossible for a 23-byte file"},
    };
    for (const auto& c : cases) {
        const auto result = LoadImageFromFile(c.path);
        ASSERT_FALSE(result.ok()) << c.path;
        EXPECT_EQ(result.error().substr(0, c.message.size()), c.message);
        if (c.message.ends_with(": ")) {
            EXPECT_GT(result.error().size(), c.message.size()) << "no reason given";
        }
    }
}

TEST(ImageWriter, RefusesBadImagesAndUnwritablePaths) {
    test::TempDir dir;
    EXPECT_EQ(WritePng(dir.File("a.png"), Image{}).error, dir.File("a.png") + ": cannot write PNG: empty image");

    Image lying = test::SolidImage(4, 4, 0);
    lying.pixels.resize(3);
    EXPECT_EQ(EncodePng(lying).error(), "cannot write PNG: 3 pixels for a 4x4 image");

    const std::string deep = dir.File("no/such/dir/a.png");
    EXPECT_EQ(WritePng(deep, kPicture).error, deep + ": cannot write file: No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(deep));
}

}  // namespace
}  // namespace velor
