#pragma once
// The real desktop: screen reads, other programs' windows and synthetic input
// through the Windows API.
#include "platform/Desktop.h"

namespace platform::win32 {

class Win32Desktop final : public Desktop {
 public:
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
};

}  // namespace platform::win32
