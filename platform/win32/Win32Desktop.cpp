#include "platform/win32/Win32Desktop.h"

#include "platform/win32/Win32Api.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win32/Win32Text.h"

namespace platform::win32 {
namespace {

HWND AsHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// The screen's device context for the length of one read.
class ScreenDc {
 public:
  ScreenDc() : Dc_(GetDC(nullptr)) {
    if (!Dc_) ReportLastError("GetDC");
  }
  ~ScreenDc() {
    if (Dc_) ReleaseDC(nullptr, Dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return Dc_; }

 private:
  HDC Dc_;
};

}  // namespace

int Win32Desktop::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int Win32Desktop::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

int Win32Desktop::DisplayScalePercent() {
  // The program is DPI-aware (its manifest says so), so the system tells it the
  // real resolution: the primary monitor's own where the system has one per
  // monitor, else the one of the whole screen. 96 pixels per inch is 100 %.
  UINT dpi = 0;
  if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    auto dpiFor = reinterpret_cast<DpiForMonitor>(
        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
    UINT x = 0, y = 0;
    if (dpiFor &&
        dpiFor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), 0, &x, &y) == S_OK)
      dpi = x;
    FreeLibrary(shcore);
  }
  if (dpi == 0) {
    ScreenDc screen;
    if (screen.Get()) dpi = static_cast<UINT>(GetDeviceCaps(screen.Get(), LOGPIXELSX));
  }
  return dpi == 0 ? 100 : static_cast<int>((dpi * 100 + 48) / 96);
}

ColorRef Win32Desktop::Pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= ScreenWidth() || y >= ScreenHeight()) return InvalidColor;
  ScreenDc screen;
  if (!screen.Get()) return InvalidColor;
  COLORREF c = GetPixel(screen.Get(), x, y);
  return c == CLR_INVALID ? InvalidColor : static_cast<ColorRef>(c);
}

struct Win32Desktop::Canvas {
  HDC Memory = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  const std::uint32_t* Bits = nullptr;  // 0x00RRGGBB, rows top-down
  int Width = 0;
  int Height = 0;

  ~Canvas() { Free(); }
  void Free() {
    if (Memory) {
      SelectObject(Memory, Old);
      DeleteDC(Memory);
    }
    if (Bitmap) DeleteObject(Bitmap);
    Memory = nullptr;
    Bitmap = nullptr;
    Old = nullptr;
    Bits = nullptr;
    Width = Height = 0;
  }
  // A bitmap of the given size selected into a memory context; false when none
  // could be made.
  bool Fit(HDC screen, int width, int height) {
    if (Memory && width == Width && height == Height) return true;
    Free();
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    Bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Bitmap || !bits) {
      ReportLastError("CreateDIBSection");
      Free();
      return false;
    }
    Memory = CreateCompatibleDC(screen);
    if (!Memory) {
      ReportLastError("CreateCompatibleDC");
      Free();
      return false;
    }
    Old = SelectObject(Memory, Bitmap);
    Bits = static_cast<const std::uint32_t*>(bits);
    Width = width;
    Height = height;
    return true;
  }
};

Win32Desktop::Win32Desktop() : Canvas_(std::make_unique<Canvas>()) {}

Win32Desktop::~Win32Desktop() = default;

void Win32Desktop::Snapshot(const Rect& area, ScreenSnapshot& out) {
  out.SpotColours.assign(out.Spots.size(), InvalidColor);
  ScreenDc screen;
  if (!screen.Get()) {
    out.Prepare(area);
    return;
  }
  const int width = ScreenWidth(), height = ScreenHeight();
  Rect clip{std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, width),
            std::min(area.Bottom, height)};

  // One copy of the whole rectangle into a 32-bit top-down bitmap in memory.
  bool copied = false;
  if (clip.Width() > 0 && clip.Height() > 0 &&
      Canvas_->Fit(screen.Get(), clip.Width(), clip.Height())) {
    copied = BitBlt(Canvas_->Memory, 0, 0, clip.Width(), clip.Height(), screen.Get(), clip.Left,
                    clip.Top, SRCCOPY) != 0;
    if (!copied) ReportLastError("BitBlt");
    GdiFlush();
  }
  const std::size_t clipWidth = static_cast<std::size_t>(clip.Width());
  if (copied && clip == area) {
    // The whole area is on the screen: its pixels are taken as they are.
    std::vector<ColorRef>& pixels = out.Prepare(area, ScreenSnapshot::Order::ScreenBitmap);
    std::memcpy(pixels.data(), Canvas_->Bits, pixels.size() * sizeof(ColorRef));
  } else {
    // Partly off the screen (or not read): what is missing stays InvalidColor.
    std::vector<ColorRef>& pixels = out.Prepare(area);
    const std::size_t areaWidth = static_cast<std::size_t>(area.Width());
    for (int y = 0; copied && y < clip.Height(); ++y) {
      const std::uint32_t* row = Canvas_->Bits + static_cast<std::size_t>(y) * clipWidth;
      ColorRef* to = pixels.data() + static_cast<std::size_t>(clip.Top - area.Top + y) * areaWidth +
                     static_cast<std::size_t>(clip.Left - area.Left);
      for (std::size_t x = 0; x < clipWidth; ++x) to[x] = SwapRedAndBlue(row[x]);
    }
  }
  // The spots: from the copy when they lie in it, else one pixel each through
  // the same device context (each read of the screen is a trip to the display,
  // under Wine one to the X server).
  for (std::size_t i = 0; i < out.Spots.size(); ++i) {
    const Point p = out.Spots[i];
    if (p.X < 0 || p.Y < 0 || p.X >= width || p.Y >= height) continue;
    if (copied && clip.Contains(p.X, p.Y)) {
      out.SpotColours[i] =
          SwapRedAndBlue(Canvas_->Bits[static_cast<std::size_t>(p.Y - clip.Top) * clipWidth +
                                       static_cast<std::size_t>(p.X - clip.Left)]);
      continue;
    }
    const COLORREF c = GetPixel(screen.Get(), p.X, p.Y);
    if (c != CLR_INVALID) out.SpotColours[i] = static_cast<ColorRef>(c);
  }
}

WindowHandle Win32Desktop::FindWindowByTitle(std::string_view title) {
  std::wstring wide = Widen(title);
  return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, wide.c_str()));
}

bool Win32Desktop::GetWindowRect(WindowHandle window, Rect& out) {
  RECT r{};
  if (!::GetWindowRect(AsHwnd(window), &r)) return false;
  out = Rect{r.left, r.top, r.right, r.bottom};
  return true;
}

bool Win32Desktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                                int width, int height, unsigned flags) {
  // InsertTop and InsertBottom carry the values of HWND_TOP and HWND_BOTTOM.
  if (::SetWindowPos(AsHwnd(window), AsHwnd(insertAfter), x, y, width, height, flags)) return true;
  ReportLastError("SetWindowPos");
  return false;
}

bool Win32Desktop::ActivateWindow(WindowHandle window) {
  // SetActiveWindow returns the previously active window, which may be none; it
  // fails for a window of another thread's queue.
  HWND previous = SetActiveWindow(AsHwnd(window));
  return previous != nullptr || GetActiveWindow() == AsHwnd(window);
}

bool Win32Desktop::SetForegroundWindow(WindowHandle window) {
  return ::SetForegroundWindow(AsHwnd(window)) != 0;
}

void Win32Desktop::SetCursorPos(int x, int y) {
  if (!::SetCursorPos(x, y)) ReportLastError("SetCursorPos");
}

Point Win32Desktop::CursorPos() {
  POINT p{};
  if (!GetCursorPos(&p)) ReportLastError("GetCursorPos");
  return Point{p.x, p.y};
}

void Win32Desktop::MouseLeftDown() { mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0); }

void Win32Desktop::MouseLeftUp() { mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); }

void Win32Desktop::MouseMoveBy(int dx, int dy) {
  // Relative motion: the two values are signed even though the parameters are DWORD.
  mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

void Win32Desktop::KeyDown(std::uint8_t virtualKey) { keybd_event(virtualKey, 0, 0, 0); }

void Win32Desktop::KeyUp(std::uint8_t virtualKey) {
  keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
}

bool Win32Desktop::StartProgram(std::string_view path, std::string_view workingFolder) {
  std::string file(path), folder(workingFolder);
  HINSTANCE result =
      ShellExecuteA(GetActiveWindow(), nullptr, file.c_str(), "", folder.c_str(), SW_SHOW);
  // Values above 32 mean success; below, the value is the error code.
  auto code = reinterpret_cast<INT_PTR>(result);
  if (code > 32) return true;
  ReportFailure("ShellExecuteA", static_cast<DWORD>(code));
  return false;
}

}  // namespace platform::win32
