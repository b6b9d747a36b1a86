// tovarin-sim: Tovarin on the simulated desktop, relaying whole games between a
// reference puppet and a real partner on a serial line.
//
// Tovarin runs with the headless toolkit and an accelerated clock: its fixed
// waits and the puppet's thinking cost no real time, while the wait for the
// partner's move passes in real time. When the partner is a program started by
// someone else (an outside device, duelcom-gtp, a second copy of this program),
// the fixed waits pass in real time too: they order the two sides of the line.
// The link is the real link library on a pseudo-terminal. An operator registers
// the puppet's executable with the register button, presses the start button
// and answers the settings dialog; the program then runs until the match is
// over. Every line of the information window and every message box is printed
// as it appears; each game leaves Tovarin's record as DIR/game-N.sgf and the
// screen as DIR/screen-N.png.
#include <stdlib.h>
#include <sys/stat.h>
#include <utime.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gtp/GameRecord.h"
#include "gtp/Number.h"
#include "gtp/SgfMoves.h"
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/SimClock.h"
#include "platform/headless/SimDesktop.h"
#include "platform/posix/PosixSystem.h"
#include "sim/Operator.h"
#include "sim/Partner.h"
#include "sim/WatchedLink.h"
#include "sim/puppets/PuppetLauncher.h"
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Program.h"

namespace {

struct Options {
  int Profile = 1;
  bool PuppetIsBlack = true;
  int Games = 1;
  int Port = 1;
  std::string Partner = "gnugo";  // as --partner gives it
  int PartnerDelayS = 0;          // a second copy starts that much later
  std::uint64_t Seed = 7;
  int Width = 1024;
  int Height = 768;
  std::string Out = ".";
  int TimeoutS = 1800;
  int PuppetPassesFrom = 160;
  simworld::NullModem::Faults LineFaults;  // a bad cable between Tovarin and its partner
  bool BadCable = false;
};

void Usage() {
  std::printf(
      "usage: tovarin-sim [--profile 1..18] [--colour black|white] [--games K] [--port 1|2]\n"
      "                   [--partner gnugo[:LEVEL] | --partner device:PATH |\n"
      "                    --partner gtp:\"ENGINE ARGS\" | --partner tovarin:PROFILE |\n"
      "                    --partner controller:\"ENGINE ARGS\"]\n"
      "                   [--partner-delay SECONDS] [--seed S] [--screen WxH] [--out DIR]\n"
      "                   [--timeout SECONDS] [--puppet-passes-from MOVES]\n"
      "                   [--line-faults PERCENT[:SEED]]\n"
      "Runs Tovarin on a simulated desktop from the current directory, which must hold\n"
      "the pictures in bmp/, and relays a match between the reference puppet of the\n"
      "profile and the partner. --colour is the puppet's colour in the first game;\n"
      "the puppet passes at every turn once MOVES moves are made (default 160).\n"
      "With gtp:, duelcom-gtp (from this program's folder) plays the engine over a\n"
      "pseudo-terminal joined to Tovarin's port, its records in DIR/gtp.\n"
      "With controller:, a GTP controller plays ENGINE against the puppet through\n"
      "duelcom-engine on a joined pseudo-terminal, its records in DIR/controller.\n"
      "With tovarin:, a second copy of this program plays the other colour with a\n"
      "puppet of PROFILE on a joined pseudo-terminal, in DIR/partner; it starts\n"
      "--partner-delay seconds late (default 0).\n"
      "With --line-faults, the cable to the partner damages that share of its bytes\n"
      "(dropped, a bit flipped, noise inserted, delayed, doubled), chosen from SEED.\n");
}

using gtp::Number;

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) return false;
    const char* v = argv[++i];
    if (a == "--profile") {
      if (!Number(v, o.Profile, 1, puppet::ProfileCount)) return false;
    } else if (a == "--colour") {
      if (std::strcmp(v, "black") != 0 && std::strcmp(v, "white") != 0) return false;
      o.PuppetIsBlack = std::strcmp(v, "black") == 0;
    } else if (a == "--games") {
      if (!Number(v, o.Games, 1, 1000)) return false;
    } else if (a == "--port") {
      if (!Number(v, o.Port, 1, 2)) return false;
    } else if (a == "--partner") {
      o.Partner = v;  // MakePartner knows the kinds
    } else if (a == "--partner-delay") {
      if (!Number(v, o.PartnerDelayS, 0, 3600)) return false;
    } else if (a == "--seed") {
      o.Seed = std::strtoull(v, nullptr, 10);
    } else if (a == "--screen") {
      if (std::sscanf(v, "%dx%d", &o.Width, &o.Height) != 2 || o.Width < 1 || o.Height < 1)
        return false;
    } else if (a == "--out") {
      o.Out = v;
    } else if (a == "--timeout") {
      if (!Number(v, o.TimeoutS, 1, 86400)) return false;
    } else if (a == "--puppet-passes-from") {
      if (!Number(v, o.PuppetPassesFrom, 0, 498)) return false;
    } else if (a == "--line-faults") {
      double percent = -1;
      unsigned long long seed = 1;
      const int n = std::sscanf(v, "%lf:%llu", &percent, &seed);
      if (n < 1 || percent < 0 || percent > 100) return false;
      o.LineFaults.Rate = percent / 100;
      o.LineFaults.Seed = seed;
      o.BadCable = true;
    } else {
      return false;
    }
  }
  return true;
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

// The file the operator registers: the desktop starts the reference puppet by its
// file name; the registration tells editions that share a name by the year the
// file was last written.
bool PuppetExecutable(int profile, std::string& path) {
  path = std::string("Games/") + puppet::IdentityOf(profile)->Executable;
  ::mkdir("Games", 0755);
  if (FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fclose(file);
  } else {
    return false;
  }
  std::tm tm{};
  tm.tm_year = refpuppet::DesignOf(profile)->WrittenYear - 1900;
  tm.tm_mon = 5;
  tm.tm_mday = 15;
  tm.tm_hour = 12;
  const std::time_t written = std::mktime(&tm);
  const utimbuf times{written, written};
  return ::utime(path.c_str(), &times) == 0;
}

// Keeps game f.GameNo as it ended on two passes: Tovarin's record as
// OUT/game-N.sgf (the puppet is the player on this side of the line) and the
// screen as OUT/screen-N.png. Returns what went wrong, if anything: the puppet's
// own record must be what Tovarin read from its screen.
std::string KeepGame(const tovarin::TForm1& f, const refpuppet::ReferencePuppet* puppet,
                     platform::headless::SimDesktop& desktop, const std::string& puppetName,
                     const std::string& partnerName, const std::string& out) {
  gtp::GameRecord record;
  const bool puppetBlack = f.PuppetIsBlack == 1;
  record.Program = "tovarin-sim";
  record.Number = f.GameNo;
  record.EngineColour = puppetBlack ? gtp::Black : gtp::White;
  record.EngineName = puppetName;
  record.LineName = partnerName;
  record.Date = Today();
  for (int i = 1; i <= f.MoveCount + 1; ++i) {
    // The last is the pass that ended the game, which is not recorded.
    const int p = i <= f.MoveCount ? f.MoveRecord[static_cast<std::size_t>(i)] : 0;
    record.Moves.push_back(
        {i % 2 == 1 ? gtp::Black : gtp::White, board::CodeX(p), board::CodeY(p)});
  }
  std::string why;
  if (puppet) {
    const std::vector<refpuppet::Move>& history = puppet->Game().History();
    bool same = history.size() == record.Moves.size();
    for (std::size_t i = 0; same && i < history.size(); ++i)
      same = history[i].C == record.Moves[i].X && history[i].R == record.Moves[i].Y;
    if (!same)
      why =
          "the puppet's own record of game " + std::to_string(f.GameNo) + " differs from Tovarin's";
  }
  const std::string n = std::to_string(f.GameNo);
  std::ofstream(out + "game-" + n + ".sgf") << gtp::FormatSgf(record);
  if (!desktop.SaveScreenPng(out + "screen-" + n + ".png") && why.empty())
    why = "could not write " + out + "screen-" + n + ".png";
  std::printf("[game %s: %d moves; %sgame-%s.sgf, %sscreen-%s.png]\n", n.c_str(), f.MoveCount + 1,
              out.c_str(), n.c_str(), out.c_str(), n.c_str());
  return why;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  std::unique_ptr<simworld::Partner> partner;
  if (Parse(argc, argv, opt)) {
    simworld::PartnerPlan plan;
    plan.Games = opt.Games;
    plan.PuppetBlackFirst = opt.PuppetIsBlack;
    plan.Port = opt.Port;
    plan.Out = opt.Out;
    plan.Faults = opt.LineFaults;
    plan.BadCable = opt.BadCable;
    plan.Seed = opt.Seed;
    plan.Width = opt.Width;
    plan.Height = opt.Height;
    plan.TimeoutS = opt.TimeoutS;
    plan.PuppetPassesFrom = opt.PuppetPassesFrom;
    plan.DelayS = opt.PartnerDelayS;
    partner = simworld::MakePartner(opt.Partner, plan);
  }
  // The bad cable is one this program makes: not an outside partner's device.
  if (!partner || (opt.BadCable && opt.Partner.rfind("device:", 0) == 0)) {
    Usage();
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  platform::headless::AcceleratedClock clock;
  platform::headless::SimDesktop desktop(clock, opt.Width, opt.Height);
  platform::headless::HeadlessApplication app(clock, &desktop,
                                              platform::headless::HeadlessApplication::Idle::Real);
  platform::posix::PosixLibraryLoader libraries;
  simworld::WatchedLink link(libraries);
  platform::posix::PosixFiles files;
  tovarin::Services sys{desktop, clock, link, files};

  // The reference puppets are the programs this desktop can start.
  refpuppet::PuppetLauncher puppets(desktop);
  puppets.Options.ThinkMs = 1500;
  puppets.Options.ThinkJitterMs = 2500;
  puppets.Options.Seed = opt.Seed;
  puppets.Options.PassFromMove = opt.PuppetPassesFrom;
  puppets.PreferEdition(opt.Profile);
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
  // Real time passes only while Tovarin waits for the partner's move.
  app.WaitsOnTheOutside = [&f] { return f.Timer2.Enabled(); };

  std::string failure;  // the first thing that went wrong
  auto fail = [&failure](const std::string& why) {
    if (failure.empty()) failure = why;
  };
  int gamesEnded = 0;
  app.OnLineAppended = [&](const ui::Memo&, const std::string& line) {
    std::printf("%s\n", line.c_str());
    if (line == "Send Error !") fail("a move was not acknowledged by the partner");
  };
  app.OnMessageBox = [&](const platform::headless::HeadlessApplication::Box& box) {
    std::printf("MessageBox: %s\n", box.Text.c_str());
    fail("message box: " + box.Text);
  };

  // The partner, and what is kept of each game when its line closes.
  const std::string portVariable = opt.Port == 1 ? "DUELCOM_COM1" : "DUELCOM_COM2";
  std::string device, error;
  if (!partner->Prepare(device, error)) {
    std::fprintf(stderr, "tovarin-sim: %s\n", error.c_str());
    return 1;
  }
  if (!device.empty()) setenv(portVariable.c_str(), device.c_str(), 1);
  const std::string partnerName = partner->Name();
  const std::string puppetName = puppet::DisplayNameOf(opt.Profile);
  const std::string out = opt.Out + "/";
  link.BeforeOpen = [&](int port) {
    std::string line, why;
    if (!partner->BeforeOpen(f.GameNo, line, why)) fail(why);
    if (!line.empty()) setenv(port == 1 ? "DUELCOM_COM1" : "DUELCOM_COM2", line.c_str(), 1);
  };
  link.AfterOpen = [&](int, int opened) {
    std::string why;
    if (opened && !partner->AfterOpen(f.GameNo, f.PuppetIsBlack == 1, why)) fail(why);
  };
  link.AfterClose = [&] {
    partner->AfterClose();
    // A line closed after a game that ended on two passes (the next game's reset
    // comes after the close); an abort or a lost link leaves no finished game.
    if (!f.GameFinished) return;
    ++gamesEnded;
    if (const std::string why =
            KeepGame(f, puppets.Find(opt.Profile), desktop, puppetName, partnerName, out);
        !why.empty())
      fail(why);
  };

  // A partner that another operator started is ordered against this side by the
  // fixed waits; GNU Go is started by this program once the port is open.
  app.FixedWaitsInRealTime = partner->RealWaits();
  std::printf("Started \"%s\" on a %dx%d simulated desktop; partner: %s.\n", app.Title().c_str(),
              opt.Width, opt.Height, partnerName.c_str());
  if (opt.BadCable)
    std::printf("The cable to the partner damages %g %% of its bytes (seed %llu).\n",
                opt.LineFaults.Rate * 100, static_cast<unsigned long long>(opt.LineFaults.Seed));
  // The first tick of Timer1 lists the registry.
  app.PumpUntil([&] { return f.StartupDone; }, 5000);

  // The operator registers the puppet (the registry files stay in the working
  // folder), presses the start button and answers the settings dialog.
  f.ProgramFolder = "./";
  std::string executable;
  if (!PuppetExecutable(opt.Profile, executable)) {
    std::fprintf(stderr, "tovarin-sim: cannot make %s\n", executable.c_str());
    return 1;
  }
  simworld::Operator op(app, program);
  op.Register(executable);
  simworld::MatchSettings settings;
  settings.PuppetIsBlack = opt.PuppetIsBlack;
  settings.Port = opt.Port;
  settings.Games = std::to_string(opt.Games);
  settings.ListLine = -1;
  op.StartMatch(settings);

  // Until the match stands still: over, stopped, or never started.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(opt.TimeoutS);
  auto standsStill = [&] {
    const bool relaying = f.Timer2.Enabled() || f.Timer3.Enabled();
    if (!f.SpeedButton22.Visible()) return !relaying;
    return !app.MessageBoxes.empty();  // the start failed before the match began
  };
  app.ProcessMessages();  // the operator's presses
  while (!standsStill() && !app.Terminated()) {
    if (std::chrono::steady_clock::now() > deadline) {
      fail("the match did not end within " + std::to_string(opt.TimeoutS) + " s");
      break;
    }
    app.ProcessMessages();
  }
  if (gamesEnded < opt.Games)
    fail("only " + std::to_string(gamesEnded) + " of " + std::to_string(opt.Games) +
         " games ended on two passes");
  std::string why;
  if (!partner->Finish(!failure.empty(), why)) fail(why);
  std::printf("\n%s  black %s   white %s\n", f.Label1.Caption().c_str(), f.Label4.Caption().c_str(),
              f.Label5.Caption().c_str());
  if (!failure.empty()) {
    std::printf("tovarin-sim: %s\n", failure.c_str());
    return 1;
  }
  std::printf("tovarin-sim: %d game%s relayed to two passes; records and screens in %s\n",
              gamesEnded, gamesEnded == 1 ? "" : "s", opt.Out.c_str());
  return 0;
}
