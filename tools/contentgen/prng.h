#pragma once
// The generator's only source of randomness: a fixed-seed SplitMix64 stream and a stateless integer
// hash. Both are pure integer arithmetic, so every run on every machine draws the same numbers;
// std::random's distributions are avoided because their output is left to the library.

#include <cstdint>

namespace velor::content {

// Stateless 32-bit mixer (a lowbias32 variant): neighbouring inputs give unrelated outputs.
constexpr uint32_t Hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

constexpr uint32_t Hash2(int32_t x, int32_t y, uint32_t seed) {
    return Hash32(uint32_t(x) * 0x8da6b343u ^ Hash32(uint32_t(y) * 0xd8163841u ^ Hash32(seed)));
}

constexpr uint32_t Hash3(int32_t x, int32_t y, int32_t z, uint32_t seed) {
    return Hash32(uint32_t(x) * 0x8da6b343u ^
                  Hash32(uint32_t(y) * 0xd8163841u ^ Hash32(uint32_t(z) * 0xcb1ab31fu ^ Hash32(seed))));
}

// Hash to [0, 1).
constexpr float HashUnit(uint32_t h) { return float(h >> 8) * (1.0f / 16777216.0f); }

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    uint64_t NextU64() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    uint32_t NextU32() { return uint32_t(NextU64() >> 32); }
    float Unit() { return float(NextU32() >> 8) * (1.0f / 16777216.0f); }   // [0, 1)
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    int Int(int lo, int hiInclusive) { return lo + int(NextU32() % uint32_t(hiInclusive - lo + 1)); }

private:
    uint64_t state_;
};

}  // namespace velor::content
