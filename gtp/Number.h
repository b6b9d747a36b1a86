#pragma once
// Whole numbers on the command lines of duelcom-gtp and tovarin-sim.
#include <cstdlib>

namespace gtp {

// Reads `text` as a decimal number from `low` to `high` into `out`: what strtol
// takes (leading blanks and a sign allowed), with nothing after it. False, and
// `out` unchanged, for anything else.
inline bool Number(const char* text, int& out, int low, int high) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace gtp
