#pragma once
// A second copy of tovarin-sim as the partner at the far end of the line, as
// another operator would run Tovarin on another machine: its own Tovarin,
// puppet and link library on the other end of a null-modem pair of
// pseudo-terminals (NullModem). It works in a folder of its own, where it keeps
// its registry files and records, and may be started some seconds late.
#include <string>
#include <utility>
#include <vector>

#include "sim/ChildProgram.h"
#include "sim/NullModem.h"

namespace simworld {

class TovarinPartner {
 public:
  // `program` is tovarin-sim.
  explicit TovarinPartner(std::string program) : Program_(std::move(program)) {}
  TovarinPartner(const TovarinPartner&) = delete;
  TovarinPartner& operator=(const TovarinPartner&) = delete;

  // Makes the two joined lines, a cable that does `faults`; `port` is the
  // device of this copy's port.
  bool MakeLines(std::string& port, std::string& error, const NullModem::Faults& faults = {});
  // Starts the copy `delaySeconds` from now in `folder`, which is made and given
  // the pictures of ./bmp, with `options` (its profile, colour, games...); its
  // partner is the other end of the lines and its records stay in `folder`. Its
  // output is printed, each line marked.
  bool Start(const std::vector<std::string>& options, const std::string& folder,
             unsigned delaySeconds, std::string& error);
  // Waits up to `timeoutMs` for the copy to end by itself (it is stopped after
  // that). True when it relayed every game; `how` says how it ended.
  bool Finish(int timeoutMs, std::string& how) { return Child_.Finish(timeoutMs, how) == 0; }

 private:
  std::string Program_;
  NullModem Lines_;
  ChildProgram Child_;  // ended before the lines close
};

}  // namespace simworld
