#pragma once
// The simulated desktop: a screen of W x H pixels, top-level windows with exact
// titles, outer rectangles and a stacking order, a cursor, and mouse and key input
// routed to the windows. A pixel read returns the pixel of the topmost window at
// that point, so a layout that covers a puppet's board is caught as on Windows.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/headless/SimClock.h"

namespace platform::headless {

class SimDesktop;
class SimWindow;

// What a simulated program does with its window. Coordinates are relative to the
// window's outer top-left corner.
class SimWindowOwner {
 public:
  virtual ~SimWindowOwner() = default;
  virtual void OnMouseDown(SimWindow&, int /*x*/, int /*y*/) {}
  virtual void OnMouseUp(SimWindow&, int /*x*/, int /*y*/) {}
  virtual void OnMouseMove(SimWindow&, int /*x*/, int /*y*/) {}
  virtual void OnKeyDown(SimWindow&, std::uint8_t /*virtualKey*/) {}
  virtual void OnKeyUp(SimWindow&, std::uint8_t /*virtualKey*/) {}
  // Asked before a move or resize; the owner may change `requested` (a program
  // with a fixed size) or refuse by returning false.
  virtual bool OnPlacing(SimWindow&, Rect& /*requested*/) { return true; }
  // Called after the outer rectangle changed; the pixel store already has the new size.
  virtual void OnPlaced(SimWindow&) {}
};

class SimWindow {
 public:
  WindowHandle Handle() const { return Handle_; }
  const std::string& Title() const { return Title_; }
  void SetTitle(std::string title) { Title_ = std::move(title); }
  const Rect& Outer() const { return Outer_; }
  bool Visible() const { return Visible_; }
  // A minimised window stands at left 3000, where Windows keeps it, and shows nothing.
  bool Minimized() const { return Minimized_; }

  // The window's own pixels, row-major over its outer rectangle.
  ColorRef PixelAt(int x, int y) const;
  void SetPixel(int x, int y, ColorRef c);
  void FillRect(const Rect& local, ColorRef c);

 private:
  friend class SimDesktop;
  WindowHandle Handle_ = 0;
  std::string Title_;
  Rect Outer_;
  bool Visible_ = true;
  bool Minimized_ = false;
  SimWindowOwner* Owner_ = nullptr;
  WindowHandle OwnerWindow_ = 0;
  std::vector<ColorRef> Pixels_;
  void Resize();
};

// A program that the desktop can start: called with the path and working folder.
using ProgramFactory =
    std::function<void(SimDesktop&, const std::string& path, const std::string& workingFolder)>;

struct InputEvent {
  enum Kind { CursorTo, LeftDown, LeftUp, MoveBy, KeyDown, KeyUp } What;
  int X = 0;  // cursor position after the event, or the key
  int Y = 0;
  std::uint32_t Tick = 0;
};

class SimDesktop final : public Desktop {
 public:
  SimDesktop(SimClock& clock, int width = 1024, int height = 768);
  ~SimDesktop() override;

  SimClock& Clock() { return Clock_; }
  void SetScreenSize(int width, int height);
  ColorRef Background = Rgb(0, 128, 128);
  int ScalePercent = 100;

  // Windows. The new window stands on top of the stacking order. A window owned
  // by another (`ownerWindow`, a program's dialog) stays above it, as on Windows:
  // raising the owner raises what it owns above it.
  SimWindow& CreateWindow(std::string title, const Rect& outer, SimWindowOwner* owner,
                          bool visible = true, WindowHandle ownerWindow = 0);
  void DestroyWindow(WindowHandle window);
  SimWindow* Window(WindowHandle window);
  void ShowWindow(WindowHandle window, bool visible);
  void Minimize(WindowHandle window);
  // Moves a window as its own program would (no OnPlacing question).
  void MoveWindow(WindowHandle window, const Rect& outer);
  void BringToTop(WindowHandle window);
  WindowHandle ActiveWindow() const { return Active_; }
  WindowHandle WindowAt(int x, int y) const;
  // Top-level windows, topmost first.
  std::vector<WindowHandle> StackingOrder() const { return Stack_; }

  // Programs.
  void RegisterProgram(std::string fileName, ProgramFactory factory);
  struct Started {
    std::string Path;
    std::string WorkingFolder;
  };
  const std::vector<Started>& StartedPrograms() const { return Started_; }

  // Input record, for tests that check what was clicked and typed.
  const std::vector<InputEvent>& InputLog() const { return InputLog_; }
  void ClearInputLog() { InputLog_.clear(); }
  // The points at which the left button went down, in order.
  std::vector<Point> Clicks() const;

  // Writes the whole screen as a PNG file.
  bool SaveScreenPng(const std::string& path);

  // Desktop
  int ScreenWidth() override { return Width_; }
  int ScreenHeight() override { return Height_; }
  int DisplayScalePercent() override { return ScalePercent; }
  ColorRef Pixel(int x, int y) override;
  void Snapshot(const Rect& area, ScreenSnapshot& out) override;
  WindowHandle FindWindowByTitle(std::string_view title) override;
  bool GetWindowRect(WindowHandle window, Rect& out) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                    int height, unsigned flags) override;
  bool ActivateWindow(WindowHandle window) override;
  bool SetForegroundWindow(WindowHandle window) override;
  void SetCursorPos(int x, int y) override;
  Point CursorPos() override { return Cursor_; }
  void MouseLeftDown() override;
  void MouseLeftUp() override;
  void MouseMoveBy(int dx, int dy) override;
  void KeyDown(std::uint8_t virtualKey) override;
  void KeyUp(std::uint8_t virtualKey) override;
  bool StartProgram(std::string_view path, std::string_view workingFolder) override;

 private:
  SimClock& Clock_;
  int Width_;
  int Height_;
  Point Cursor_;
  WindowHandle Active_ = 0;
  WindowHandle Captured_ = 0;  // window that took the button down, gets the up
  WindowHandle NextHandle_ = 0x100;
  std::vector<std::unique_ptr<SimWindow>> Windows_;
  std::vector<WindowHandle> Stack_;
  std::vector<std::pair<std::string, ProgramFactory>> Programs_;
  std::vector<Started> Started_;
  std::vector<InputEvent> InputLog_;

  void Log(InputEvent::Kind kind, int x, int y);
  void RemoveFromStack(WindowHandle window);
};

}  // namespace platform::headless
