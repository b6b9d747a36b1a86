#pragma once
// Plain screen geometry and colour values shared by every platform interface.
#include <cstdint>

namespace platform {

// A colour as the platform reports a pixel: 0x00BBGGRR.
using ColorRef = std::uint32_t;

// The value a pixel read returns for a point outside the screen.
constexpr ColorRef InvalidColor = 0xFFFFFFFFu;

constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>(r & 0xFF) | static_cast<ColorRef>(g & 0xFF) << 8 |
         static_cast<ColorRef>(b & 0xFF) << 16;
}
constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }
// A colour with its red and blue bytes exchanged: a COLORREF (0x00BBGGRR) as a
// 32-bit screen bitmap holds it (0x00RRGGBB), and such a pixel as a COLORREF.
constexpr ColorRef SwapRedAndBlue(std::uint32_t c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

struct Point {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left and top inclusive, right and bottom exclusive, as Windows keeps a RECT.
struct Rect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  bool Contains(std::int32_t x, std::int32_t y) const {
    return x >= Left && x < Right && y >= Top && y < Bottom;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace platform
