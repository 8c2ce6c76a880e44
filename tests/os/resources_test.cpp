// Bytes compiled into an executable come back by id, whole; unknown ids are empty.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine/os/resources.h"

namespace velor {
namespace {

TEST(EmbeddedResources, FileBytesComeBackByIdUnchanged) {
    std::ifstream file(std::string(VELOR_TEST_DATA_DIR) + "/embedded_sample.txt", std::ios::binary);
    std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(expected.empty());
    auto bytes = FindResource(4242);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

TEST(EmbeddedResources, UnknownIdIsEmpty) { EXPECT_TRUE(FindResource(4243).empty()); }

}  // namespace
}  // namespace velor
