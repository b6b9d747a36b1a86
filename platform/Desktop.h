#pragma once
// The desktop seen from Tovarin: the screen, other programs' top-level windows and
// synthetic input. Implemented by platform/win32 (the real calls) and platform/headless
// (the simulated desktop).
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

// A top-level window; 0 is none.
using WindowHandle = std::uintptr_t;

// Stacking place for SetWindowPos, with the values Windows gives them.
constexpr WindowHandle InsertTop = 0;     // HWND_TOP
constexpr WindowHandle InsertBottom = 1;  // HWND_BOTTOM

// Flags of SetWindowPos, with the values Windows gives them.
constexpr unsigned SwpNoSize = 0x0001;
constexpr unsigned SwpNoMove = 0x0002;
constexpr unsigned SwpNoZOrder = 0x0004;
constexpr unsigned SwpNoActivate = 0x0010;
constexpr unsigned SwpShowWindow = 0x0040;

// Virtual-key codes used by the set-up scripts.
constexpr std::uint8_t VkBack = 0x08;
constexpr std::uint8_t VkNumpad5 = 0x65;

// The pixels of one screen rectangle read at one moment. Reading many points from
// one snapshot is far cheaper than one screen read per point.
class ScreenSnapshot {
 public:
  // How the desktop stores the pixels: as COLORREFs, or as a screen bitmap holds
  // them, each turned into a COLORREF when it is read (a look reads a few hundred
  // of the area's pixels, so converting them all would cost more than the reads).
  enum class Order : std::uint8_t { ColorRefs, ScreenBitmap };

  const Rect& Area() const { return Area_; }
  // The pixel at screen point (x, y); InvalidColor outside the area or the screen.
  ColorRef At(int x, int y) const {
    if (!Area_.Contains(x, y)) return InvalidColor;
    const ColorRef p =
        Pixels_[static_cast<std::size_t>(y - Area_.Top) * static_cast<std::size_t>(Area_.Width()) +
                static_cast<std::size_t>(x - Area_.Left)];
    return Order_ == Order::ColorRefs ? p : SwapRedAndBlue(p);
  }
  // Makes room for `area` and returns the row-major pixel store the desktop fills.
  // As COLORREFs every pixel starts as InvalidColor; in the screen bitmap's order
  // the desktop writes every one (the area lies wholly on the screen).
  std::vector<ColorRef>& Prepare(const Rect& area, Order order = Order::ColorRefs) {
    Area_ = area;
    Order_ = order;
    const std::size_t size = static_cast<std::size_t>(area.Width() > 0 ? area.Width() : 0) *
                             static_cast<std::size_t>(area.Height() > 0 ? area.Height() : 0);
    if (order == Order::ColorRefs)
      Pixels_.assign(size, InvalidColor);
    else
      Pixels_.resize(size);
    return Pixels_;
  }

  // Single screen points read in the same look as the area, wherever they are
  // (a program's dialogs beside its board): set before Snapshot, read after.
  std::vector<Point> Spots;
  std::vector<ColorRef> SpotColours;  // InvalidColor off the screen

 private:
  Rect Area_;
  Order Order_ = Order::ColorRefs;
  std::vector<ColorRef> Pixels_;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // How much the system enlarges what programs draw on the primary screen, in
  // percent (100: not at all).
  virtual int DisplayScalePercent() = 0;

  // Colour of one screen pixel; InvalidColor off the screen.
  virtual ColorRef Pixel(int x, int y) = 0;
  // Reads every pixel of `area` (clipped to the screen; outside stays InvalidColor),
  // and the snapshot's Spots, at one moment: on Windows through one device
  // context, so that the spots cost no device context of their own.
  virtual void Snapshot(const Rect& area, ScreenSnapshot& out) = 0;

  // The top-level window whose title equals `title` (UTF-8) exactly, or 0.
  virtual WindowHandle FindWindowByTitle(std::string_view title) = 0;
  // Outer rectangle of a window in screen pixels; false when the window is gone.
  virtual bool GetWindowRect(WindowHandle window, Rect& out) = 0;
  // Moves, sizes and restacks a window (outer rectangle), as SetWindowPos.
  virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                            int height, unsigned flags) = 0;
  // Makes a window the active window (SetActiveWindow).
  virtual bool ActivateWindow(WindowHandle window) = 0;
  // Brings a window to the foreground (SetForegroundWindow).
  virtual bool SetForegroundWindow(WindowHandle window) = 0;

  virtual void SetCursorPos(int x, int y) = 0;
  virtual Point CursorPos() = 0;
  virtual void MouseLeftDown() = 0;
  virtual void MouseLeftUp() = 0;
  // Moves the cursor by (dx, dy) pixels from where it stands.
  virtual void MouseMoveBy(int dx, int dy) = 0;
  virtual void KeyDown(std::uint8_t virtualKey) = 0;
  virtual void KeyUp(std::uint8_t virtualKey) = 0;

  // Starts the program file at `path` (ANSI code page) with `workingFolder` as its
  // current directory, shown in its current size and place. True when started.
  virtual bool StartProgram(std::string_view path, std::string_view workingFolder) = 0;
};

}  // namespace platform
