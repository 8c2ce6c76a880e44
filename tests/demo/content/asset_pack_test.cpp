// The asset pack: which entries come out of packs good and bad, that nothing is left on disk, and
// that the user's files of the same names are never touched. Runs without a device: meshes load on
// the CPU, the fire texture is skipped.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/content/asset_pack.h"
#include "demo/scene/scene_object.h"

namespace velor::demo {
namespace {

namespace fs = std::filesystem;

// The names and order the pack format fixes; the pack has no index of its own.
const char* const kExpectedNames[kPackEntryCount] = {
    "fire.png", "skybox.x", "tree.x", "iskelet.x", "duvar.x", "sphere.x", "scroll.x", "tunnel.x", "ccube.x", "quad.x",
};

const char* kTriangleX = R"(xof 0303txt 0032
Mesh Tri {
 3;
 0.0; 0.0; 0.0;,
 1.0; 0.0; 0.0;,
 0.0; 1.0; 0.0;;
 1;
 3; 0, 1, 2;;
}
)";

void PutLength(std::string* pack, uint32_t length) {
    for (int i = 0; i < 4; ++i) pack->push_back(char((length >> (8 * i)) & 0xFF));
}

std::string Entry(const std::string& content) {
    std::string entry;
    PutLength(&entry, uint32_t(content.size()));
    return entry + content;
}

// Ten entries: the quad slot gets a real mesh, the others bytes no loader accepts.
std::string TenEntries() {
    std::string pack;
    for (int k = 0; k < kPackEntryCount; ++k)
        pack += Entry(k == 9 ? std::string(kTriangleX) : "entry " + std::to_string(k));
    return pack;
}

// Each case runs in a fresh working folder of its own.
class AssetPack : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("velor-pack-test-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "tmp");
        fs::current_path(folder_);
        // The pack's private folder goes under TMPDIR: a folder of this test's own, checked empty.
        setenv("TMPDIR", (folder_ / "tmp").c_str(), 1);
        ResetObjectTable();
    }
    void TearDown() override {
        unsetenv("TMPDIR");
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    static void WritePack(const std::string& bytes) { std::ofstream("data.xyz", std::ios::binary) << bytes; }
    static int ExtractedCount() {
        int n = 0;
        for (bool e : gPack.extracted) n += e;
        return n;
    }
    // Nothing of the pack is left: no extracted file in the working folder or a pack folder.
    void ExpectNothingLeft() const {
        for (const char* name : kExpectedNames) EXPECT_FALSE(fs::exists(name)) << name;
        EXPECT_TRUE(gPack.folder.empty());
        EXPECT_TRUE(fs::is_empty(folder_ / "tmp"));
    }

    fs::path previous_, folder_;
};

TEST_F(AssetPack, NamesAndOrderAreFixed) {
    for (int k = 0; k < kPackEntryCount; ++k) EXPECT_STREQ(kPackEntryNames[k], kExpectedNames[k]) << k;
}

struct PackCase {
    const char* what;
    bool writePack;
    std::string bytes;
    int extracted;  // entries 0 .. extracted-1 come out
};

TEST_F(AssetPack, ExtractsExactlyWhatThePackHolds) {
    std::string ten = TenEntries();
    std::string cut = ten.substr(0, ten.size() - 5);  // the tenth entry loses its last bytes
    std::string huge = TenEntries().substr(0, Entry("entry 0").size());
    PutLength(&huge, 0xFFFFFFFFu);
    huge += "abc";
    const PackCase cases[] = {
        {"ten good entries", true, ten, 10},
        {"extra bytes after the tenth", true, ten + "trailing bytes never read", 10},
        {"truncated tenth entry", true, cut, 9},
        {"length 0xFFFFFFFF in the second entry", true, huge, 1},
        {"length cut inside its four bytes", true, Entry("entry 0") + "\x05\x00", 1},
        {"empty file", true, "", 0},
        {"no file", false, "", 0},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove("data.xyz");
        if (c.writePack) WritePack(c.bytes);
        ResetObjectTable();
        LoadAssets();
        EXPECT_EQ(ExtractedCount(), c.extracted);
        for (int k = 0; k < c.extracted; ++k) EXPECT_TRUE(gPack.extracted[k]) << k;
        // The quad slot fills exactly when its entry came out whole.
        EXPECT_EQ(Object(kQuadSlot).mesh != nullptr, c.extracted == 10);
        EXPECT_EQ(Object(kQuadSlot).noTextures, 0);  // set later, by the start-up
        ExpectNothingLeft();
    }
}

TEST_F(AssetPack, UserFilesOfTheSameNamesAreLeftAlone) {
    for (const char* name : kExpectedNames) std::ofstream(name) << "mine: " << name;
    WritePack(TenEntries());
    LoadAssets();
    EXPECT_EQ(ExtractedCount(), 10);
    for (const char* name : kExpectedNames) {
        std::ifstream in(name);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, std::string("mine: ") + name);
    }
    // And the mesh came from the pack, not from the user's file of the same name.
    EXPECT_NE(Object(kQuadSlot).mesh, nullptr);
}

TEST_F(AssetPack, EntryOfZeroLengthIsWrittenEmpty) {
    std::FILE* pack = std::tmpfile();
    std::string bytes = Entry("") + Entry("next");
    std::fwrite(bytes.data(), 1, bytes.size(), pack);
    std::rewind(pack);
    bool written = false;
    ASSERT_TRUE(ExtractPackEntry(pack, "first.bin", &written));
    EXPECT_TRUE(written);
    EXPECT_EQ(fs::file_size("first.bin"), 0u);
    ASSERT_TRUE(ExtractPackEntry(pack, "second.bin", &written));
    EXPECT_EQ(fs::file_size("second.bin"), 4u);
    EXPECT_FALSE(ExtractPackEntry(pack, "third.bin", &written));
    EXPECT_FALSE(fs::exists("third.bin"));
    std::fclose(pack);
}

TEST_F(AssetPack, EntryThatCannotBeWrittenIsSkippedAndReadingGoesOn) {
    std::FILE* pack = std::tmpfile();
    std::string bytes = Entry("dropped") + Entry("kept");
    std::fwrite(bytes.data(), 1, bytes.size(), pack);
    std::rewind(pack);
    bool written = true;
    ASSERT_TRUE(ExtractPackEntry(pack, "no-such-folder/x.bin", &written));
    EXPECT_FALSE(written);
    ASSERT_TRUE(ExtractPackEntry(pack, "kept.bin", &written));
    EXPECT_TRUE(written);
    std::ifstream in("kept.bin");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "kept");
    std::fclose(pack);
}

}  // namespace
}  // namespace velor::demo
