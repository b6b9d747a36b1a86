#pragma once
// What a reference puppet needs of the system it runs on, and nothing more: its
// own top-level windows, each with a pixel store of the window's outer size that
// the program paints; the clicks and keys those windows take; the screen's size;
// and one-shot timers. The simulated desktop and real Windows each provide it, so
// one program logic runs on both.
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/Geometry.h"

namespace refpuppet {

// A window of the program; 0 is none.
using StageWindow = std::uintptr_t;

// What the program does with its windows' input. Points are relative to the
// window's outer top-left corner, whatever frame the system draws.
class StageInput {
 public:
  virtual ~StageInput() = default;
  virtual void OnMouseDown(StageWindow, int /*x*/, int /*y*/) {}
  virtual void OnMouseUp(StageWindow, int /*x*/, int /*y*/) {}
  virtual void OnKeyDown(StageWindow, std::uint8_t /*virtualKey*/) {}
  // Another program is about to move or size the window to `requested` (outer
  // rectangle, screen pixels); false refuses. The program may change `requested`,
  // as a window that keeps a size of its own does.
  virtual bool OnPlacing(StageWindow, platform::Rect& /*requested*/) { return true; }
  // The window's outer rectangle has changed; its pixel store has the new size
  // and must be painted again.
  virtual void OnPlaced(StageWindow) {}
};

enum class WindowLook : std::uint8_t {
  Main,   // a program's window: the system's title bar and border stand over the
          // edges of what the program paints
  Popup,  // a box or dialog the program draws whole, above its main window; a click
          // makes it the active window, which takes the keys
  Menu,   // a menu or drop-down list, drawn whole above its main window; a click
          // leaves the active window and the keyboard where they are
};

class Stage {
 public:
  using TimerId = std::uint64_t;

  virtual ~Stage() = default;

  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;

  // Opens a window on top of the others, titled `title` (UTF-8), at the screen
  // rectangle `outer`. A popup belongs to `owner`.
  virtual StageWindow Open(std::string_view title, const platform::Rect& outer, WindowLook look,
                           StageWindow owner, StageInput* input) = 0;
  virtual void Close(StageWindow window) = 0;
  // The window's outer rectangle; an empty one when the window is gone.
  virtual platform::Rect Outer(StageWindow window) = 0;
  // Moves the window as the program itself does (OnPlacing is not asked).
  virtual void Move(StageWindow window, const platform::Rect& outer) = 0;
  virtual void Raise(StageWindow window) = 0;
  virtual void Minimize(StageWindow window) = 0;
  // Paints `local` (window coordinates) in one colour.
  virtual void Fill(StageWindow window, const platform::Rect& local, platform::ColorRef colour) = 0;

  // Runs `fn` once, `ms` from now, on the program's own thread.
  virtual TimerId After(std::uint32_t ms, std::function<void()> fn) = 0;
  virtual void Cancel(TimerId timer) = 0;
};

// One window of a stage, for painting.
class StagePainter {
 public:
  StagePainter(Stage& stage, StageWindow window) : Stage_(stage), Window_(window) {}
  void FillRect(const platform::Rect& local, platform::ColorRef colour) {
    Stage_.Fill(Window_, local, colour);
  }
  platform::Rect Outer() const { return Stage_.Outer(Window_); }

 private:
  Stage& Stage_;
  StageWindow Window_;
};

}  // namespace refpuppet
