// data.xyz: ten length-prefixed entries in the demo's fixed order, each the file of its name.
#include <gtest/gtest.h>

#include "tests/content/content_test_support.h"
#include "tests/content/x_text_probe.h"
#include "tools/contentgen/pack_writer.h"

namespace velor::content {
namespace {

// The demo unpacks the entries by position: the names and their order are written out here rather
// than read from the generator's own table, so a reordered table fails.
constexpr const char* kDemoPackOrder[10] = {"fire.png", "skybox.x", "tree.x",   "iskelet.x", "duvar.x",
                                            "sphere.x", "scroll.x", "tunnel.x", "ccube.x",   "quad.x"};

TEST(ContentPack, NameTableIsTheDemosOrder) {
    ASSERT_EQ(kPackEntryNames.size(), std::size(kDemoPackOrder));
    for (size_t i = 0; i < std::size(kDemoPackOrder); ++i)
        EXPECT_STREQ(kPackEntryNames[i], kDemoPackOrder[i]) << "slot " << i;
}

TEST(ContentPack, HoldsTheTenNamedEntriesInTheDemosOrder) {
    const Blob pack = GeneratePack(2);
    ASSERT_TRUE(pack.ok()) << pack.error;
    const PackContents contents = SplitPack(pack.bytes, kPackEntryNames.size());
    ASSERT_TRUE(contents.error.empty()) << contents.error;
    ASSERT_EQ(contents.entries.size(), 10u);
    EXPECT_EQ(contents.trailing, 0u);

    // Entry 0 is the fire sheet, a PNG the demo loads at 1024 x 1024.
    const std::vector<uint8_t>& fire = contents.entries[0];
    ASSERT_GT(fire.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(fire.begin(), fire.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}));
    ImageResult<TextureImage> decoded = LoadImageFromMemory(fire.data(), fire.size(), "fire.png");
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded->Top().width, 1024u);
    EXPECT_EQ(decoded->Top().height, 1024u);

    // Entries 1 to 9 are text X files, each the very file of its slot's name.
    for (size_t i = 1; i < contents.entries.size(); ++i) {
        const std::string text(contents.entries[i].begin(), contents.entries[i].end());
        EXPECT_EQ(text.substr(0, 16), "xof 0303txt 0032") << kDemoPackOrder[i];
        const probe::XDocument doc = probe::ParseXText(text);
        EXPECT_TRUE(doc.error.empty()) << kDemoPackOrder[i] << ": " << doc.error;
        EXPECT_FALSE(probe::FindAll(doc, "Mesh").empty()) << kDemoPackOrder[i] << " has no mesh";
        EXPECT_EQ(text, testing::GeneratedText(kDemoPackOrder[i])) << "slot " << i << " does not hold "
                                                                   << kDemoPackOrder[i];
    }
}

TEST(ContentPack, SplitReportsShortAndTrailingData) {
    std::string error;
    const std::vector<uint8_t> two = BuildPack({{1, 2, 3}, {}}, &error);
    ASSERT_TRUE(error.empty());
    EXPECT_EQ(two, (std::vector<uint8_t>{3, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0}));

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        size_t entries;
        bool ok;
        size_t trailing;
    };
    const Case cases[] = {
        {"exact", two, 2, true, 0},
        {"extra bytes after the last entry", [&] { auto b = two; b.push_back(9); return b; }(), 2, true, 1},
        {"length runs past the end", {5, 0, 0, 0, 1, 2}, 1, false, 0},
        {"length cut short", {3, 0}, 1, false, 0},
        {"fewer entries than expected", two, 3, false, 0},
    };
    for (const Case& c : cases) {
        const PackContents got = SplitPack(c.bytes, c.entries);
        EXPECT_EQ(got.error.empty(), c.ok) << c.what << ": " << got.error;
        if (c.ok) {
            EXPECT_EQ(got.trailing, c.trailing) << c.what;
        }
    }
}

}  // namespace
}  // namespace velor::content
