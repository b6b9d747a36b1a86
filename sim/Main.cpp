// tovarin-sim: Tovarin on the simulated desktop, with the headless toolkit and an
// accelerated clock (sleeps cost no real time). It starts the program as on
// Windows, plays a short game through the board model, with captures, while the
// clocks run, and prints the board, the clocks and the information window's log.
// It leaves the final screen as a PNG.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/PosixSystem.h"
#include "platform/sim/HeadlessUi.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimDesktop.h"
#include "tovarin/shell/Program.h"

namespace {

struct Options {
  std::string Png = "screen.png";
  int Width = 1024;
  int Height = 768;
};

void Usage() {
  std::printf(
      "usage: tovarin-sim [--png FILE] [--screen WxH]\n"
      "Runs Tovarin on a simulated desktop from the current directory, which must hold\n"
      "the pictures in bmp/.\n");
}

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--png" && i + 1 < argc) {
      o.Png = argv[++i];
    } else if (a == "--screen" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &o.Width, &o.Height) != 2) return false;
    } else {
      return false;
    }
  }
  return true;
}

void PrintBoard(const tovarin::TForm1& f) {
  std::printf("   ");
  for (int x = 1; x <= 19; ++x) std::printf("%c", "ABCDEFGHJKLMNOPQRST"[x - 1]);
  std::printf("\n");
  for (int y = 1; y <= 19; ++y) {
    std::printf("%2d ", y);
    for (int x = 1; x <= 19; ++x) {
      int v = f.Stones[static_cast<std::size_t>(board::PointCode(x, y))];
      std::printf("%c", v == board::StoneBlack ? 'X' : v == board::StoneWhite ? 'O' : '.');
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!Parse(argc, argv, opt)) {
    Usage();
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  platform::sim::AcceleratedClock clock;
  platform::sim::SimDesktop desktop(clock, opt.Width, opt.Height);
  platform::sim::HeadlessApplication app(clock, &desktop,
                                         platform::sim::HeadlessApplication::Idle::Virtual);
  platform::posix::PosixLibraryLoader libraries;
  platform::posix::PosixFileTimes files;
  tovarin::Services sys{desktop, clock, libraries, files};
  app.OnMessageBox = [](const auto& box) {
    std::printf("[message box \"%s\"] %s\n", box.Caption.c_str(), box.Text.c_str());
  };

  tovarin::Program program;
  try {
    tovarin::CreateForms(app, sys, program);
  } catch (const ui::FrameworkError& e) {
    std::fprintf(stderr, "tovarin-sim: %s\n", e.what());
    return 1;
  }
  tovarin::TForm1& f = *program.Form1;
  app.SetMainForm(f);
  std::printf("Started \"%s\" on a %dx%d simulated desktop.\n", app.Title().c_str(), opt.Width,
              opt.Height);
  std::printf("  main window at (%d, %d) %dx%d, information window at (%d, %d) %dx%d\n", f.Left(),
              f.Top(), f.Width(), f.Height(), program.Form3->Left(), program.Form3->Top(),
              program.Form3->Width(), program.Form3->Height());

  // Let the first ticks of Timer1 pass, as after a real start.
  app.PumpUntil([] { return false; }, 1500);

  // A short game with captures: the puppet plays black, the partner white. Each
  // entry is (x, y, thinking time in ms); the relay's measurements are mirrored by
  // adding the thinking time to the side's total.
  struct Move {
    int X, Y;
    std::uint32_t ThinkMs;
  };
  const std::vector<Move> game = {
      {4, 4, 2300},   {16, 4, 4100},  {1, 2, 1200},  {1, 1, 900},   {2, 1, 1500},  // takes (1,1)
      {16, 16, 3000}, {10, 10, 2200}, {9, 10, 800},  {8, 10, 1100}, {9, 11, 1900},
      {9, 9, 2500},   {3, 3, 600},    {8, 11, 1400}, {17, 3, 700},  {10, 11, 2100},
      {15, 3, 1000},  {9, 12, 1600},  // takes (9,10) and (9,11)
      {4, 16, 900},   {16, 3, 1300},
  };
  f.PuppetIsBlack = 1;
  f.Label1.SetVisible(true);
  f.TurnStartTick = clock.TickCount();
  for (const Move& m : game) {
    bool puppet = (f.MoveCount % 2 == 0) == (f.PuppetIsBlack == 1);
    // Thinking time passes while the program takes its messages (Timer1 ticks).
    std::uint32_t until = f.TurnStartTick + m.ThinkMs;
    app.PumpUntil([&] { return !platform::TickAfter(until, clock.TickCount()); }, m.ThinkMs + 1000);
    std::uint32_t now = clock.TickCount();
    (puppet ? f.PuppetTime : f.PartnerTime) += static_cast<std::int32_t>(now - f.TurnStartTick);
    f.TurnStartTick = now;
    f.MoveX = m.X;
    f.MoveY = m.Y;
    if (f.CheckMovePoint() == 0) break;
    bool captureBefore = f.CaptureFlag;
    f.PlaceStone(f.MoveCount % 2 == 0);
    std::printf("move %3d  %s  (%2d, %2d)%s\n", f.MoveCount, puppet ? "puppet " : "partner", m.X,
                m.Y, f.CaptureFlag && !captureBefore ? "  captures" : "");
    f.CaptureFlag = false;
  }
  app.PumpUntil([] { return false; }, 2500);

  std::printf("\n");
  PrintBoard(f);
  std::printf("\n%s  black %s   white %s\n", f.Label1.Caption().c_str(), f.Label4.Caption().c_str(),
              f.Label5.Caption().c_str());
  std::printf("\ninformation window log (%zu lines):\n", program.Form3->Memo1.Lines().size());
  for (const std::string& line : program.Form3->Memo1.Lines()) std::printf("| %s\n", line.c_str());
  if (desktop.SaveScreenPng(opt.Png))
    std::printf("\nscreen saved as %s\n", opt.Png.c_str());
  else
    std::printf("\ncould not write %s\n", opt.Png.c_str());
  return 0;
}
