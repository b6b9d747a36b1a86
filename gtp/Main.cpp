// duelcom-gtp: a GTP engine at the far end of a Go Modem Protocol line.
//
// Opens the serial line with the link library, starts the engine given on the
// command line as a child process, and plays a series of games between the
// engine and whoever is at the other end of the line (Tovarin, or any program
// that speaks the protocol). Each game can be kept as an SGF file.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "gtp/DuelcomLine.h"
#include "gtp/Gtp.h"
#include "gtp/Number.h"
#include "gtp/Process.h"
#include "gtp/Relay.h"
#include "gtp/SgfFile.h"

namespace {

struct Options {
  std::string Port = "1";
  gtp::RelaySettings Relay;
  std::string SgfFolder;
  bool Verbose = false;
  std::vector<std::string> Engine;
};

void Usage() {
  std::fprintf(
      stderr,
      "usage: duelcom-gtp [--port PORT] [--colour black|white] [--games K] [--komi KOMI]\n"
      "                   [--sgf FOLDER] [--wait SECONDS] [--move-wait SECONDS]\n"
      "                   [--gtp-wait SECONDS] [--pass-from MOVES] [--verbose]\n"
      "                   [--] ENGINE [ARGUMENT...]\n"
      "Plays a series of games between the GTP engine ENGINE, started with its arguments,\n"
      "and the program at the far end of the serial line, which speaks the Go Modem\n"
      "Protocol.\n"
      "  --port PORT        1 or 2 (COM1 or COM2), or a device: a path such as /dev/ttyUSB0\n"
      "                     on Linux, a port name such as COM3 on Windows (default 1)\n"
      "  --colour C         the engine's colour in the first game; colours swap after\n"
      "                     each game (default black)\n"
      "  --games K          games in the series (default 1)\n"
      "  --komi KOMI        komi given to the engine (default 6.5); the line carries none\n"
      "  --sgf FOLDER       keep each game as FOLDER/game-N.sgf\n"
      "  --wait SECONDS     how long to wait for a new game to be agreed (default 120)\n"
      "  --move-wait SECONDS  how long the far end, and the engine's genmove, may take\n"
      "                     over a move (default 1800)\n"
      "  --gtp-wait SECONDS how long the engine may take over any other command\n"
      "                     (default 60)\n"
      "  --pass-from MOVES  the engine passes at every turn once MOVES moves are made\n"
      "  --verbose          print the GTP and GMP traffic and every move\n"
      "Exit status: 0 every game ended on two passes; 1 stopped by a failure (an engine\n"
      "that fails or does not answer in time, a silent or lost line); 2 wrong arguments;\n"
      "3 every game ended, but the engine resigned in one (and then passed).\n");
}

using gtp::Number;

// False, with what is wrong in `error`, for a wrong command line.
bool Parse(int argc, char** argv, Options& o, std::string& error) {
  int i = 1;
  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a.rfind("--", 0) != 0) break;  // the engine's command line begins
    if (a == "--verbose") {
      o.Verbose = true;
      continue;
    }
    if (a == "--help") return false;  // the usage alone
    if (i + 1 >= argc) {
      error = a + " needs a value";
      return false;
    }
    const char* v = argv[++i];
    int n = 0;
    // The option's value is refused; `wanted` says what it must be.
    auto refuse = [&](const char* wanted) {
      error = a + " takes " + wanted + ", not \"" + v + "\"";
      return false;
    };
    if (a == "--port") {
      o.Port = v;
      if (o.Port.empty()) return refuse("a port number or a device");
    } else if (a == "--colour" || a == "--color") {
      if (std::strcmp(v, "black") == 0) {
        o.Relay.EngineColour = gtp::Black;
      } else if (std::strcmp(v, "white") == 0) {
        o.Relay.EngineColour = gtp::White;
      } else {
        return refuse("black or white");
      }
    } else if (a == "--games") {
      if (!Number(v, o.Relay.Games, 1, 10000)) return refuse("a whole number from 1 to 10000");
    } else if (a == "--komi") {
      // A decimal number as SGF writes a real: an optional sign, digits, and
      // digits after a point (no exponent, no hexadecimal, no bare point).
      const char* p = v + (*v == '+' || *v == '-');
      const char* digits = p;
      while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
      const char* wanted = "a decimal number such as 6.5 or -0.5, at most 1000 either way";
      if (p == digits) return refuse(wanted);
      if (*p == '.') {
        const char* fraction = ++p;
        while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
        if (p == fraction) return refuse(wanted);
      }
      if (*p != '\0' || std::fabs(std::strtod(v, nullptr)) > 1000) return refuse(wanted);
      o.Relay.Komi = v;
    } else if (a == "--sgf") {
      o.SgfFolder = v;
    } else if (a == "--wait") {
      // In rounds of the link library's 10 s wait.
      if (!Number(v, n, 1, 86400)) return refuse("seconds from 1 to 86400");
      o.Relay.AgreeRounds = (n + 9) / 10;
    } else if (a == "--pass-from") {
      if (!Number(v, o.Relay.PassFrom, 1, 100000))
        return refuse("a number of moves from 1 to 100000");
    } else if (a == "--move-wait" || a == "--gtp-wait") {
      if (!Number(v, n, 1, 86400)) return refuse("seconds from 1 to 86400");
      (a == "--move-wait" ? o.Relay.MoveWaitMs : o.Relay.CommandWaitMs) =
          static_cast<std::uint32_t>(n) * 1000u;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  for (; i < argc; ++i) o.Engine.push_back(argv[i]);
  if (o.Engine.empty() && argc > 1) error = "no engine given";
  return !o.Engine.empty();
}

// Lines come from this thread and from the link library's reader thread.
std::mutex PrintLock;

void Print(FILE* stream, const std::string& line) {
  std::lock_guard<std::mutex> lock(PrintLock);
  std::fprintf(stream, "%s\n", line.c_str());
  std::fflush(stream);
}

void Out(const std::string& line) { Print(stdout, line); }

bool WriteSgf(const std::string& folder, const gtp::GameRecord& record, std::string& error) {
  std::string path;
  if (!gtp::WriteGameSgf(folder, record, path, error)) return false;
  Out("game " + std::to_string(record.Number) + ": record in " + path);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  std::string wrong;
  if (!Parse(argc, argv, opt, wrong)) {
    Usage();
    if (!wrong.empty()) Print(stderr, "duelcom-gtp: " + wrong);
    return 2;
  }
  gtp::GuardChildren();
  opt.Relay.Date = gtp::Today();

  std::string error;
  std::unique_ptr<gtp::ChildProcess> engine = gtp::ChildProcess::Start(opt.Engine, error);
  if (!engine) {
    Print(stderr, "duelcom-gtp: " + error);
    return 1;
  }

  gtp::GtpClient client(*engine, opt.Verbose ? [](const std::string& l) { Out("gtp " + l); }
                                             : gtp::GtpClient::Monitor());
  duelcom::LinkContext::TextSink gmpMonitor;
  if (opt.Verbose) {
    gmpMonitor = [](const char* text) {
      std::string line = text;
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      Out("gmp " + line);
    };
  }
  gtp::DuelcomLine line(opt.Port, gmpMonitor);
  gtp::Relay relay(line, client, opt.Relay, Out,
                   opt.Verbose ? gtp::Relay::Sink(Out) : gtp::Relay::Sink());
  std::string sgfError;
  std::string resigned;  // the games the engine resigned
  relay.OnGameEnd = [&](const gtp::GameRecord& record) {
    if (record.ResignedAtMove > 0)
      resigned += (resigned.empty() ? "" : ", ") + std::to_string(record.Number);
    std::string e;
    if (!opt.SgfFolder.empty() && !WriteSgf(opt.SgfFolder, record, e) && sgfError.empty())
      sgfError = e;
  };

  const bool played = relay.Run();
  line.Close();
  std::string failure = played ? sgfError : relay.Error();
  if (relay.EngineGone()) {
    // Nothing more is read from it (its output ended, or it did not answer in
    // time): it is ended at once, with whatever it started.
    failure += " (the engine: " + engine->Kill() + ")";
  } else {
    // Asked to quit, then given its input's end; one that does not go is ended.
    engine->WriteLine("quit");
    engine->Stop(3000);
  }
  if (!failure.empty()) {
    Print(stderr, "duelcom-gtp: " + failure);
    return 1;
  }
  Out("duelcom-gtp: " + std::to_string(opt.Relay.Games) + " game" +
      (opt.Relay.Games == 1 ? "" : "s") + " played");
  // The series went on, but the far end never learnt of the resignation.
  if (!resigned.empty()) {
    Print(stderr, "duelcom-gtp: the engine resigned in game " + resigned +
                      "; the line has no resignation, so it passed instead");
    return 3;
  }
  return 0;
}
