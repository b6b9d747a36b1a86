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
#include "sim/ControllerPartner.h"
#include "sim/GnuGoPartner.h"
#include "sim/GtpPartner.h"
#include "sim/Operator.h"
#include "sim/TovarinPartner.h"
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
  int GnuGoLevel = 1;
  std::string Device;      // an outside partner's device; empty: GNU Go
  std::string GtpEngine;   // a GTP engine behind duelcom-gtp, instead of GNU Go
  std::string Opponent;    // a GTP engine a GTP controller plays against the puppet
  int PartnerProfile = 0;  // a second copy of this program with that profile
  int PartnerDelayS = 0;   // the second copy starts that much later
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
      const std::string p = v;
      o.Device.clear();
      o.GtpEngine.clear();
      o.Opponent.clear();
      o.PartnerProfile = 0;
      if (p == "gnugo") {
      } else if (p.rfind("gnugo:", 0) == 0) {
        if (!Number(p.c_str() + 6, o.GnuGoLevel, 0, 10)) return false;
      } else if (p.rfind("device:", 0) == 0 && p.size() > 7) {
        o.Device = p.substr(7);
      } else if (p.rfind("gtp:", 0) == 0 &&
                 !simworld::GtpPartner::SplitCommand(p.substr(4)).empty()) {
        o.GtpEngine = p.substr(4);
      } else if (p.rfind("controller:", 0) == 0 &&
                 !simworld::GtpPartner::SplitCommand(p.substr(11)).empty()) {
        o.Opponent = p.substr(11);
      } else if (p.rfind("tovarin:", 0) == 0) {
        if (!Number(p.c_str() + 8, o.PartnerProfile, 1, puppet::ProfileCount)) return false;
      } else {
        return false;
      }
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
// file name; the registration tells profiles 6 and 16, which share that name, by
// the year the file was last written.
bool PuppetExecutable(int profile, std::string& path) {
  path = std::string("Games/") + puppet::IdentityOf(profile)->Executable;
  ::mkdir("Games", 0755);
  if (FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fclose(file);
  } else {
    return false;
  }
  std::tm tm{};
  tm.tm_year = (profile == 16 ? 1999 : 2005) - 1900;
  tm.tm_mon = 5;
  tm.tm_mday = 15;
  tm.tm_hour = 12;
  const std::time_t written = std::mktime(&tm);
  const utimbuf times{written, written};
  return ::utime(path.c_str(), &times) == 0;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Where the record of game `n` in `partnerFolder` differs from ours in `out`;
// empty when they agree move for move.
std::string CompareWithPartner(const std::string& out, const std::string& partnerFolder, int n) {
  const std::string name = "game-" + std::to_string(n) + ".sgf";
  const std::vector<gtp::SgfMove> ours = gtp::SgfMoves(Slurp(out + name));
  const std::vector<gtp::SgfMove> theirs = gtp::SgfMoves(Slurp(partnerFolder + "/" + name));
  if (theirs.empty()) return "the partner copy kept no record of game " + std::to_string(n);
  std::size_t i = 0;
  while (i < ours.size() && i < theirs.size() && ours[i] == theirs[i]) ++i;
  if (i == ours.size() && i == theirs.size()) return "";
  return "the partner copy's record of game " + std::to_string(n) + " differs from ours at move " +
         std::to_string(i + 1);
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  // The bad cable is one this program makes: not an outside partner's device.
  if (!Parse(argc, argv, opt) || (opt.BadCable && !opt.Device.empty())) {
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
  std::unique_ptr<simworld::GnuGoPartner> gnugo;
  std::unique_ptr<simworld::GtpPartner> gtp;
  std::unique_ptr<simworld::ControllerPartner> controller;
  std::unique_ptr<simworld::TovarinPartner> partnerCopy;
  const std::string copyFolder = opt.Out + "/partner";
  std::string partnerName;
  if (opt.PartnerProfile > 0) {
    partnerCopy =
        std::make_unique<simworld::TovarinPartner>(platform::ProgramFolder() + "tovarin-sim");
    std::string device, error;
    // The copy plays the other colour of the same series, with moves of its own.
    const std::vector<std::string> options = {
        "--profile",
        std::to_string(opt.PartnerProfile),
        "--colour",
        opt.PuppetIsBlack ? "white" : "black",
        "--games",
        std::to_string(opt.Games),
        "--port",
        std::to_string(opt.Port),
        "--seed",
        std::to_string(opt.Seed + 1),
        "--screen",
        std::to_string(opt.Width) + "x" + std::to_string(opt.Height),
        "--timeout",
        std::to_string(opt.TimeoutS),
        "--puppet-passes-from",
        std::to_string(opt.PuppetPassesFrom)};
    if (!partnerCopy->MakeLines(device, error, opt.LineFaults) ||
        !partnerCopy->Start(options, copyFolder, static_cast<unsigned>(opt.PartnerDelayS), error)) {
      std::fprintf(stderr, "tovarin-sim: %s\n", error.c_str());
      return 1;
    }
    setenv(portVariable.c_str(), device.c_str(), 1);
    partnerName = std::string("Tovarin with ") + puppet::DisplayNameOf(opt.PartnerProfile);
  } else if (!opt.GtpEngine.empty()) {
    gtp = std::make_unique<simworld::GtpPartner>(platform::ProgramFolder() + "duelcom-gtp",
                                                 simworld::GtpPartner::SplitCommand(opt.GtpEngine),
                                                 opt.Out + "/gtp");
    std::string device, error;
    if (!gtp->MakeLines(device, error, opt.LineFaults)) {
      std::fprintf(stderr, "tovarin-sim: %s\n", error.c_str());
      return 1;
    }
    setenv(portVariable.c_str(), device.c_str(), 1);
    partnerName = "GTP engine (" + opt.GtpEngine + ")";
  } else if (!opt.Opponent.empty()) {
    controller = std::make_unique<simworld::ControllerPartner>(
        platform::ProgramFolder() + "duelcom-engine",
        simworld::GtpPartner::SplitCommand(opt.Opponent), opt.Out + "/controller");
    std::string device, error;
    if (!controller->MakeLines(device, error, opt.LineFaults)) {
      std::fprintf(stderr, "tovarin-sim: %s\n", error.c_str());
      return 1;
    }
    setenv(portVariable.c_str(), device.c_str(), 1);
    partnerName = "GTP engine (" + opt.Opponent + ") through a GTP controller";
  } else if (opt.Device.empty()) {
    gnugo = std::make_unique<simworld::GnuGoPartner>(opt.GnuGoLevel);
    partnerName = "GNU Go (level " + std::to_string(opt.GnuGoLevel) + ")";
  } else {
    setenv(portVariable.c_str(), opt.Device.c_str(), 1);
    partnerName = "partner on " + opt.Device;
  }
  const std::string puppetName = puppet::DisplayNameOf(opt.Profile);
  const std::string out = opt.Out + "/";
  // GNU Go gets a line of its own for each game; on a bad cable, a cable of
  // its own, damaging each game's bytes from a seed of its own.
  std::unique_ptr<simworld::NullModem> gnugoCable;
  link.BeforeOpen = [&](int port) {
    if (!gnugo) return;
    std::string device, error;
    if (opt.BadCable) {
      simworld::NullModem::Faults faults = opt.LineFaults;
      faults.Seed += static_cast<std::uint64_t>(f.GameNo) - 1;
      gnugoCable = std::make_unique<simworld::NullModem>(faults);
      if (!gnugoCable->Open(error)) {
        fail(error);
        return;
      }
      device = gnugoCable->Port(0);
    } else if (!gnugo->NewLine(device, error)) {
      fail(error);
      return;
    }
    setenv(port == 1 ? "DUELCOM_COM1" : "DUELCOM_COM2", device.c_str(), 1);
  };
  link.AfterOpen = [&](int, int opened) {
    if (gtp && opened) {
      // duelcom-gtp plays the whole series; each game waits for its port.
      std::string error;
      if (!gtp->Started() && !gtp->Start(f.PuppetIsBlack == 0, opt.Games, error)) fail(error);
      if (!gtp->WaitForLine(f.GameNo, 60000))
        fail("duelcom-gtp did not open its port for game " + std::to_string(f.GameNo));
    }
    if (controller && opened && !controller->Started()) {
      // The controller plays the whole series; duelcom-engine opens its port for
      // each game as soon as the game before it ends.
      std::string error;
      if (!controller->Start(f.PuppetIsBlack == 1, opt.Games, error)) fail(error);
    }
    if (!gnugo || !opened) return;
    std::string error;
    const std::string sgf = out + "gnugo-" + std::to_string(f.GameNo) + ".sgf";
    const bool black = f.PuppetIsBlack == 0;
    using Colour = simworld::GnuGoPartner::Colour;
    if (gnugoCable ? !gnugo->StartOn(gnugoCable->Port(1), black ? Colour::Black : Colour::White,
                                     sgf, error)
                   : !gnugo->Start(black, sgf, error))
      fail(error);
  };
  link.AfterClose = [&] {
    // GNU Go ends when its line does.
    gnugoCable.reset();
    if (gnugo) gnugo->Finish();
    // A line closed after a game that ended on two passes (the next game's reset
    // comes after the close); an abort or a lost link leaves no finished game.
    if (!f.GameFinished) return;
    ++gamesEnded;
    // The puppet is the player on this side of the line.
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
    // The puppet's own record must be what Tovarin read from its screen.
    if (const refpuppet::ReferencePuppet* puppet = puppets.Find(opt.Profile)) {
      const std::vector<refpuppet::Move>& history = puppet->Game().History();
      bool same = history.size() == record.Moves.size();
      for (std::size_t i = 0; same && i < history.size(); ++i)
        same = history[i].C == record.Moves[i].X && history[i].R == record.Moves[i].Y;
      if (!same)
        fail("the puppet's own record of game " + std::to_string(f.GameNo) +
             " differs from Tovarin's");
    }
    const std::string n = std::to_string(f.GameNo);
    std::ofstream(out + "game-" + n + ".sgf") << gtp::FormatSgf(record);
    if (!desktop.SaveScreenPng(out + "screen-" + n + ".png"))
      fail("could not write " + out + "screen-" + n + ".png");
    std::printf("[game %s: %d moves; %sgame-%s.sgf, %sscreen-%s.png]\n", n.c_str(), f.MoveCount + 1,
                out.c_str(), n.c_str(), out.c_str(), n.c_str());
  };

  // A partner that another operator started is ordered against this side by the
  // fixed waits; GNU Go is started by this program once the port is open.
  app.FixedWaitsInRealTime = !gnugo;
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
  if (gnugo) gnugo->Finish();
  if (gtp) {
    std::string how;
    if (!gtp->Finish(30000, how)) fail("duelcom-gtp ended with " + how);
  }
  if (controller) {
    std::string how;
    if (!controller->Finish(30000, how)) fail("the GTP controller ended with " + how);
  }
  if (gamesEnded < opt.Games)
    fail("only " + std::to_string(gamesEnded) + " of " + std::to_string(opt.Games) +
         " games ended on two passes");
  if (partnerCopy) {
    // The copy ends its last game within moments of this one; after a failure
    // here it may wait on a silent line, so it is given less time.
    std::string how;
    if (!partnerCopy->Finish(failure.empty() ? 120000 : 20000, how))
      fail("the partner copy ended with " + how);
    for (int n = 1; n <= opt.Games && failure.empty(); ++n)
      if (const std::string differs = CompareWithPartner(out, copyFolder, n); !differs.empty())
        fail(differs);
    if (failure.empty())
      std::printf("[the partner copy's records in %s agree with these move for move]\n",
                  copyFolder.c_str());
  }
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
