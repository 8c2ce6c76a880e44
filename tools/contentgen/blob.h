#pragma once
// The bytes of one generated file, or the reason there are none.

#include <cstdint>
#include <string>
#include <vector>

namespace velor::content {

struct Blob {
    std::vector<uint8_t> bytes;
    std::string error;   // empty on success

    static Blob Fail(std::string message) { return Blob{{}, std::move(message)}; }
    bool ok() const { return error.empty(); }
};

inline Blob FromText(const std::string& text) { return Blob{std::vector<uint8_t>(text.begin(), text.end()), {}}; }

}  // namespace velor::content
