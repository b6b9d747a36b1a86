// The Windows side of a look at the puppet's board, per profile: the board's
// pixels read one GetPixel at a time from the screen's device context, against
// one snapshot of the board region (a BitBlt into a DIB section) read from memory.
// A window painted like a board stands under the points. Then what the board's
// guard costs: Tovarin's look with it against the look as it was before it, with
// a reference puppet of the profile running as a program of its own (this program
// started again with --puppet N), on an empty board and in the middle of a game.
// Prints numbers; asserts nothing. Run it under Wine with run_pixels_bench.sh,
// from the source folder: Tovarin's main window loads the pictures in bmp/.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/puppet/LookBench.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Ui.h"
#include "sim/puppets/ReferencePuppet.h"
#include "sim/puppets/Win32Stage.h"
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

// The puppet's side: the reference puppet of `profile`, answering at once.
int RunPuppet(int profile) {
  const refpuppet::PuppetDesign* design = refpuppet::DesignOf(profile);
  if (!design) return 2;
  refpuppet::PuppetOptions options;
  options.ThinkMs = 1;
  refpuppet::Win32Stage stage(GetModuleHandleW(nullptr));
  refpuppet::ReferencePuppet puppet(stage, *design, 0, options);
  return stage.Run();
}

// This program started again as the puppet of `profile`; false when it could not be.
bool StartPuppet(int profile, PROCESS_INFORMATION& process) {
  wchar_t path[MAX_PATH];
  if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return false;
  std::wstring line = L"\"" + std::wstring(path) + L"\" --puppet " + std::to_wstring(profile);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process) != 0;
}

// A click on the board point (c, r) where Tovarin clicks it, sent to the puppet's
// window under that point; it returns once the puppet has taken it. Tovarin's
// clicks through the system's mouse take 400 ms each.
void Click(int profile, int c, int r) {
  platform::Point p = puppet::BoardPoint(*puppet::GeometryOf(profile), c, r);
  POINT at{p.X, p.Y};
  HWND window = WindowFromPoint(at);
  ScreenToClient(window, &at);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Looks until the puppet's board reads as it should: `settled` looks in a row that
// find nothing and refuse nothing (its window painted at its place).
void Settle(tovarin::TForm1& f, int settled) {
  for (int i = 0, good = 0; i < 500 && good < settled; ++i) {
    std::int32_t x = 0, y = 0;
    const bool found = f.DetectPuppetMove(x, y);
    good = !found && f.LastSighting == tovarin::TForm1::Sighting::AllWell ? good + 1 : 0;
    Sleep(10);
  }
}

// The guard's cost per profile, each puppet in a process of its own as the real
// puppet is: Tovarin's window reads, GetWindowRect included, cross a process.
void TimeGuard() {
  platform::win32::Win32LibraryLoader libraries;
  platform::win32::Win32Desktop desktop;
  platform::win32::Win32Clock clock;
  platform::win32::Win32Files files;
  tovarin::Services services{desktop, clock, libraries, files};
  platform::win32::Win32Application app;
  tovarin::TForm1 f(app, services);
  // Only its looks are wanted: no start-up work, no window over the puppet's.
  f.Timer1.SetEnabled(false);
  f.Hide();
  const int rounds = 200;
  lookbench::PrintHeader("on the Windows screen", rounds);
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    PROCESS_INFORMATION process{};
    if (!StartPuppet(p, process)) {
      std::printf("%-8d the puppet could not be started\n", p);
      continue;
    }
    f.PuppetWindow = 0;
    for (int i = 0; i < 500 && !f.PuppetWindow; ++i, Sleep(10)) f.FindPuppet(p);
    if (f.PuppetWindow) {
      const puppet::Geometry& g = *puppet::GeometryOf(p);
      desktop.SetWindowPos(f.PuppetWindow, platform::InsertTop, g.PlayLeft, 0, f.TargetWidth,
                           f.TargetHeight, platform::SwpShowWindow);
      desktop.GetWindowRect(f.PuppetWindow, f.PuppetRect);
      f.ResetGame();
      Settle(f, 5);
      lookbench::TimeProfile(f, rounds, [&] {
        const int made = lookbench::PlayGame(
            f, 60, [&](int c, int r) { Click(p, c, r); }, [&] { app.ProcessMessages(); });
        Settle(f, 5);
        return made;
      });
      PostMessageW(reinterpret_cast<HWND>(f.PuppetWindow), WM_CLOSE, 0, 0);
    } else {
      std::printf("%-8d the puppet's window did not show\n", p);
    }
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
      TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--puppet") == 0) return RunPuppet(std::atoi(argv[2]));
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
  Pump();

  std::printf("\n");
  TimeGuard();
  return 0;
}
