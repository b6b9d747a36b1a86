// duelcom-engine: a GTP engine whose moves come from the far end of a Go Modem
// Protocol line. A GTP controller (a GUI, a match runner, a bridge to a Go
// server) starts it as it would any engine; the program at the far end of the
// serial line (Tovarin with its puppet, or any program that speaks the
// protocol) then plays through it.
//
// GTP goes on standard input and output; what the engine says of the line goes
// to standard error.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

#include "gtp/DuelcomLine.h"
#include "gtp/LineEngine.h"
#include "gtp/Number.h"
#include "gtp/SgfFile.h"

namespace {

struct Options {
  std::string Port = "1";
  gtp::LineEngineSettings Engine;
  std::string SgfFolder;
  bool Verbose = false;
};

void Usage() {
  std::fprintf(
      stderr,
      "usage: duelcom-engine [--port PORT] [--colour black|white] [--name NAME]\n"
      "                      [--sgf FOLDER] [--wait SECONDS] [--move-wait SECONDS] [--verbose]\n"
      "A GTP engine (version 2, on standard input and output) whose moves come from the\n"
      "program at the far end of the serial line, which speaks the Go Modem Protocol:\n"
      "genmove waits for the far end's move, play sends the controller's move to it.\n"
      "  --port PORT        1 or 2 (COM1 or COM2), or a device: a path such as /dev/ttyUSB0\n"
      "                     on Linux, a port name such as COM3 on Windows (default 1)\n"
      "  --colour C         the far end's colour in the first game; colours swap with\n"
      "                     each clear_board that starts a new game (default black)\n"
      "  --name NAME        the engine's name for the controller (default duelcom-engine)\n"
      "  --sgf FOLDER       keep each game as FOLDER/game-N.sgf\n"
      "  --wait SECONDS     how long clear_board waits for the new game to be agreed on\n"
      "                     the line (default 120)\n"
      "  --move-wait SECONDS  how long genmove waits for the far end's move (default 1800)\n"
      "  --verbose          print every packet and protocol warning on standard error\n");
}

bool Parse(int argc, char** argv, Options& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--verbose") {
      o.Verbose = true;
      continue;
    }
    if (a == "--help") return false;
    if (i + 1 >= argc) {
      error = a + " needs a value";
      return false;
    }
    const char* v = argv[++i];
    int n = 0;
    auto refuse = [&](const char* wanted) {
      error = a + " takes " + wanted + ", not \"" + v + "\"";
      return false;
    };
    if (a == "--port") {
      o.Port = v;
      if (o.Port.empty()) return refuse("a port number or a device");
    } else if (a == "--colour" || a == "--color") {
      if (std::strcmp(v, "black") == 0) {
        o.Engine.FarColour = gtp::Black;
      } else if (std::strcmp(v, "white") == 0) {
        o.Engine.FarColour = gtp::White;
      } else {
        return refuse("black or white");
      }
    } else if (a == "--name") {
      o.Engine.Name = v;
      if (o.Engine.Name.empty() || o.Engine.Name.find('\n') != std::string::npos)
        return refuse("a name on one line");
    } else if (a == "--sgf") {
      o.SgfFolder = v;
    } else if (a == "--wait" || a == "--move-wait") {
      if (!gtp::Number(v, n, 1, 86400)) return refuse("seconds from 1 to 86400");
      (a == "--wait" ? o.Engine.AgreeMs : o.Engine.MoveWaitMs) =
          static_cast<std::uint32_t>(n) * 1000u;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  return true;
}

// Lines come from this thread and from the link library's reader thread.
std::mutex PrintLock;

void Say(const std::string& line) {
  std::lock_guard<std::mutex> lock(PrintLock);
  std::fprintf(stderr, "duelcom-engine: %s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  std::string wrong;
  if (!Parse(argc, argv, opt, wrong)) {
    Usage();
    if (!wrong.empty()) Say(wrong);
    return 2;
  }
  opt.Engine.Date = gtp::Today();
  duelcom::LinkContext::TextSink monitor;
  if (opt.Verbose) {
    monitor = [](const char* text) {
      std::string line = text;
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      Say("gmp " + line);
    };
  }
  gtp::DuelcomLine line(opt.Port, monitor);
  gtp::LineEngine engine(line, opt.Engine);
  engine.Say = Say;
  engine.OnGameEnd = [&](const gtp::GameRecord& record) {
    Say("game " + std::to_string(record.Number) + ": over after " +
        std::to_string(record.Moves.size()) + " moves" +
        (record.Stopped.empty() ? "" : " (" + record.Stopped + ")"));
    if (opt.SgfFolder.empty()) return;
    std::string path, error;
    if (gtp::WriteGameSgf(opt.SgfFolder, record, path, error)) {
      Say("game " + std::to_string(record.Number) + ": record in " + path);
    } else {
      Say(error);
    }
  };
  engine.Start();
  for (std::string input; !engine.QuitAsked() && std::getline(std::cin, input);) {
    const std::string reply = engine.Handle(input);
    if (reply.empty()) continue;
    std::fputs(reply.c_str(), stdout);
    std::fflush(stdout);
  }
  line.Close();
  return 0;
}
