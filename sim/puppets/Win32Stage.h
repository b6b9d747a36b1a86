#pragma once
// The reference puppets' stage on Windows: every window of the program is a real
// top-level window whose pixels live in a bitmap of its outer size. A main window
// has the system's frame; the program paints its whole outer rectangle and the
// client area shows the part the frame leaves free, so a point the program draws
// at (x, y) from its window's corner appears on the screen at that window's
// corner plus (x, y), whatever the system's frame sizes. Clicks anywhere in a main
// window, its title bar included, reach the program in the same coordinates.
#include <cstdint>
#include <map>
#include <memory>

#include "platform/win32/Win32Api.h"
#include "sim/puppets/PuppetStage.h"

namespace refpuppet {

class Win32Stage final : public Stage {
 public:
  explicit Win32Stage(HINSTANCE instance);
  ~Win32Stage() override;
  Win32Stage(const Win32Stage&) = delete;
  Win32Stage& operator=(const Win32Stage&) = delete;

  // Runs the message loop until a main window is closed; the exit code.
  int Run();

  int ScreenWidth() override;
  int ScreenHeight() override;
  StageWindow Open(std::string_view title, const platform::Rect& outer, WindowLook look,
                   StageWindow owner, StageInput* input) override;
  void Close(StageWindow window) override;
  platform::Rect Outer(StageWindow window) override;
  void Move(StageWindow window, const platform::Rect& outer) override;
  void Raise(StageWindow window) override;
  void Minimize(StageWindow window) override;
  void Fill(StageWindow window, const platform::Rect& local, platform::ColorRef colour) override;
  TimerId After(std::uint32_t ms, std::function<void()> fn) override;
  void Cancel(TimerId timer) override;

 private:
  struct Surface;
  HINSTANCE Instance_;
  HWND Timers_ = nullptr;  // a message-only window that owns the timers
  std::map<HWND, std::unique_ptr<Surface>> Windows_;
  std::map<UINT_PTR, std::function<void()>> Pending_;
  UINT_PTR NextTimer_ = 1;
  bool OwnMove_ = false;      // the program itself is moving a window
  bool FlushPosted_ = false;  // a repaint of what was filled is on its way
  std::uint64_t NextOpened_ = 0;
  // After a main window is activated, how often and how far apart it is looked at
  // for windows of its own that stand below it.
  static constexpr int RestackLooks = 50;
  static constexpr std::uint32_t RestackLookMs = 20;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  Surface* Find(HWND hwnd);
  void Reallocate(Surface& s, int width, int height);
  void Flush();
  // A window the main window owns, directly or through another one, stands below it.
  bool OwnedBelow(HWND main);
  // Puts the windows the main window owns back above it, in the order they were
  // opened.
  void KeepOwnedAbove(HWND main);
  // Looks `looks` times, RestackLookMs apart, until windows the activated main
  // window owns stand below it, and puts them back above it.
  void WatchActivated(HWND main, int looks);
  static POINT ClientOffset(HWND hwnd);
};

}  // namespace refpuppet
