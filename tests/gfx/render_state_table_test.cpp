// The render-state table against the enum and the README: one list makes both, and the page's
// "stored, not applied" row names exactly the states no draw reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "engine/gfx/render_state_table.h"

namespace velor {
namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

TEST(RenderStateTable, OneRowPerStateWithinTheDeviceSlots) {
    std::set<uint32_t> seen;
    for (const RenderStateRow& row : RenderStateTable()) {
        EXPECT_LT(uint32_t(row.state), kRenderStateCount) << row.name;
        EXPECT_TRUE(seen.insert(uint32_t(row.state)).second) << row.name << " has two rows";
    }
}

TEST(RenderStateTable, ReadmeStoredRowIsTheTablesStoredStates) {
    std::ifstream in(VELOR_GFX_README);
    ASSERT_TRUE(in) << VELOR_GFX_README;
    std::stringstream text;
    text << in.rdbuf();
    std::string page = text.str();
    const std::string marker = "| stored and read back; not applied |";
    size_t end = page.find(marker);
    ASSERT_NE(end, std::string::npos) << "README has no stored-states row";
    size_t start = page.rfind("\n|", end);
    ASSERT_NE(start, std::string::npos);
    std::set<std::string> listed;
    std::stringstream names(page.substr(start + 2, end - start - 2));
    for (std::string name; std::getline(names, name, ',');) {
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        listed.insert(name);
    }
    std::set<std::string> stored;
    for (const RenderStateRow& row : RenderStateTable())
        if (row.target == StateTarget::Stored) stored.insert(Upper(row.name));
    EXPECT_EQ(listed, stored);
}

}  // namespace
}  // namespace velor
