// Every effect the demo cannot make is said the same way, once, and left missing.
#include <gtest/gtest.h>

#include <string>

#include "demo/content/demo_effects.h"

namespace velor::demo {
namespace {

int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(DemoEffects, AMissingEffectIsLeftMissingAndSaidOnce) {
    std::shared_ptr<Effect> first, second;
    ::testing::internal::CaptureStderr();
    CreateFileEffect("no-such-effect.fx", &first);
    CreateFileEffect("no-such-effect.fx", &second);  // as every sprite asks for the shared effect
    CreateEmbeddedEffect(999, &second);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(second, nullptr);
    // One line each, in the one form: the caption, then the reason naming what failed.
    EXPECT_EQ(Occurrences(said, "\n"), 2) << said;
    EXPECT_EQ(Occurrences(said, "asd: no-such-effect.fx: "), 1) << said;
    EXPECT_EQ(Occurrences(said, "asd: resource 999: "), 1) << said;
}

}  // namespace
}  // namespace velor::demo
