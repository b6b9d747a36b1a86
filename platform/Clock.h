#pragma once
// Time as Tovarin sees it: the millisecond tick count and blocking sleeps.
#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some start, as an unsigned 32-bit value that wraps around;
  // differences are taken with wrap-around (now - then).
  virtual std::uint32_t TickCount() = 0;
  // Blocks the calling thread for `ms` milliseconds.
  virtual void Sleep(std::uint32_t ms) = 0;
};

// True when tick `a` lies after tick `b`, allowing for wrap-around.
inline bool TickAfter(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(a - b) > 0;
}

}  // namespace platform
