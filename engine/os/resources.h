#pragma once
// Embedded resources (RCDATA): bytes compiled into the executable, looked up by id.
#include <cstddef>
#include <cstdint>
#include <span>

namespace velor {

// Registered by generated code at static-initialisation time.
void RegisterResource(int id, const uint8_t* bytes, size_t size);
// Empty when no resource has that id.
std::span<const uint8_t> FindResource(int id);

}  // namespace velor
