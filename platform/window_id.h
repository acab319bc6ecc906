#pragma once
// Identifies a window of the program's desktop. Timers are kept per window and
// timer id, as window timers are; kNoWindow owns the program-wide timers.

#include <cstdint>

namespace platform {

using WindowId = std::uint32_t;
inline constexpr WindowId kNoWindow = 0;

}  // namespace platform
