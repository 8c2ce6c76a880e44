// Where a screenshot goes: the XDG pictures folder, from the environment or the user-dirs file,
// else the working folder; never over an earlier screenshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "demo/shell/pictures_folder.h"

namespace velor::demo {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> gEnv;
const char* FakeEnv(const char* name) {
    auto it = gEnv.find(name);
    return it == gEnv.end() ? nullptr : it->second.c_str();
}

TEST(PicturesFolder, TheXdgFolderWhenItExistsElseNone) {
    const fs::path home = fs::path(testing::TempDir()) / "pictures_folder_home";
    fs::remove_all(home);
    fs::create_directories(home / ".config");
    fs::create_directories(home / "Bilder");
    fs::create_directories(home / "elsewhere" / "shots");
    std::ofstream(home / ".config" / "user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    fs::create_directories(home / "cfg");
    std::ofstream(home / "cfg" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Missing\"\n";
    const std::string h = home.string();

    struct Case {
        const char* name;
        std::map<std::string, std::string> env;
        std::string folder;
    };
    const Case cases[] = {
        {"from the user-dirs file, $HOME expanded", {{"HOME", h}}, h + "/Bilder"},
        {"the environment first", {{"HOME", h}, {"XDG_PICTURES_DIR", h + "/elsewhere/shots"}}, h + "/elsewhere/shots"},
        {"XDG_CONFIG_HOME's file", {{"HOME", h}, {"XDG_CONFIG_HOME", h + "/cfg"}}, ""},  // names a missing folder
        {"a folder that does not exist", {{"HOME", h}, {"XDG_PICTURES_DIR", h + "/nowhere"}}, ""},
        {"a relative folder", {{"HOME", h}, {"XDG_PICTURES_DIR", "Bilder"}}, ""},
        {"no home, no file", {}, ""},
    };
    for (const Case& c : cases) {
        gEnv = c.env;
        EXPECT_EQ(PicturesFolder(&FakeEnv), c.folder) << c.name;
    }
    fs::remove_all(home);
}

TEST(PicturesFolder, AScreenshotNeverReplacesAnEarlierOne) {
    const fs::path folder = fs::path(testing::TempDir()) / "pictures_folder_shots";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string first = ScreenshotPath(folder.string(), 12.3456);
    EXPECT_EQ(fs::path(first).filename(), "velor-012.346.png");
    std::ofstream(first) << "x";
    const std::string second = ScreenshotPath(folder.string(), 12.3456);
    EXPECT_EQ(fs::path(second).filename(), "velor-012.346-2.png");
    EXPECT_EQ(fs::path(ScreenshotPath("", 1)).parent_path(), "");  // the working folder
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velor::demo
