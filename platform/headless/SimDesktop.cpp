#include "platform/headless/SimDesktop.h"

#include <algorithm>
#include <cstdio>

#include "platform/headless/Png.h"

namespace platform::headless {

// ---- SimWindow ----

void SimWindow::Resize() {
  int w = std::max(0, Outer_.Width());
  int h = std::max(0, Outer_.Height());
  Pixels_.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), Rgb(255, 255, 255));
}

ColorRef SimWindow::PixelAt(int x, int y) const {
  int w = Outer_.Width();
  if (x < 0 || y < 0 || x >= w || y >= Outer_.Height()) return InvalidColor;
  return Pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                 static_cast<std::size_t>(x)];
}

void SimWindow::SetPixel(int x, int y, ColorRef c) {
  int w = Outer_.Width();
  if (x < 0 || y < 0 || x >= w || y >= Outer_.Height()) return;
  Pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] =
      c;
}

void SimWindow::FillRect(const Rect& local, ColorRef c) {
  int x0 = std::max(0, local.Left), y0 = std::max(0, local.Top);
  int x1 = std::min(Outer_.Width(), local.Right), y1 = std::min(Outer_.Height(), local.Bottom);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      Pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(Outer_.Width()) +
              static_cast<std::size_t>(x)] = c;
}

// ---- SimDesktop ----

SimDesktop::SimDesktop(SimClock& clock, int width, int height)
    : Clock_(clock), Width_(width), Height_(height) {}

SimDesktop::~SimDesktop() = default;

void SimDesktop::SetScreenSize(int width, int height) {
  Width_ = width;
  Height_ = height;
}

SimWindow& SimDesktop::CreateWindow(std::string title, const Rect& outer, SimWindowOwner* owner,
                                    bool visible, WindowHandle ownerWindow) {
  auto w = std::make_unique<SimWindow>();
  w->Handle_ = NextHandle_;
  NextHandle_ += 4;
  w->Title_ = std::move(title);
  w->Outer_ = outer;
  w->Owner_ = owner;
  w->OwnerWindow_ = ownerWindow;
  w->Visible_ = visible;
  w->Resize();
  Stack_.insert(Stack_.begin(), w->Handle_);
  Windows_.push_back(std::move(w));
  return *Windows_.back();
}

void SimDesktop::RemoveFromStack(WindowHandle window) {
  Stack_.erase(std::remove(Stack_.begin(), Stack_.end(), window), Stack_.end());
}

void SimDesktop::DestroyWindow(WindowHandle window) {
  RemoveFromStack(window);
  if (Active_ == window) Active_ = 0;
  if (Captured_ == window) Captured_ = 0;
  Windows_.erase(std::remove_if(Windows_.begin(), Windows_.end(),
                                [&](const auto& w) { return w->Handle_ == window; }),
                 Windows_.end());
}

SimWindow* SimDesktop::Window(WindowHandle window) {
  for (auto& w : Windows_)
    if (w->Handle_ == window) return w.get();
  return nullptr;
}

void SimDesktop::ShowWindow(WindowHandle window, bool visible) {
  if (SimWindow* w = Window(window)) w->Visible_ = visible;
}

void SimDesktop::Minimize(WindowHandle window) {
  if (SimWindow* w = Window(window)) {
    w->Minimized_ = true;
    int width = w->Outer_.Width(), height = w->Outer_.Height();
    w->Outer_ = Rect{3000, 3000, 3000 + width, 3000 + height};
  }
}

void SimDesktop::MoveWindow(WindowHandle window, const Rect& outer) {
  SimWindow* w = Window(window);
  if (!w) return;
  bool resized = outer.Width() != w->Outer_.Width() || outer.Height() != w->Outer_.Height();
  w->Outer_ = outer;
  if (resized) w->Resize();
  if (w->Owner_) w->Owner_->OnPlaced(*w);
}

void SimDesktop::BringToTop(WindowHandle window) {
  if (!Window(window)) return;
  RemoveFromStack(window);
  Stack_.insert(Stack_.begin(), window);
  // The windows it owns come along above it, in their order.
  std::vector<WindowHandle> owned;
  for (WindowHandle h : Stack_) {
    const SimWindow* w = Window(h);
    if (w && w->OwnerWindow_ == window) owned.push_back(h);
  }
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) BringToTop(*it);
}

WindowHandle SimDesktop::WindowAt(int x, int y) const {
  for (WindowHandle h : Stack_) {
    for (const auto& w : Windows_) {
      if (w->Handle_ != h) continue;
      if (w->Visible_ && !w->Minimized_ && w->Outer_.Contains(x, y)) return h;
    }
  }
  return 0;
}

void SimDesktop::RegisterProgram(std::string fileName, ProgramFactory factory) {
  Programs_.emplace_back(std::move(fileName), std::move(factory));
}

std::vector<Point> SimDesktop::Clicks() const {
  std::vector<Point> out;
  for (const InputEvent& e : InputLog_)
    if (e.What == InputEvent::LeftDown) out.push_back(Point{e.X, e.Y});
  return out;
}

bool SimDesktop::SaveScreenPng(const std::string& path) {
  ScreenSnapshot shot;
  Snapshot(Rect{0, 0, Width_, Height_}, shot);
  std::vector<ColorRef> pixels(static_cast<std::size_t>(Width_) *
                               static_cast<std::size_t>(Height_));
  for (int y = 0; y < Height_; ++y)
    for (int x = 0; x < Width_; ++x)
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width_) +
             static_cast<std::size_t>(x)] = shot.At(x, y);
  return WritePng(path, Width_, Height_, pixels);
}

ColorRef SimDesktop::Pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return InvalidColor;
  WindowHandle h = WindowAt(x, y);
  if (h == 0) return Background;
  const SimWindow* w = Window(h);
  return w->PixelAt(x - w->Outer_.Left, y - w->Outer_.Top);
}

void SimDesktop::Snapshot(const Rect& area, ScreenSnapshot& out) {
  out.SpotColours.resize(out.Spots.size());
  for (std::size_t i = 0; i < out.Spots.size(); ++i)
    out.SpotColours[i] = Pixel(out.Spots[i].X, out.Spots[i].Y);
  std::vector<ColorRef>& px = out.Prepare(area);
  int w = area.Width();
  int x0 = std::max(area.Left, 0), y0 = std::max(area.Top, 0);
  int x1 = std::min(area.Right, Width_), y1 = std::min(area.Bottom, Height_);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      px[static_cast<std::size_t>(y - area.Top) * static_cast<std::size_t>(w) +
         static_cast<std::size_t>(x - area.Left)] = Background;
  // Paint the windows from the bottom of the stack up, so the topmost wins.
  for (auto it = Stack_.rbegin(); it != Stack_.rend(); ++it) {
    const SimWindow* win = Window(*it);
    if (!win || !win->Visible_ || win->Minimized_) continue;
    const Rect& o = win->Outer_;
    int wx0 = std::max(x0, o.Left), wy0 = std::max(y0, o.Top);
    int wx1 = std::min(x1, o.Right), wy1 = std::min(y1, o.Bottom);
    for (int y = wy0; y < wy1; ++y)
      for (int x = wx0; x < wx1; ++x)
        px[static_cast<std::size_t>(y - area.Top) * static_cast<std::size_t>(w) +
           static_cast<std::size_t>(x - area.Left)] = win->PixelAt(x - o.Left, y - o.Top);
  }
}

WindowHandle SimDesktop::FindWindowByTitle(std::string_view title) {
  // Like FindWindow: the topmost top-level window with exactly this title.
  for (WindowHandle h : Stack_) {
    const SimWindow* w = Window(h);
    if (w && w->Title_ == title) return h;
  }
  return 0;
}

bool SimDesktop::GetWindowRect(WindowHandle window, Rect& out) {
  SimWindow* w = Window(window);
  if (!w) return false;
  out = w->Outer_;
  return true;
}

bool SimDesktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, unsigned flags) {
  SimWindow* w = Window(window);
  if (!w) return false;
  Rect requested = w->Outer_;
  if (!w->Minimized_) {
    if (!(flags & SwpNoMove)) {
      requested.Right = x + requested.Width();
      requested.Bottom = y + requested.Height();
      requested.Left = x;
      requested.Top = y;
    }
    if (!(flags & SwpNoSize)) {
      requested.Right = requested.Left + width;
      requested.Bottom = requested.Top + height;
    }
    if (w->Owner_ && !w->Owner_->OnPlacing(*w, requested)) return false;
    bool resized =
        requested.Width() != w->Outer_.Width() || requested.Height() != w->Outer_.Height();
    w->Outer_ = requested;
    if (resized) w->Resize();
  }
  if (!(flags & SwpNoZOrder)) {
    RemoveFromStack(window);
    if (insertAfter == InsertBottom)
      Stack_.push_back(window);
    else
      BringToTop(window);
  }
  if (flags & SwpShowWindow) w->Visible_ = true;
  if (w->Owner_ && !w->Minimized_) w->Owner_->OnPlaced(*w);
  return true;
}

bool SimDesktop::ActivateWindow(WindowHandle window) {
  if (!Window(window)) return false;
  Active_ = window;
  return true;
}

bool SimDesktop::SetForegroundWindow(WindowHandle window) {
  if (!Window(window)) return false;
  Active_ = window;
  BringToTop(window);
  return true;
}

void SimDesktop::Log(InputEvent::Kind kind, int x, int y) {
  InputLog_.push_back(InputEvent{kind, x, y, Clock_.TickCount()});
}

void SimDesktop::SetCursorPos(int x, int y) {
  // Windows keeps the cursor on the screen.
  Cursor_.X = std::clamp(x, 0, Width_ - 1);
  Cursor_.Y = std::clamp(y, 0, Height_ - 1);
  Log(InputEvent::CursorTo, Cursor_.X, Cursor_.Y);
  if (Captured_) {
    if (SimWindow* w = Window(Captured_); w && w->Owner_)
      w->Owner_->OnMouseMove(*w, Cursor_.X - w->Outer_.Left, Cursor_.Y - w->Outer_.Top);
  }
}

void SimDesktop::MouseLeftDown() {
  Log(InputEvent::LeftDown, Cursor_.X, Cursor_.Y);
  WindowHandle h = WindowAt(Cursor_.X, Cursor_.Y);
  Captured_ = h;
  if (!h) return;
  // A click activates the window and brings it to the top, as on Windows.
  Active_ = h;
  BringToTop(h);
  SimWindow* w = Window(h);
  if (w->Owner_) w->Owner_->OnMouseDown(*w, Cursor_.X - w->Outer_.Left, Cursor_.Y - w->Outer_.Top);
}

void SimDesktop::MouseLeftUp() {
  Log(InputEvent::LeftUp, Cursor_.X, Cursor_.Y);
  WindowHandle h = Captured_ ? Captured_ : WindowAt(Cursor_.X, Cursor_.Y);
  Captured_ = 0;
  SimWindow* w = Window(h);
  if (w && w->Owner_)
    w->Owner_->OnMouseUp(*w, Cursor_.X - w->Outer_.Left, Cursor_.Y - w->Outer_.Top);
}

void SimDesktop::MouseMoveBy(int dx, int dy) {
  Cursor_.X = std::clamp(Cursor_.X + dx, 0, Width_ - 1);
  Cursor_.Y = std::clamp(Cursor_.Y + dy, 0, Height_ - 1);
  Log(InputEvent::MoveBy, Cursor_.X, Cursor_.Y);
  WindowHandle h = Captured_ ? Captured_ : WindowAt(Cursor_.X, Cursor_.Y);
  SimWindow* w = Window(h);
  if (w && w->Owner_)
    w->Owner_->OnMouseMove(*w, Cursor_.X - w->Outer_.Left, Cursor_.Y - w->Outer_.Top);
}

void SimDesktop::KeyDown(std::uint8_t virtualKey) {
  Log(InputEvent::KeyDown, virtualKey, 0);
  // Keys go to the active window, which a click has made active.
  SimWindow* w = Window(Active_);
  if (w && w->Owner_) w->Owner_->OnKeyDown(*w, virtualKey);
}

void SimDesktop::KeyUp(std::uint8_t virtualKey) {
  Log(InputEvent::KeyUp, virtualKey, 0);
  SimWindow* w = Window(Active_);
  if (w && w->Owner_) w->Owner_->OnKeyUp(*w, virtualKey);
}

bool SimDesktop::StartProgram(std::string_view path, std::string_view workingFolder) {
  std::string p(path);
  std::size_t cut = p.find_last_of("\\/");
  std::string file = cut == std::string::npos ? p : p.substr(cut + 1);
  for (auto& [name, factory] : Programs_) {
    if (name == file) {
      Started_.push_back(Started{p, std::string(workingFolder)});
      factory(*this, p, std::string(workingFolder));
      return true;
    }
  }
  return false;
}

}  // namespace platform::headless
