#pragma once
// DrawTextA takes bytes in the ANSI code page, read here as Windows-1252 (Western European).
#include <cstdint>

namespace velor {

// The Unicode code point of one Windows-1252 byte; the five unassigned bytes map to themselves.
uint32_t CodePointFrom1252(uint8_t byte);

}  // namespace velor
