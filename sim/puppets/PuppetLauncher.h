#pragma once
// Installs the reference puppets as programs of the simulated desktop: starting a
// path whose file name is a puppet's executable opens that puppet.
#include <map>
#include <memory>
#include <vector>

#include "platform/headless/SimDesktop.h"
#include "sim/puppets/ReferencePuppet.h"
#include "sim/puppets/SimStage.h"

namespace refpuppet {

class PuppetLauncher {
 public:
  // The desktop must outlive the launcher; the launcher closes its puppets.
  explicit PuppetLauncher(platform::headless::SimDesktop& desktop);
  ~PuppetLauncher();
  PuppetLauncher(const PuppetLauncher&) = delete;
  PuppetLauncher& operator=(const PuppetLauncher&) = delete;

  // Registers the executable file names of all the programs with the desktop.
  void RegisterAll();
  // Opens the program of `profile` at once, as if its executable had been started.
  ReferencePuppet& Start(int profile, int executable = 0);

  // Given to every program started from now on.
  PuppetOptions Options;
  // A file name that two editions share starts the one of `profile` from now
  // on (by default the first that bears it).
  void PreferEdition(int profile);

  // Ends the program of `profile` started last, as a killed process ends: its
  // windows go, nothing of it runs again.
  void Kill(int profile);

  // The program of `profile` started last, or nullptr.
  ReferencePuppet* Find(int profile) const;
  const std::vector<std::unique_ptr<ReferencePuppet>>& Running() const { return Running_; }

 private:
  platform::headless::SimDesktop& Desktop_;
  std::map<std::string, int> Editions_;  // file name -> the profile it starts
  SimStage Stage_;                       // outlives the puppets on it
  std::vector<std::unique_ptr<ReferencePuppet>> Running_;
};

}  // namespace refpuppet
