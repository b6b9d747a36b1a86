#include "sim/GtpPartner.h"

#include <chrono>
#include <cstdio>
#include <utility>

namespace simworld {

GtpPartner::GtpPartner(std::string program, std::vector<std::string> engine, std::string sgfFolder)
    : Program_(std::move(program)), Engine_(std::move(engine)), SgfFolder_(std::move(sgfFolder)) {
  Child_.OnLine = [this](const std::string& line) {
    int game = 0;
    if (std::sscanf(line.c_str(), "game %d: line open", &game) == 1 &&
        line.find(": line open") != std::string::npos) {
      std::lock_guard<std::mutex> lock(Lock_);
      LinesOpen_ = game;
      Changed_.notify_all();
    }
  };
  Child_.OnEnd = [this] {
    std::lock_guard<std::mutex> lock(Lock_);
    Ended_ = true;
    Changed_.notify_all();
  };
}

GtpPartner::~GtpPartner() = default;

std::vector<std::string> GtpPartner::SplitCommand(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (char c : line) {
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else {
        word += c;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool GtpPartner::MakeLines(std::string& tovarinPort, std::string& error,
                           const NullModem::Faults& faults) {
  Lines_.SetFaults(faults);
  if (!Lines_.Open(error)) return false;
  tovarinPort = Lines_.Port(0);
  return true;
}

bool GtpPartner::Start(bool engineBlack, int games, std::string& error) {
  if (!Lines_.IsOpen() || Started()) {
    error = "duelcom-gtp cannot be started here";
    return false;
  }
  std::vector<std::string> args = {Program_,
                                   "--port",
                                   Lines_.Port(1),
                                   "--colour",
                                   engineBlack ? "black" : "white",
                                   "--games",
                                   std::to_string(games),
                                   "--sgf",
                                   SgfFolder_,
                                   "--"};
  args.insert(args.end(), Engine_.begin(), Engine_.end());
  return Child_.Start(args, "    [duelcom-gtp] ", {}, error);
}

bool GtpPartner::WaitForLine(int game, int timeoutMs) {
  std::unique_lock<std::mutex> lock(Lock_);
  Changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                    [&] { return LinesOpen_ >= game || Ended_; });
  return LinesOpen_ >= game;
}

bool GtpPartner::Finish(int timeoutMs, std::string& how) {
  const int status = Child_.Finish(timeoutMs, how);
  // 3: every game ended, one of them after the engine's resignation.
  return status == 0 || status == 3;
}

}  // namespace simworld
