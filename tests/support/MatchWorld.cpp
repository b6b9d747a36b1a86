#include "tests/support/MatchWorld.h"

#include <algorithm>
#include <fstream>

namespace testing_world {

refpuppet::PuppetOptions MatchSetup::QuickPuppet() {
  refpuppet::PuppetOptions o;
  o.ThinkMs = 300;
  o.ThinkJitterMs = 400;
  o.PassFromMove = 40;
  return o;
}

MatchWorld::MatchWorld(const MatchSetup& setup)
    : W(setup.Width, setup.Height),
      Partner(W.Clock),
      Launcher(W.Desktop),
      Operator(W.App, W.Program),
      F(W.Form1()),
      Setup(setup) {
  W.Loader.Target = &Partner;
  Partner.PassFromMove = 40;
  Launcher.Options = setup.Puppet;
  Launcher.PreferEdition(setup.Profile);
  Launcher.RegisterAll();
  // The program registered before this run, as the register button writes it.
  std::ofstream("touroku.txt") << setup.Profile << " C:\\Games\\"
                               << refpuppet::DesignOf(setup.Profile)->Executables[0] << "\n";
  std::ofstream("tourokusuu.txt") << 1;
  W.App.PumpUntil([this] { return F.StartupDone; }, 5000);
}

bool MatchWorld::Play(std::uint32_t limitMs) {
  simworld::MatchSettings s;
  s.PuppetIsBlack = Setup.PuppetIsBlack;
  s.Games = Setup.Games;
  Operator.StartMatch(s);
  return W.App.PumpUntil([this] { return Operator.MatchOver(); }, limitMs);
}

void MatchWorld::RunFor(std::uint32_t ms) {
  W.App.PumpUntil([] { return false; }, ms);
}

void MatchWorld::StepEveryMillisecond() {
  W.Clock.Schedule(1, [this] { StepEveryMillisecond(); });
}

void MatchWorld::PressAbortAfter(std::uint32_t ms) {
  W.Clock.Schedule(ms, [this] { W.App.Click(F.SpeedButton1); });
}

std::vector<std::string> MatchWorld::LogFrom(const std::string& first) {
  const std::vector<std::string>& log = W.Log();
  auto it = std::find(log.begin(), log.end(), first);
  if (it == log.end()) it = log.begin();
  return std::vector<std::string>(it, log.end());
}

std::vector<refpuppet::Move> MatchWorld::Record() const {
  std::vector<refpuppet::Move> moves;
  for (int i = 1; i <= F.MoveCount; ++i) {
    int p = F.MoveRecord[static_cast<std::size_t>(i)];
    moves.push_back(refpuppet::Move{board::CodeX(p), board::CodeY(p)});
  }
  return moves;
}

std::vector<std::string> MatchWorld::Boxes() const {
  std::vector<std::string> texts;
  for (const auto& box : W.App.MessageBoxes) texts.push_back(box.Text);
  return texts;
}

int MatchWorld::CallsAfterClose() const {
  const auto& calls = Partner.Calls;
  for (std::size_t i = calls.size(); i-- > 0;)
    if (calls[i].Name == "closecom") return static_cast<int>(calls.size() - i - 1);
  return static_cast<int>(calls.size());
}

}  // namespace testing_world
