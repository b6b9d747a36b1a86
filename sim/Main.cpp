// tovarin-sim: Tovarin on the simulated desktop, with the headless toolkit and an
// accelerated clock (sleeps cost no real time), driving a reference puppet.
//
// It starts the program as on Windows (the registry is listed on the first tick),
// registers the chosen puppet's executable through the register button, prepares
// the puppet (launch, find, place, options), starts a new game in it through its
// menus, and plays the game to two passes: the partner's moves, chosen by a small
// local player, are clicked into the puppet, and the puppet's answers are read
// from the screen, every 200 ms as Tovarin polls. It prints the information
// window's log as it grows, the board and the clocks, and leaves the final screen
// as a PNG.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/PosixSystem.h"
#include "platform/sim/HeadlessUi.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimDesktop.h"
#include "sim/puppets/GoGame.h"
#include "sim/puppets/PuppetLauncher.h"
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Program.h"

namespace {

struct Options {
  std::string Png = "screen.png";
  int Width = 1024;
  int Height = 768;
  int Profile = 1;
  bool PuppetIsBlack = true;
  std::uint64_t Seed = 7;
};

void Usage() {
  std::printf(
      "usage: tovarin-sim [--profile 1..18] [--colour black|white] [--seed N]\n"
      "                   [--png FILE] [--screen WxH]\n"
      "Runs Tovarin on a simulated desktop from the current directory, which must hold\n"
      "the pictures in bmp/. --colour is the puppet's colour.\n");
}

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool more = i + 1 < argc;
    if (a == "--png" && more) {
      o.Png = argv[++i];
    } else if (a == "--screen" && more) {
      if (std::sscanf(argv[++i], "%dx%d", &o.Width, &o.Height) != 2) return false;
    } else if (a == "--profile" && more) {
      o.Profile = std::atoi(argv[++i]);
      if (!puppet::IsProfile(o.Profile)) return false;
    } else if (a == "--colour" && more) {
      std::string c = argv[++i];
      if (c != "black" && c != "white") return false;
      o.PuppetIsBlack = c == "black";
    } else if (a == "--seed" && more) {
      o.Seed = std::strtoull(argv[++i], nullptr, 10);
    } else {
      return false;
    }
  }
  return true;
}

// Prints the lines the information window has gained since the last call.
class LogEcho {
 public:
  explicit LogEcho(const ui::Memo& memo) : Memo_(memo) {}
  // After the log was cleared and refilled, show it again from its first line.
  void Restart() { Shown_ = 0; }
  void Flush() {
    const auto& lines = Memo_.Lines();
    if (lines.size() < Shown_) Shown_ = 0;  // the log was cleared
    for (; Shown_ < lines.size(); ++Shown_) std::printf("| %s\n", lines[Shown_].c_str());
  }

 private:
  const ui::Memo& Memo_;
  std::size_t Shown_ = 0;
};

void PrintBoard(const tovarin::TForm1& f) {
  std::printf("   ABCDEFGHJKLMNOPQRST\n");
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
  // The reference puppets are the programs this desktop can start.
  refpuppet::PuppetLauncher puppets(desktop);
  puppets.Options.ThinkMs = 1500;
  puppets.Options.ThinkJitterMs = 2500;
  puppets.Options.Seed = opt.Seed;
  if (opt.Profile == 6 || opt.Profile == 16) puppets.Kando4Profile = opt.Profile;
  puppets.RegisterAll();

  tovarin::Program program;
  try {
    tovarin::CreateForms(app, sys, program);
  } catch (const ui::FrameworkError& e) {
    std::fprintf(stderr, "tovarin-sim: %s\n", e.what());
    return 1;
  }
  tovarin::TForm1& f = *program.Form1;
  app.SetMainForm(f);
  LogEcho echo(program.Form3->Memo1);
  std::printf("Started \"%s\" on a %dx%d simulated desktop.\n", app.Title().c_str(), opt.Width,
              opt.Height);

  // The first tick of Timer1 lists the registry.
  app.PumpUntil([&] { return f.StartupDone; }, 2000);
  echo.Flush();

  // Register the puppet's executable with the register button, as a user would.
  const puppet::Identity* id = puppet::IdentityOf(opt.Profile);
  std::string exe = std::string("C:\\Games\\") + id->Executable;
  std::printf("\n> register %s\n", exe.c_str());
  f.ProgramFolder = "./";
  app.OpenDialogResponder = [&](ui::OpenDialog& d) {
    d.FileName = exe;
    return true;
  };
  f.SpeedButton1.Click();
  echo.Restart();  // a registration lists the registry afresh
  echo.Flush();

  // The settings the start button's dialog would give, then the puppet's preparation.
  tovarin::TForm2& settings = *program.Form2;
  settings.ListBox1.SetItemIndex(f.RegisteredCount - 1);  // the program just registered
  (opt.PuppetIsBlack ? settings.RadioButton3 : settings.RadioButton4).SetChecked(true);
  std::printf("\n> prepare the puppet %s, playing %s\n", id->DisplayName,
              opt.PuppetIsBlack ? "black" : "white");
  std::uint32_t before = clock.TickCount();
  if (!f.PreparePuppet()) {
    echo.Flush();
    return 1;
  }
  echo.Flush();
  f.PuppetIsBlack = settings.PuppetIsBlack();
  f.StartPuppetGame();
  std::printf("  launched, placed, options set and a new game started in %.1f s of program time\n",
              (clock.TickCount() - before) / 1000.0);
  f.Label1.SetVisible(true);
  f.ClearLog();

  // The game. Tovarin's board is the referee; the partner keeps its own record.
  refpuppet::GoGame partnerGame;
  refpuppet::Random random(opt.Seed * 7919 + 1);
  auto partnersTurn = [&] { return (f.MoveCount % 2 == 0) != (f.PuppetIsBlack == 1); };
  auto lastWasPass = [&] { return f.MoveCount >= 1 && f.LastMove() == 0; };
  bool over = false;
  int captures = 0;
  f.TurnStartTick = clock.TickCount();
  while (!over && f.MoveCount < 400) {
    std::uint32_t now = clock.TickCount();
    if (partnersTurn()) {
      // The partner thinks a second or two, while Tovarin's clocks run.
      app.PumpUntil([] { return false; }, 1000 + random.Below(1500));
      now = clock.TickCount();
      f.PartnerTime += static_cast<std::int32_t>(now - f.TurnStartTick);
      f.TurnStartTick = now;
      refpuppet::Move m = f.MoveCount >= 150 ? refpuppet::Move{} : ChooseMove(partnerGame, random);
      std::printf("move %3d  partner  %s\n", f.MoveCount + 1,
                  m.IsPass() ? "pass" : (std::to_string(m.C) + ", " + std::to_string(m.R)).c_str());
      if (m.IsPass()) {
        if (lastWasPass())
          over = true;
        else {
          f.RecordPass();
          partnerGame.Pass();
        }
        f.EnterMove(0, 0);
        continue;
      }
      f.MoveX = m.C;
      f.MoveY = m.R;
      if (!f.CheckMovePoint() || !f.PlaceStone(f.MoveCount % 2 == 0)) break;
      partnerGame.Play(m.C, m.R);
      f.EnterMove(m.C, m.R);
      f.PassCheckDeadline = clock.TickCount() + 7000;
      f.PassCheckDue = false;
    } else {
      // Tovarin looks at the puppet's board every 200 ms until its answer shows.
      bool seen = false;
      for (int look = 0; look < 300 && !seen; ++look) {
        if (look > 0) app.PumpUntil([] { return false; }, 200);
        if (!f.PassCheckDue && platform::TickAfter(clock.TickCount(), f.PassCheckDeadline))
          f.PassCheckDue = true;
        seen = f.DetectPuppetMove(f.MoveX, f.MoveY);
      }
      if (!seen) {
        std::printf("the puppet did not answer within a minute\n");
        break;
      }
      now = clock.TickCount();
      f.PuppetTime += static_cast<std::int32_t>(now - f.TurnStartTick);
      f.TurnStartTick = now;
      f.PassCheckDue = false;
      bool pass = f.MoveX == 0 && f.MoveY == 0;
      std::printf(
          "move %3d  puppet   %s\n", f.MoveCount + 1,
          pass ? "pass" : (std::to_string(f.MoveX) + ", " + std::to_string(f.MoveY)).c_str());
      if (pass) {
        if (lastWasPass())
          over = true;
        else {
          f.RecordPass();
          partnerGame.Pass();
        }
        continue;
      }
      int x = f.MoveX, y = f.MoveY;
      if (!f.CheckMovePoint() || !f.PlaceStone(f.MoveCount % 2 == 0)) break;
      partnerGame.Play(x, y);
    }
    if (f.CaptureFlag) {
      ++captures;
      f.CaptureFlag = false;
    }
  }
  echo.Flush();

  std::printf("\n%s after %d moves, %d of them taking stones.\n\n",
              over ? "Two passes ended the game" : "The game stopped", f.MoveCount, captures);
  PrintBoard(f);
  std::printf("\n%s  black %s   white %s   (%s)\n", f.Label1.Caption().c_str(),
              f.Label4.Caption().c_str(), f.Label5.Caption().c_str(),
              f.PuppetIsBlack ? "puppet black, partner white" : "partner black, puppet white");
  if (desktop.SaveScreenPng(opt.Png))
    std::printf("\nscreen saved as %s\n", opt.Png.c_str());
  else
    std::printf("\ncould not write %s\n", opt.Png.c_str());
  return over ? 0 : 1;
}
