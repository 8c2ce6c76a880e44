// The generator as a whole: byte-identical runs, the exact file names the demo opens, the music.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/content/content_test_support.h"
#include "tests/content/x_text_probe.h"
#include "tools/contentgen/music_file.h"
#include "tools/contentgen/pack_writer.h"

namespace velor::content {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "velor-content-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

int RunGenerator(const std::string& args) {
    const std::string command = std::string("\"") + VELOR_CONTENT_EXE + "\" " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::vector<char>> ReadTree(const fs::path& root) {
    std::map<std::string, std::vector<char>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] =
            std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

TEST(ContentGenerator, TwoRunsWriteIdenticalBytes) {
    TempDir first, second;
    ASSERT_FALSE(first.Path().empty());
    ASSERT_FALSE(second.Path().empty());
    // Different thread counts too: the output must not depend on which generator finishes first.
    ASSERT_EQ(RunGenerator("--out \"" + first.Path().string() + "\" --threads 1 --quiet"), 0);
    ASSERT_EQ(RunGenerator("--out \"" + second.Path().string() + "\" --threads 3 --quiet"), 0);
    const auto a = ReadTree(first.Path()), b = ReadTree(second.Path());
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a.count("data.xyz"));
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        auto it = b.find(path);
        ASSERT_NE(it, b.end()) << path << " missing from the second run";
        EXPECT_TRUE(bytes == it->second) << path << " differs between runs";
    }
}

TEST(ContentGenerator, MakesEveryFileTheDemoOpensByItsExactName) {
    // The demo opens these by name, relative to its working folder; case matters on Linux.
    std::vector<std::string> expected = {
        "data.xyz",           "textures/Flare1.jpg",  "textures/light.png",  "textures/light1.png",
        "textures/particle.png", "textures/Texture1.dds", "textures/details.tga", "textures/BLEND.PNG",
        "textures/rock_b.dds", "textures/cimen.jpg",   "textures/tunnel.png", "textures/rock_c_normalmap.dds",
        "textures/zombi.png",    "Vob_058f.s3m",
    };
    const std::vector<std::string> paths = ContentPaths();
    for (const std::string& name : expected) {
        EXPECT_NE(std::find(paths.begin(), paths.end(), name), paths.end()) << name << " is not generated";
    }
}

TEST(ContentGenerator, EveryTextureAMaterialNamesIsGenerated) {
    const std::vector<std::string> paths = ContentPaths();
    int named = 0;
    for (const char* mesh : kPackEntryNames) {
        const std::string name(mesh);
        if (name.size() < 2 || name.compare(name.size() - 2, 2, ".x") != 0) continue;
        const probe::XDocument doc = probe::ParseXText(testing::GeneratedText(name));
        ASSERT_TRUE(doc.error.empty()) << name << ": " << doc.error;
        for (const probe::XObject* tex : probe::FindAll(doc, "TextureFilename")) {
            ASSERT_EQ(tex->strings.size(), 1u) << name;
            const std::string& file = tex->strings[0];
            ++named;
            EXPECT_NE(file.front(), '/') << name << " names an absolute path: " << file;
            EXPECT_EQ(file.find('\\'), std::string::npos) << name << " uses a backslash: " << file;
            EXPECT_NE(std::find(paths.begin(), paths.end(), file), paths.end()) << name << " names " << file
                                                                                << ", which is not generated";
        }
    }
    EXPECT_GT(named, 5);
}

TEST(ContentGenerator, MusicModuleStartsWithTheS3mHeader) {
    const Blob module = GenerateOne("Vob_058f.s3m");
    ASSERT_TRUE(module.ok()) << module.error;
    ASSERT_GT(module.bytes.size(), 96u);
    EXPECT_EQ(std::string(module.bytes.begin() + 44, module.bytes.begin() + 48), "SCRM");
    EXPECT_EQ(module.bytes[29], 16) << "file type byte of an S3M module";
}

TEST(ContentGenerator, RefusesBadArgumentsWithUsage) {
    EXPECT_EQ(RunGenerator(""), 2);
    EXPECT_EQ(RunGenerator("--out"), 2);
    EXPECT_EQ(RunGenerator("--out /tmp/x --bogus"), 2);
    EXPECT_EQ(RunGenerator("--out /tmp/x --threads 0"), 2);
}

TEST(ContentGenerator, UnknownFileIsAnErrorValue) {
    const Blob blob = GenerateOne("textures/nothing.png");
    EXPECT_FALSE(blob.ok());
    EXPECT_NE(blob.error.find("nothing.png"), std::string::npos);
}

}  // namespace
}  // namespace velor::content
