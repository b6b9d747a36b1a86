#pragma once
// A match on the simulated desktop in virtual time: Tovarin with a reference
// puppet registered, the scripted partner served as the link library, and the
// operator who presses the start button and answers the settings dialog.
#include <string>
#include <vector>

#include "sim/Operator.h"
#include "sim/ScriptedLink.h"
#include "sim/puppets/PuppetLauncher.h"
#include "tests/support/World.h"

namespace testing_world {

struct MatchSetup {
  int Profile = 1;
  bool PuppetIsBlack = true;
  std::string Games = "1";
  int Width = 1024;
  int Height = 768;
  refpuppet::PuppetOptions Puppet = QuickPuppet();
  // A puppet that thinks a little and ends its games soon.
  static refpuppet::PuppetOptions QuickPuppet();
};

class MatchWorld {
 public:
  explicit MatchWorld(const MatchSetup& setup);

  testing_world::World W;
  simworld::ScriptedLink Partner;
  refpuppet::PuppetLauncher Launcher;
  simworld::Operator Operator;
  tovarin::TForm1& F;
  MatchSetup Setup;

  // Presses the start button and handles messages until the match is over or
  // `limitMs` of program time have passed; true when it is over.
  bool Play(std::uint32_t limitMs = 3600000);
  // Handles messages for `ms` of program time.
  void RunFor(std::uint32_t ms);
  // From now on an event falls due every millisecond. The idle message loop steps
  // up to 10 ms at a time but never past a due event, so with this every wait that
  // handles messages ends on the exact tick its length gives.
  void StepEveryMillisecond();
  // The operator presses the button of `SpeedButton1` (abort or finish) after `ms`.
  void PressAbortAfter(std::uint32_t ms);
  refpuppet::ReferencePuppet* Puppet() { return Launcher.Find(Setup.Profile); }
  // The log lines from the first one equal to `first` on (all of it when absent).
  std::vector<std::string> LogFrom(const std::string& first);
  // Tovarin's record of the game as moves, passes included.
  std::vector<refpuppet::Move> Record() const;
  // The message boxes shown so far, their texts only.
  std::vector<std::string> Boxes() const;
  // Calls into the library made after it was last closed (all of them when never).
  int CallsAfterClose() const;
};

}  // namespace testing_world
