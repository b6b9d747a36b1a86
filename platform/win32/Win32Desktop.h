#pragma once
// The real desktop: screen reads, other programs' windows and synthetic input
// through the Windows API.
#include <memory>

#include "platform/Desktop.h"

namespace platform::win32 {

class Win32Desktop final : public Desktop {
 public:
  Win32Desktop();
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  int ScreenWidth() override;
  int ScreenHeight() override;
  int DisplayScalePercent() override;
  ColorRef Pixel(int x, int y) override;
  void Snapshot(const Rect& area, ScreenSnapshot& out) override;
  WindowHandle FindWindowByTitle(std::string_view title) override;
  bool GetWindowRect(WindowHandle window, Rect& out) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                    int height, unsigned flags) override;
  bool ActivateWindow(WindowHandle window) override;
  bool SetForegroundWindow(WindowHandle window) override;
  void SetCursorPos(int x, int y) override;
  Point CursorPos() override;
  void MouseLeftDown() override;
  void MouseLeftUp() override;
  void MouseMoveBy(int dx, int dy) override;
  void KeyDown(std::uint8_t virtualKey) override;
  void KeyUp(std::uint8_t virtualKey) override;
  bool StartProgram(std::string_view path, std::string_view workingFolder) override;

 private:
  // The bitmap in memory that snapshots are copied into, kept from one snapshot
  // to the next of the same size: making a fresh one each time cost as much as
  // the copy.
  struct Canvas;
  std::unique_ptr<Canvas> Canvas_;
};

}  // namespace platform::win32
