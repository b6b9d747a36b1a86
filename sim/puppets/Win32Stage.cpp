#include "sim/puppets/Win32Stage.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/Win32Text.h"

namespace refpuppet {

using platform::Rect;

namespace {

constexpr const wchar_t* WindowClass = L"ReferencePuppetWindow";
constexpr UINT FlushMessage = WM_APP + 1;

HWND AsHwnd(StageWindow window) { return reinterpret_cast<HWND>(window); }
StageWindow AsStage(HWND hwnd) { return reinterpret_cast<StageWindow>(hwnd); }

}  // namespace

// A window and the bitmap of its outer rectangle that the program paints.
struct Win32Stage::Surface {
  HWND Hwnd = nullptr;
  StageInput* Input = nullptr;
  WindowLook Look = WindowLook::Main;
  std::uint64_t Opened = 0;  // the order in which the program opened its windows
  HDC Memory = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Previous = nullptr;
  std::uint32_t* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  RECT Known{};  // the outer rectangle last told to the program
  RECT Dirty{};  // window coordinates painted since the last repaint
  bool HasDirty = false;

  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface() { Release(); }
  void Release() {
    if (Memory) {
      SelectObject(Memory, Previous);
      DeleteDC(Memory);
    }
    if (Bitmap) DeleteObject(Bitmap);
    Memory = nullptr;
    Bitmap = nullptr;
    Bits = nullptr;
    Width = Height = 0;
  }
};

Win32Stage::Win32Stage(HINSTANCE instance) : Instance_(instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Stage::Procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.lpszClassName = WindowClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    platform::win32::ReportLastError("RegisterClassExW");
  Timers_ =
      CreateWindowExW(0, WindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  if (!Timers_) platform::win32::ReportLastError("CreateWindowExW");
}

Win32Stage::~Win32Stage() {
  for (const auto& [id, fn] : Pending_) KillTimer(Timers_, id);
  Pending_.clear();
  while (!Windows_.empty()) Close(AsStage(Windows_.begin()->first));
  if (Timers_) DestroyWindow(Timers_);
}

int Win32Stage::Run() {
  MSG message;
  int got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

int Win32Stage::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int Win32Stage::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

StageWindow Win32Stage::Open(std::string_view title, const Rect& outer, WindowLook look,
                             StageWindow owner, StageInput* input) {
  const bool main = look == WindowLook::Main;
  // A menu or drop-down list never becomes the active window, as the system's
  // menus and a combo box's list do not: picking an entry leaves the dialog under
  // it active (see also WM_MOUSEACTIVATE).
  const DWORD extended = main                       ? 0
                         : look == WindowLook::Menu ? WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE
                                                    : WS_EX_TOOLWINDOW;
  std::wstring text = platform::win32::Widen(title);
  HWND hwnd = CreateWindowExW(extended, WindowClass, text.c_str(),
                              main ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_POPUP, outer.Left,
                              outer.Top, outer.Width(), outer.Height(),
                              main ? nullptr : AsHwnd(owner), nullptr, Instance_, this);
  if (!hwnd) {
    platform::win32::ReportLastError("CreateWindowExW");
    return 0;
  }
  auto surface = std::make_unique<Surface>();
  surface->Hwnd = hwnd;
  surface->Input = input;
  surface->Look = look;
  surface->Opened = NextOpened_++;
  GetWindowRect(hwnd, &surface->Known);
  Reallocate(*surface, surface->Known.right - surface->Known.left,
             surface->Known.bottom - surface->Known.top);
  Windows_[hwnd] = std::move(surface);
  // On top of the others, as a new window comes up; a popup leaves the keyboard
  // where it is.
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | (main ? 0 : SWP_NOACTIVATE));
  return AsStage(hwnd);
}

void Win32Stage::Close(StageWindow window) {
  HWND hwnd = AsHwnd(window);
  auto it = Windows_.find(hwnd);
  if (it == Windows_.end()) return;
  if (GetCapture() == hwnd) ReleaseCapture();
  DestroyWindow(hwnd);
  Windows_.erase(hwnd);
}

Rect Win32Stage::Outer(StageWindow window) {
  RECT r{};
  if (!GetWindowRect(AsHwnd(window), &r)) return Rect{};
  return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32Stage::Move(StageWindow window, const Rect& outer) {
  OwnMove_ = true;
  SetWindowPos(AsHwnd(window), nullptr, outer.Left, outer.Top, outer.Width(), outer.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  OwnMove_ = false;
}

void Win32Stage::Raise(StageWindow window) {
  SetWindowPos(AsHwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Stage::Minimize(StageWindow window) { ShowWindow(AsHwnd(window), SW_MINIMIZE); }

void Win32Stage::Fill(StageWindow window, const Rect& local, platform::ColorRef colour) {
  Surface* s = Find(AsHwnd(window));
  if (!s || !s->Bits) return;
  const int x0 = std::max(0, local.Left), y0 = std::max(0, local.Top);
  const int x1 = std::min(s->Width, local.Right), y1 = std::min(s->Height, local.Bottom);
  if (x0 >= x1 || y0 >= y1) return;
  const std::uint32_t pixel = platform::SwapRedAndBlue(colour);
  for (int y = y0; y < y1; ++y)
    std::fill_n(s->Bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(s->Width) +
                    static_cast<std::size_t>(x0),
                static_cast<std::size_t>(x1 - x0), pixel);
  const RECT painted{x0, y0, x1, y1};
  if (s->HasDirty)
    UnionRect(&s->Dirty, &s->Dirty, &painted);
  else
    s->Dirty = painted;
  s->HasDirty = true;
  // Many small fills make one repaint, once the program has done what it is doing.
  if (!FlushPosted_ && Timers_) FlushPosted_ = PostMessageW(Timers_, FlushMessage, 0, 0) != 0;
}

Stage::TimerId Win32Stage::After(std::uint32_t ms, std::function<void()> fn) {
  UINT_PTR id = NextTimer_++;
  Pending_[id] = std::move(fn);
  if (!SetTimer(Timers_, id, std::max<std::uint32_t>(ms, 1), nullptr))
    platform::win32::ReportLastError("SetTimer");
  return id;
}

void Win32Stage::Cancel(TimerId timer) {
  auto id = static_cast<UINT_PTR>(timer);
  if (Pending_.erase(id) > 0) KillTimer(Timers_, id);
}

Win32Stage::Surface* Win32Stage::Find(HWND hwnd) {
  auto it = Windows_.find(hwnd);
  return it == Windows_.end() ? nullptr : it->second.get();
}

void Win32Stage::Reallocate(Surface& s, int width, int height) {
  s.Release();
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info = TopDownBitmapInfo(width, height);
  void* bits = nullptr;
  s.Bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!s.Bitmap || !bits) {
    platform::win32::ReportLastError("CreateDIBSection");
    s.Release();
    return;
  }
  s.Memory = CreateCompatibleDC(nullptr);
  s.Previous = SelectObject(s.Memory, s.Bitmap);
  s.Bits = static_cast<std::uint32_t*>(bits);
  s.Width = width;
  s.Height = height;
  // A new window's pixels are white until the program paints them.
  std::fill_n(s.Bits, static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
              0x00FFFFFFu);
}

void Win32Stage::Flush() {
  FlushPosted_ = false;
  for (auto& [hwnd, s] : Windows_) {
    if (!s->HasDirty) continue;
    s->HasDirty = false;
    POINT offset = ClientOffset(hwnd);
    RECT r = s->Dirty;
    OffsetRect(&r, -offset.x, -offset.y);
    InvalidateRect(hwnd, &r, FALSE);
    UpdateWindow(hwnd);
  }
}

bool Win32Stage::OwnedBelow(HWND main) {
  for (HWND h = GetWindow(main, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
    if (Find(h) && GetAncestor(h, GA_ROOTOWNER) == main) return true;
  return false;
}

void Win32Stage::KeepOwnedAbove(HWND main) {
  std::vector<const Surface*> owned;
  for (const auto& [hwnd, s] : Windows_)
    if (hwnd != main && GetAncestor(hwnd, GA_ROOTOWNER) == main) owned.push_back(s.get());
  // The newest first, each put right above the main window: the older ones end
  // up under the newer ones, as they were opened, and every window above its owner.
  std::sort(owned.begin(), owned.end(),
            [](const Surface* a, const Surface* b) { return a->Opened > b->Opened; });
  for (const Surface* s : owned) {
    HWND above = GetWindow(main, GW_HWNDPREV);
    if (above == s->Hwnd) continue;
    SetWindowPos(s->Hwnd, above ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Win32Stage::WatchActivated(HWND main, int looks) {
  After(RestackLookMs, [this, main, looks] {
    if (!Find(main)) return;
    if (OwnedBelow(main))
      KeepOwnedAbove(main);
    else if (looks > 1)
      WatchActivated(main, looks - 1);
  });
}

POINT Win32Stage::ClientOffset(HWND hwnd) {
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  return POINT{origin.x - outer.left, origin.y - outer.top};
}

LRESULT CALLBACK Win32Stage::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* stage = reinterpret_cast<Win32Stage*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!stage) return DefWindowProcW(hwnd, message, wParam, lParam);
  return stage->Handle(hwnd, message, wParam, lParam);
}

LRESULT Win32Stage::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == Timers_) {
    if (message == FlushMessage) {
      Flush();
      return 0;
    }
    if (message == WM_TIMER) {
      KillTimer(Timers_, wParam);
      auto it = Pending_.find(wParam);
      if (it == Pending_.end()) return 0;
      std::function<void()> fn = std::move(it->second);
      Pending_.erase(it);
      fn();
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  // Messages of the window's making arrive before the window is known here.
  Surface* s = Find(hwnd);
  if (!s) return DefWindowProcW(hwnd, message, wParam, lParam);
  const StageWindow window = AsStage(hwnd);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the bitmap covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (s->Memory) {
        POINT offset = ClientOffset(hwnd);
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, s->Memory, r.left + offset.x,
               r.top + offset.y, SRCCOPY);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCHITTEST: {
      // The title bar is the program's too, except for its close box.
      LRESULT hit = DefWindowProcW(hwnd, message, wParam, lParam);
      return hit == HTCLOSE ? hit : HTCLIENT;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
      POINT offset = ClientOffset(hwnd);
      const int x = GET_X_LPARAM(lParam) + offset.x, y = GET_Y_LPARAM(lParam) + offset.y;
      // The window that took the button down takes its release, wherever it is.
      if (message == WM_LBUTTONDOWN) {
        SetCapture(hwnd);
        s->Input->OnMouseDown(window, x, y);
      } else {
        if (GetCapture() == hwnd) ReleaseCapture();
        s->Input->OnMouseUp(window, x, y);
      }
      return 0;  // the window may be gone now
    }
    case WM_MOUSEACTIVATE:
      if (s->Look == WindowLook::Menu) return MA_NOACTIVATE;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_ACTIVATE:
      // On Windows a window's boxes and dialogs stay above it when it is
      // activated. Wine's X11 driver raises an activated window later, and above
      // what it owns, without a message to the window: its own windows are put
      // back above it once it has come up.
      if (s->Look == WindowLook::Main && LOWORD(wParam) != WA_INACTIVE)
        WatchActivated(hwnd, RestackLooks);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_KEYDOWN:
      s->Input->OnKeyDown(window, static_cast<std::uint8_t>(wParam));
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      const bool placing = (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE);
      if (placing && !OwnMove_) {
        // What the move would leave: the flags keep the present place or size.
        RECT now{};
        GetWindowRect(hwnd, &now);
        platform::Rect requested{now.left, now.top, now.right, now.bottom};
        if (!(pos->flags & SWP_NOMOVE)) {
          requested = platform::Rect{pos->x, pos->y, pos->x + requested.Width(),
                                     pos->y + requested.Height()};
        }
        if (!(pos->flags & SWP_NOSIZE)) {
          requested.Right = requested.Left + pos->cx;
          requested.Bottom = requested.Top + pos->cy;
        }
        if (!s->Input->OnPlacing(window, requested)) {
          pos->flags |= SWP_NOMOVE | SWP_NOSIZE;
        } else {
          if (!(pos->flags & SWP_NOSIZE) || requested.Width() != now.right - now.left ||
              requested.Height() != now.bottom - now.top) {
            pos->flags &= ~static_cast<UINT>(SWP_NOSIZE);
            pos->cx = requested.Width();
            pos->cy = requested.Height();
          }
          if (!(pos->flags & SWP_NOMOVE)) {
            pos->x = requested.Left;
            pos->y = requested.Top;
          }
        }
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_WINDOWPOSCHANGED: {
      RECT r{};
      GetWindowRect(hwnd, &r);
      if (!EqualRect(&r, &s->Known) && !IsIconic(hwnd)) {
        s->Known = r;
        if (r.right - r.left != s->Width || r.bottom - r.top != s->Height)
          Reallocate(*s, r.right - r.left, r.bottom - r.top);
        s->Input->OnPlaced(window);
        return 0;  // the window may be gone now
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_CLOSE:
      // The program ends with its main window; it takes its windows down itself.
      if (s->Look == WindowLook::Main) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace refpuppet
