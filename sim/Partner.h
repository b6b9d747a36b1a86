#pragma once
// tovarin-sim's partner at the far end of the line, behind one interface: every
// kind makes its line, hears of Tovarin's port opening and closing, and ends
// with a verdict. A new kind is one class in Partner.cpp and one line in
// MakePartner.
#include <memory>
#include <string>

#include "sim/NullModem.h"

namespace simworld {

// What a partner is told of the match.
struct PartnerPlan {
  int Games = 1;
  bool PuppetBlackFirst = true;  // Tovarin's puppet, in the first game
  int Port = 1;                  // the port Tovarin opens
  std::string Out = ".";         // where the records go
  NullModem::Faults Faults;      // the cable's, when it is a bad one
  bool BadCable = false;
  // What a second copy of tovarin-sim takes over from this one.
  std::uint64_t Seed = 7;
  int Width = 1024;
  int Height = 768;
  int TimeoutS = 1800;
  int PuppetPassesFrom = 160;
  int DelayS = 0;  // the copy starts that much later
};

class Partner {
 public:
  virtual ~Partner() = default;
  // How the log names it.
  virtual std::string Name() const = 0;
  // Makes what it needs before the match. `device` is Tovarin's port, or empty
  // when each game brings a line of its own (BeforeOpen). False with the reason.
  virtual bool Prepare(std::string& device, std::string& error) = 0;
  // Tovarin is about to open its port for game `game`: `device`, when set, is
  // the port's device for this game.
  virtual bool BeforeOpen(int /*game*/, std::string& /*device*/, std::string& /*error*/) {
    return true;
  }
  // Tovarin has opened its port for game `game`, its puppet black or not.
  virtual bool AfterOpen(int /*game*/, bool /*puppetBlack*/, std::string& /*error*/) {
    return true;
  }
  // Tovarin has closed its port.
  virtual void AfterClose() {}
  // After the match, the partner ends; false with what went wrong. `failed`:
  // the match failed on this side already (the partner then gets less time).
  virtual bool Finish(bool failed, std::string& why) = 0;
  // Started by another operator: Tovarin's fixed waits order the two sides and
  // pass in real time.
  virtual bool RealWaits() const { return true; }
};

// The partner that `option` names (the text after --partner: gnugo[:LEVEL],
// device:PATH, gtp:"ENGINE ARGS", controller:"ENGINE ARGS", tovarin:PROFILE);
// null for an option it does not know.
std::unique_ptr<Partner> MakePartner(const std::string& option, const PartnerPlan& plan);

}  // namespace simworld
