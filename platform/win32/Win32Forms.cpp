// The window of a form and its drawing surface.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win32/Win32Peers.h"
#include "platform/win32/Win32Text.h"

namespace platform::win32 {

// ---- Pictures ----

void DrawPicture(HDC dc, const Rect& dest, const ui::Picture& picture, const Rect& source) {
  int dw = dest.Width(), dh = dest.Height(), sw = source.Width(), sh = source.Height();
  if (!dc || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  // Only the part of the source inside the picture is copied, to the matching part
  // of the destination.
  Rect clip{std::max(source.Left, 0), std::max(source.Top, 0),
            std::min(source.Right, picture.Width()), std::min(source.Bottom, picture.Height())};
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  auto scaleX = [&](int sx) {
    return dest.Left + static_cast<int>(static_cast<long long>(sx - source.Left) * dw / sw);
  };
  auto scaleY = [&](int sy) {
    return dest.Top + static_cast<int>(static_cast<long long>(sy - source.Top) * dh / sh);
  };
  Rect to{scaleX(clip.Left), scaleY(clip.Top), scaleX(clip.Right), scaleY(clip.Bottom)};
  if (to.Width() <= 0 || to.Height() <= 0) return;

  // A top-down 32-bit bitmap of exactly the source part: 0x00RRGGBB per pixel.
  std::vector<std::uint32_t> bits(static_cast<std::size_t>(clip.Width()) *
                                  static_cast<std::size_t>(clip.Height()));
  std::size_t at = 0;
  for (int y = clip.Top; y < clip.Bottom; ++y)
    for (int x = clip.Left; x < clip.Right; ++x) {
      bits[at++] = SwapRedAndBlue(picture.At(x, y));
    }
  BITMAPINFO info = TopDownBitmapInfo(clip.Width(), clip.Height());
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  if (StretchDIBits(dc, to.Left, to.Top, to.Width(), to.Height(), 0, 0, clip.Width(), clip.Height(),
                    bits.data(), &info, DIB_RGB_COLORS, SRCCOPY) == 0)
    ReportLastError("StretchDIBits");
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

void Win32Canvas::CopyRect(const Rect& dest, const ui::Picture& picture, const Rect& source) {
  if (PaintDc_) {
    DrawPicture(PaintDc_, dest, picture, source);
    return;
  }
  HWND hwnd = Form_.Handle();
  if (!hwnd) return;
  HDC dc = GetDC(hwnd);
  if (!dc) {
    ReportLastError("GetDC");
    return;
  }
  DrawPicture(dc, dest, picture, source);
  ReleaseDC(hwnd, dc);
}

// ---- Form ----

FormPeer::FormPeer(Win32Application& app, ui::Form& form, HWND owner)
    : App_(app), Form_(form), Canvas_(*this), Border_(form.Border()), Color_(form.Color()) {
  HWND hwnd =
      CreateWindowExW(Win32Application::ExStyleOf(Border_), FormClass, L"",
                      Win32Application::StyleOf(Border_), form.Left(), form.Top(), form.Width(),
                      form.Height(), owner, nullptr, app.Instance(), static_cast<Window*>(this));
  if (!hwnd) {
    ReportLastError("CreateWindowExW");
    throw ui::FrameworkError("Cannot create the window of " + form.Name() + ".");
  }
}

FormPeer::~FormPeer() {
  Dying_ = true;
  App_.FormGone(*this);
  DestroyHandle();
}

void FormPeer::Changed() {
  if (!Hwnd_) return;
  if (Form_.Border() != Border_) ApplyBorder();
  std::wstring caption = Widen(Form_.Caption());
  if (caption != Caption_) {
    Caption_ = caption;
    SetWindowTextW(Hwnd_, Caption_.c_str());
  }
  RECT r{};
  GetWindowRect(Hwnd_, &r);
  if (!Syncing_ && !IsIconic(Hwnd_) &&
      (r.left != Form_.Left() || r.top != Form_.Top() || r.right - r.left != Form_.Width() ||
       r.bottom - r.top != Form_.Height())) {
    Syncing_ = true;
    if (!SetWindowPos(Hwnd_, nullptr, Form_.Left(), Form_.Top(), Form_.Width(), Form_.Height(),
                      SWP_NOZORDER | SWP_NOACTIVATE))
      ReportLastError("SetWindowPos");
    Syncing_ = false;
  }
  if (Form_.Color() != Color_) {
    Color_ = Form_.Color();
    // Labels and radio buttons show the form's colour too.
    RedrawWindow(Hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  bool shown = IsWindowVisible(Hwnd_) != 0;
  if (Form_.Visible() && !shown) {
    ApplyZOrder();
    ShowWindow(Hwnd_, SW_SHOW);
    UpdateWindow(Hwnd_);
  } else if (!Form_.Visible() && shown) {
    ShowWindow(Hwnd_, SW_HIDE);
  }
}

void FormPeer::Invalidate() {
  if (Hwnd_) InvalidateRect(Hwnd_, nullptr, TRUE);
}

void FormPeer::Activate() {
  // SetActiveWindow only works for a window of the calling thread's queue, which
  // ours is; the foreground call lets it take the keyboard from another program.
  if (!Hwnd_) return;
  SetForegroundWindow(Hwnd_);
  SetActiveWindow(Hwnd_);
}

void FormPeer::ApplyBorder() {
  Border_ = Form_.Border();
  const DWORD frameBits = WS_OVERLAPPEDWINDOW | WS_POPUP | WS_DLGFRAME | WS_BORDER;
  auto style = static_cast<DWORD>(GetWindowLongPtrW(Hwnd_, GWL_STYLE));
  style = (style & ~frameBits) | Win32Application::StyleOf(Border_);
  SetWindowLongPtrW(Hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowLongPtrW(Hwnd_, GWL_EXSTYLE,
                    static_cast<LONG_PTR>(Win32Application::ExStyleOf(Border_)));
  SetWindowPos(Hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FormPeer::ApplyZOrder() {
  // Controls with windows of their own stand above labels and pictures, which are
  // drawn on their parent's surface; among themselves they follow the tab order
  // (the order of the keyboard's Tab key), then the order of declaration.
  std::vector<ControlPeer*> peers;
  for (ui::Control* c : Form_.Controls())
    if (auto* p = static_cast<ControlPeer*>(c->GetPeer()); p && p->Handle()) peers.push_back(p);
  std::stable_sort(peers.begin(), peers.end(), [](ControlPeer* a, ControlPeer* b) {
    auto rank = [](ControlPeer* p) {
      if (p->IsGraphic()) return 2;
      return p->Control().TabOrder >= 0 ? 0 : 1;
    };
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    return rank(a) == 0 && a->Control().TabOrder < b->Control().TabOrder;
  });
  std::vector<std::pair<HWND, HWND>> last;  // container, lowest window placed so far
  for (ControlPeer* p : peers) {
    HWND container = p->ContainerHandle();
    auto it = std::find_if(last.begin(), last.end(),
                           [&](const auto& entry) { return entry.first == container; });
    HWND after = it == last.end() ? HWND_TOP : it->second;
    SetWindowPos(p->Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (it == last.end())
      last.emplace_back(container, p->Handle());
    else
      it->second = p->Handle();
    const ui::Control& c = p->Control();
    bool tabStop = c.TabStop && !p->IsGraphic() && c.Kind() != ui::ControlKind::Panel &&
                   c.Kind() != ui::ControlKind::SpeedButton;
    auto style = static_cast<DWORD>(GetWindowLongPtrW(p->Handle(), GWL_STYLE));
    DWORD wanted = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<DWORD>(WS_TABSTOP));
    if (wanted != style) SetWindowLongPtrW(p->Handle(), GWL_STYLE, static_cast<LONG_PTR>(wanted));
  }
}

LRESULT FormPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (Dying_) return DefWindowProcW(Hwnd_, message, wParam, lParam);
  LRESULT routed = 0;
  if (RouteChildMessage(message, wParam, lParam, routed)) return routed;
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_CLOSE:
      App_.CloseForm(Form_);
      return 0;
    case WM_TIMER:
      App_.DeliverTimer(wParam);
      return 0;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged();
      break;  // on to DefWindowProcW, which sends WM_SIZE and WM_MOVE
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam));
      if (LOWORD(wParam) != WA_INACTIVE && SavedFocus_) return 0;
      break;
    case WM_SYSCOMMAND:
      // A system command may also be sent straight to the window, past the queue.
      if (App_.Hooked(ui::Message{message, wParam, lParam})) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcW(Hwnd_, message, wParam, lParam);
}

void FormPeer::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Hwnd_, &ps);
  // The paint context is released however the handler ends.
  struct EndPaintGuard {
    FormPeer& Self;
    PAINTSTRUCT& Ps;
    ~EndPaintGuard() {
      Self.Canvas_.SetPaintDc(nullptr);
      EndPaint(Self.Hwnd_, &Ps);
    }
  } guard{*this, ps};
  Canvas_.SetPaintDc(dc);
  if (Form_.OnPaint) Form_.OnPaint();
}

bool FormPeer::OnEraseBackground(HDC dc) {
  RECT r;
  GetClientRect(Hwnd_, &r);
  FillRect(dc, &r, App_.BrushFor(Form_.Color()));
  return true;
}

void FormPeer::OnWindowPosChanged() {
  // The user moved or sized the window: the form takes the new bounds, and its
  // resize handler runs.
  if (Syncing_ || IsIconic(Hwnd_)) return;
  RECT r{};
  GetWindowRect(Hwnd_, &r);
  if (r.left == Form_.Left() && r.top == Form_.Top() && r.right - r.left == Form_.Width() &&
      r.bottom - r.top == Form_.Height())
    return;
  Syncing_ = true;
  struct Reset {
    bool& Flag;
    ~Reset() { Flag = false; }
  } reset{Syncing_};
  Form_.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void FormPeer::OnActivate(WORD state) {
  // The keyboard focus returns to the control that had it when the form was left.
  if (state == WA_INACTIVE) {
    HWND focus = GetFocus();
    SavedFocus_ = (focus && IsChild(Hwnd_, focus)) ? focus : nullptr;
  } else if (SavedFocus_) {
    if (IsWindow(SavedFocus_) && IsChild(Hwnd_, SavedFocus_))
      SetFocus(SavedFocus_);
    else
      SavedFocus_ = nullptr;
  }
}

}  // namespace platform::win32
