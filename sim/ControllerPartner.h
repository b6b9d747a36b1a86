#pragma once
// A GTP controller at the far end of the line: on the other end of a null-modem
// pair of pseudo-terminals, duelcom-engine makes Tovarin and its puppet a GTP
// engine, and a GTP controller of someone else's (@sabaki/gtp, the Sabaki GUI's,
// driven by sim/node/gtp-match.js) plays a GTP engine against it, a series with
// colours swapped after each game as Tovarin's series swaps them. Each game's
// moves as the controller saw them go to FOLDER/controller-N.txt, duelcom-engine's
// records to FOLDER/engine/game-N.sgf.
#include <string>
#include <vector>

#include "sim/ChildProgram.h"
#include "sim/NullModem.h"

namespace simworld {

class ControllerPartner {
 public:
  // `engineProgram` is duelcom-engine, `opponent` the GTP engine's command line
  // split into words.
  ControllerPartner(std::string engineProgram, std::vector<std::string> opponent,
                    std::string folder);
  ControllerPartner(const ControllerPartner&) = delete;
  ControllerPartner& operator=(const ControllerPartner&) = delete;

  // Makes the two joined lines, a cable that does `faults`; `tovarinPort` is the
  // device of Tovarin's port.
  bool MakeLines(std::string& tovarinPort, std::string& error,
                 const NullModem::Faults& faults = {});
  // Starts the controller for a series of `games`, the puppet black in the
  // first one or not. Its output is printed, each line marked.
  bool Start(bool puppetBlack, int games, std::string& error);
  bool Started() const { return Child_.Started(); }
  // Waits up to `timeoutMs` for the controller to end by itself (it is stopped
  // after that). True when every game ended on two passes; `how` says how it
  // ended.
  bool Finish(int timeoutMs, std::string& how) { return Child_.Finish(timeoutMs, how) == 0; }

 private:
  std::string Engine_;
  std::vector<std::string> Opponent_;
  std::string Folder_;
  NullModem Lines_;
  ChildProgram Child_;  // ended first, while the lines are still there
};

}  // namespace simworld
