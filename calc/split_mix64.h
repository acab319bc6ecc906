#pragma once
// SplitMix64: a small, fast pseudo-random generator with a 64-bit state. Every
// odds calculation starts it from a fixed seed, so the same input always
// yields the same sequence and the same counters, on every platform.

#include <cstdint>

namespace calc {

class SplitMix64 {
  public:
    // Starts the sequence from `seed`.
    explicit constexpr SplitMix64(std::uint64_t seed) : state_(seed) {}

    // Returns the next 64-bit value of the sequence.
    constexpr std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    // Returns a value in 0..bound-1 for a bound of 1 or more (multiply-shift on
    // the high 32 bits; the bias is below bound / 2^32, far under what a
    // Monte Carlo run of any length could notice).
    constexpr std::uint32_t Below(std::uint32_t bound) {
        return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
    }

  private:
    std::uint64_t state_;
};

}  // namespace calc
