#include "engine/os/resources.h"

#include <map>

namespace velor {

namespace {
std::map<int, std::span<const uint8_t>>& Table() {
    static std::map<int, std::span<const uint8_t>> table;
    return table;
}
}  // namespace

void RegisterResource(int id, const uint8_t* bytes, size_t size) { Table()[id] = std::span<const uint8_t>(bytes, size); }

std::span<const uint8_t> FindResource(int id) {
    auto it = Table().find(id);
    return it == Table().end() ? std::span<const uint8_t>() : it->second;
}

}  // namespace velor
