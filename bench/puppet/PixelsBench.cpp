// The Windows side of a look at the puppet's board, per profile: the board's
// pixels read one GetPixel at a time from the screen's device context, against
// one snapshot of the board region (a BitBlt into a DIB section) read from memory.
// A window painted like a board stands under the points. Prints numbers; asserts
// nothing. Run it under Wine with run_pixels_bench.sh.
#include <chrono>
#include <cstdio>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Desktop.h"
#include "tovarin/puppet/Profiles.h"

namespace {

double MicrosecondsPer(int rounds, auto&& body) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) body();
  std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  return took.count() / rounds;
}

LRESULT CALLBACK BoardProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBRUSH wood = CreateSolidBrush(RGB(220, 179, 92));
    RECT all{0, 0, 720, 700};
    FillRect(dc, &all, wood);
    DeleteObject(wood);
    for (int i = 0; i < 700; i += 16) {
      MoveToEx(dc, i, 0, nullptr);
      LineTo(dc, i, 700);
      MoveToEx(dc, 0, i, nullptr);
      LineTo(dc, 720, i);
    }
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

}  // namespace

int main() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = BoardProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BoardPattern";
  RegisterClassW(&wc);
  HWND board = CreateWindowExW(WS_EX_TOPMOST, L"BoardPattern", L"board", WS_POPUP | WS_VISIBLE, 0,
                               0, 720, 700, nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(board);
  Pump();

  platform::win32::Win32Desktop desktop;
  platform::ScreenSnapshot shot;
  const int rounds = 50;
  std::printf("One full-board look (361 points) on the Windows screen, %dx%d\n",
              desktop.ScreenWidth(), desktop.ScreenHeight());
  std::printf("%-8s %-12s %18s %16s %8s\n", "profile", "area", "GetPixel each (us)",
              "snapshot (us)", "ratio");
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    const puppet::Reading& reading = *puppet::ReadingOf(p);
    int taken = 0;
    desktop.Snapshot(puppet::SampleArea(reading), shot);  // warm-up
    // One device context for the whole look, one GetPixel per point.
    double each = MicrosecondsPer(rounds, [&] {
      HDC screen = GetDC(nullptr);
      for (int c = 1; c <= 19; ++c)
        for (int r = 1; r <= 19; ++r)
          taken += puppet::LooksOccupied(puppet::PointTestFor(reading, c, r), [&](int x, int y) {
            return static_cast<platform::ColorRef>(GetPixel(screen, x, y));
          });
      ReleaseDC(nullptr, screen);
    });
    // One snapshot of the board region, the points read from memory.
    double snapshot = MicrosecondsPer(rounds, [&] {
      desktop.Snapshot(puppet::SampleArea(reading), shot);
      for (int c = 1; c <= 19; ++c)
        for (int r = 1; r <= 19; ++r)
          taken += puppet::LooksOccupied(puppet::PointTestFor(reading, c, r),
                                         [&](int x, int y) { return shot.At(x, y); });
    });
    platform::Rect a = puppet::SampleArea(reading);
    char area[32];
    std::snprintf(area, sizeof area, "%dx%d", a.Width(), a.Height());
    std::printf("%-8d %-12s %18.1f %16.1f %7.1fx\n", p, area, each, snapshot, each / snapshot);
    std::fflush(stdout);
    (void)taken;
  }
  DestroyWindow(board);
  return 0;
}
