#pragma once
// duelcom-gtp with a GTP engine as the partner at the far end of the line.
//
// Tovarin's port and duelcom-gtp's port are the two ends of a null-modem pair of
// pseudo-terminals (NullModem). duelcom-gtp plays the whole series: it is
// started once Tovarin's port is open for the first game, and each game waits
// until duelcom-gtp's own port is open, so that Tovarin's first packet does not
// go to a closed port.
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "sim/ChildProgram.h"
#include "sim/NullModem.h"

namespace simworld {

class GtpPartner {
 public:
  // `program` is duelcom-gtp, `engine` the engine's command line, split into
  // words (see SplitCommand); duelcom-gtp keeps its records in `sgfFolder`.
  GtpPartner(std::string program, std::vector<std::string> engine, std::string sgfFolder);
  ~GtpPartner();  // duelcom-gtp is not left running
  GtpPartner(const GtpPartner&) = delete;
  GtpPartner& operator=(const GtpPartner&) = delete;

  // The words of a command line: blanks separate them, and single or double
  // quotes keep blanks inside one.
  static std::vector<std::string> SplitCommand(const std::string& line);

  // Makes the two joined lines, a cable that does `faults`; `tovarinPort` is
  // the device of Tovarin's port.
  bool MakeLines(std::string& tovarinPort, std::string& error,
                 const NullModem::Faults& faults = {});
  // Starts duelcom-gtp for a series of `games`, the engine black in the first
  // one or not. Its output is printed, each line marked.
  bool Start(bool engineBlack, int games, std::string& error);
  bool Started() const { return Child_.Started(); }
  // Waits until duelcom-gtp has opened its port for game `game`; false if it
  // ended or did not within `timeoutMs`.
  bool WaitForLine(int game, int timeoutMs);
  // Waits up to `timeoutMs` for duelcom-gtp to end by itself (it is stopped
  // after that). True when it played every game (status 0, or 3 when the
  // engine resigned one); `how` says how it ended.
  bool Finish(int timeoutMs, std::string& how);

 private:
  std::string Program_;
  std::vector<std::string> Engine_;
  std::string SgfFolder_;
  NullModem Lines_;
  std::mutex Lock_;
  std::condition_variable Changed_;
  int LinesOpen_ = 0;   // the last game for which duelcom-gtp said its port was open
  bool Ended_ = false;  // its output has ended
  ChildProgram Child_;  // ended first, while what its reader touches is still here
};

}  // namespace simworld
