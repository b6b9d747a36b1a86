#pragma once
// The operator at the simulated desktop: registers a puppet program with the
// register button and its file dialog, presses the start button and answers the
// settings dialog, as a person would. Every press is posted input, so it reaches
// Tovarin only when Tovarin handles its messages.
#include <string>

#include "platform/headless/HeadlessUi.h"
#include "tovarin/shell/Program.h"

namespace simworld {

struct MatchSettings {
  bool PuppetIsBlack = true;
  int Port = 1;
  std::string Games = "1";  // typed into the dialog's edit box
  int ListLine = 0;         // the registered program chosen, 0-based; -1 the last
};

class Operator {
 public:
  Operator(platform::headless::HeadlessApplication& app, tovarin::Program& program)
      : App_(app), Program_(program) {}

  // Chooses `path` in the register button's file dialog.
  void Register(const std::string& path);
  // Presses the start button; the settings dialog is answered with `settings`.
  void StartMatch(const MatchSettings& settings);
  // The match is over: the button reads "終了" and no relay timer runs.
  bool MatchOver() const;

 private:
  platform::headless::HeadlessApplication& App_;
  tovarin::Program& Program_;
};

}  // namespace simworld
