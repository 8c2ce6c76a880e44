#include "demo/shell/content_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace velor::demo {
namespace {

namespace fs = std::filesystem;

// A scratch tree: working/, bin/ (with the executable), share/velor/, opt/velor/, none of them
// holding content until a case puts some there.
class ContentFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velor-content-folder-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        for (const char* folder : {"working", "bin", "share/velor", "opt/velor"}) fs::create_directories(root_ / folder);
        std::ofstream(root_ / "bin/velor") << "";
    }
    void TearDown() override { fs::remove_all(root_); }

    std::vector<fs::path> Candidates() const {
        return ContentFolderCandidates(root_ / "working", root_ / "bin/velor", "../share/velor", root_ / "opt/velor");
    }
    void Put(const std::string& relative) {
        fs::create_directories((root_ / relative).parent_path());
        if (relative.back() == '/') return;
        std::ofstream(root_ / relative) << "x";
    }

    fs::path root_;
};

TEST_F(ContentFolderTest, LooksInTheWorkingFolderTheExecutablesTheRelativeDataAndTheInstalledData) {
    std::vector<fs::path> expected = {root_ / "working", root_ / "bin", root_ / "share/velor", root_ / "opt/velor"};
    EXPECT_EQ(Candidates(), expected);
}

TEST_F(ContentFolderTest, TakesTheFirstFolderHoldingAnyContentFile) {
    struct Case {
        std::vector<std::string> files;
        std::string expected;  // relative to the root; empty: none found
    };
    const Case cases[] = {
        {{"working/data.xyz", "bin/data.xyz", "share/velor/data.xyz"}, "working"},
        {{"bin/data.xyz", "share/velor/data.xyz", "opt/velor/data.xyz"}, "bin"},
        {{"share/velor/Vob_058f.s3m", "opt/velor/data.xyz"}, "share/velor"},
        {{"opt/velor/textures/"}, "opt/velor"},
        // One file of the set left: still the content, played and complained about, not swapped.
        {{"working/Vob_058f.s3m", "bin/data.xyz"}, "working"},
        // Files that are not the demo's do not count.
        {{"working/notes.txt", "bin/velor.png", "share/velor/readme"}, ""},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        for (const std::string& file : c.files) Put(file);
        ContentFolderResult found = FindContentFolder(Candidates(), "");
        if (c.expected.empty()) {
            EXPECT_TRUE(found.folder.empty()) << found.folder;
        } else {
            EXPECT_EQ(found.folder, root_ / c.expected) << c.files.front();
            EXPECT_TRUE(found.error.empty());
        }
    }
}

TEST_F(ContentFolderTest, NoContentAnywhereSaysWhereItLookedOnOneLine) {
    ContentFolderResult found = FindContentFolder(Candidates(), "");
    EXPECT_TRUE(found.folder.empty());
    EXPECT_EQ(found.error.find('\n'), std::string::npos);
    for (const fs::path& folder : Candidates()) EXPECT_NE(found.error.find(folder.string()), std::string::npos) << found.error;
    EXPECT_NE(found.error.find("--data"), std::string::npos) << found.error;
}

TEST_F(ContentFolderTest, DataOptionIsTheOnlyFolderLookedAt) {
    Put("working/data.xyz");
    Put("opt/velor/data.xyz");
    ContentFolderResult named = FindContentFolder(Candidates(), (root_ / "opt/velor").string());
    EXPECT_EQ(named.folder, root_ / "opt/velor");
    ContentFolderResult empty = FindContentFolder(Candidates(), (root_ / "share/velor").string());
    EXPECT_TRUE(empty.folder.empty()) << "fell back to " << empty.folder;
    EXPECT_NE(empty.error.find((root_ / "share/velor").string()), std::string::npos) << empty.error;
    ContentFolderResult missing = FindContentFolder(Candidates(), (root_ / "nowhere").string());
    EXPECT_TRUE(missing.folder.empty());
}

TEST_F(ContentFolderTest, SameFolderReachedTwoWaysIsLookedAtOnce) {
    // Installed under the prefix the build was configured for: ../share/velor is the installed folder.
    std::vector<fs::path> candidates =
        ContentFolderCandidates(root_ / "bin", root_ / "bin/velor", "../share/velor/", root_ / "share/./velor");
    std::vector<fs::path> expected = {root_ / "bin", root_ / "share/velor"};
    EXPECT_EQ(candidates, expected);
}

TEST_F(ContentFolderTest, EnteringTheFolderMakesItTheWorkingFolder) {
    Put("share/velor/data.xyz");
    const fs::path before = fs::current_path();
    std::string error;
    ASSERT_TRUE(EnterContentFolder((root_ / "share/velor").string(), &error)) << error;
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(root_ / "share/velor"));
    fs::current_path(before);
    EXPECT_FALSE(EnterContentFolder((root_ / "working").string(), &error));
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
}  // namespace velor::demo
