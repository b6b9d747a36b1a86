// The puppet prepared and its games started by Tovarin's own scripts, against the
// reference puppets on the simulated desktop: launch, placement, options, a first
// game with the chosen colour played to its end, and a second game with the
// colours swapped. Everything runs in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/MatchWorld.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using platform::Rect;
using refpuppet::Move;
using refpuppet::ReferencePuppet;
using refpuppet::Stone;
using testing_world::World;

// ---- What the options scripts want, read from their pixel tests ----

// A tick read at window point (X, Y) (the window stands at (0, 0) then), or at
// (OrX, Y) when nothing shows at (X, Y), and the state the script's test wants.
struct Tick {
  int X;
  int Y;
  int Wanted;
  int OrX = 0;
};

struct WantedOptions {
  std::vector<Tick> Ticks;
  std::map<std::string, int> Named;  // settings without a tick to read
};

const std::map<int, WantedOptions>& OptionsWanted() {
  static const std::map<int, WantedOptions> wanted = {
      {1, {{{191, 67, 0}, {191, 83, 0}}, {}}},
      {2, {{{253, 51, 1}, {253, 67, 0}, {253, 83, 0}}, {{"record-pane", 0}}}},
      {3,
       {{{254, 51, 0},
         {254, 67, 0},
         {254, 83, 0},
         {254, 99, 0},
         {254, 124, 1},
         {254, 140, 0},
         {254, 156, 0},
         {80, 164, 0}},
        {}}},
      {4, {{{124, 140, 1}}, {{"think-time", 555}}}},
      {5, {{{199, 67, 0}, {199, 108, 0}, {199, 124, 0}}, {}}},
      {6, {{{199, 101, 1}, {199, 117, 0}, {315, 120, 0}, {30, 120, 0}}, {}}},
      {7,
       {{{255, 51, 0},
         {255, 67, 0},
         {255, 83, 0},
         {255, 99, 0},
         {255, 124, 1},
         {255, 140, 0},
         {68, 154, 0}},
        {}}},
      {8,
       {{{263, 51, 0, 267},
         {263, 67, 0, 267},
         {263, 83, 0, 267},
         {263, 99, 0, 267},
         {263, 140, 0, 267},
         {68, 154, 0}},
        {}}},
      {12, {{{253, 51, 0}, {253, 67, 0}, {253, 83, 0}, {253, 149, 0}, {253, 165, 0}}, {}}},
      {13, {{{191, 51, 0}, {191, 67, 0}, {191, 99, 0}}, {{"board-style", 1}}}},
      {15, {{{191, 51, 0}, {191, 67, 1}}, {{"board-style", 1}}}},
      {16, {{{200, 101, 0}, {200, 117, 1}, {315, 132, 0}, {31, 132, 0}}, {}}},
      {18, {{}, {{"level", 0}, {"komi", 0}}}},
  };
  return wanted;
}

// Settings of the new-game dialogs that only the first game's steps change; the
// puppets keep them between games, so a later game must leave them alone.
const std::map<int, std::vector<std::string>>& FirstGameSettings() {
  static const std::map<int, std::vector<std::string>> settings = {
      {5, {"japanese-rules"}},
      {6, {"even-game", "no-time-limit"}},
      {7, {"even-game"}},
      {8, {"even-game"}},
      {9, {"japanese-rules"}},
      {13, {"even-game", "no-time-limit"}},
      {15, {"even-game", "no-time-limit"}},
      {16, {"even-game", "no-time-limit"}},
      {18, {"even-game", "no-time-limit", "show-result"}},
  };
  return settings;
}

void ExpectOptionsSet(const ReferencePuppet& puppet, int profile) {
  auto it = OptionsWanted().find(profile);
  if (it == OptionsWanted().end()) return;
  for (const Tick& t : it->second.Ticks) {
    std::optional<int> state = puppet.TickAt(t.X, t.Y);
    if (!state && t.OrX != 0) state = puppet.TickAt(t.OrX, t.Y);
    ASSERT_TRUE(state.has_value()) << "profile " << profile << ": no tick at " << t.X << "," << t.Y;
    EXPECT_EQ(*state, t.Wanted) << "profile " << profile << ": the tick at " << t.X << "," << t.Y;
  }
  for (const auto& [name, value] : it->second.Named)
    EXPECT_EQ(puppet.Setting(name), value) << "profile " << profile << ": " << name;
}

void ExpectFirstGameSettingsKept(const ReferencePuppet& puppet, int profile, int gameNo) {
  auto it = FirstGameSettings().find(profile);
  if (it == FirstGameSettings().end()) return;
  for (const std::string& name : it->second)
    EXPECT_EQ(puppet.Setting(name), 1)
        << "profile " << profile << ", game " << gameNo << ": " << name;
}

// ---- A match on the simulated desktop ----

struct Case {
  int Profile;
  bool BlackFirst;  // the puppet's colour in the first game
  int Width = 1024;
  int Height = 768;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "profile " << c.Profile << (c.BlackFirst ? " black first" : " white first") << " on "
      << c.Width << "x" << c.Height;
}

struct Match {
  explicit Match(const Case& c, refpuppet::PuppetOptions options = {})
      : Profile(c.Profile), W(c.Width, c.Height), F(W.Form1()), Launcher(W.Desktop) {
    Launcher.Options = options;
    Launcher.PreferEdition(c.Profile);
    Launcher.RegisterAll();
    std::ofstream("touroku.txt") << c.Profile << " C:\\Games\\"
                                 << refpuppet::DesignOf(c.Profile)->Executables[0] << "\n";
    std::ofstream("tourokusuu.txt") << 1;
    Registered = F.ReadAndListRegistry();
    W.Form2().ListBox1.SetItemIndex(0);
    // The start of a match hides both windows while the puppet is prepared.
    F.Hide();
    W.Form3().Hide();
    F.ClearLog();
    W.Desktop.ClearInputLog();
  }
  ReferencePuppet* Puppet() { return Launcher.Find(Profile); }

  int Profile;
  World W;
  tovarin::TForm1& F;
  refpuppet::PuppetLauncher Launcher;
  bool Registered = false;
};

refpuppet::PuppetOptions ShortGames(const Case& c) {
  refpuppet::PuppetOptions o;
  o.Seed = 300 + static_cast<std::uint64_t>(c.Profile);
  // It opens with the other side, so the new-game script has to change it; half
  // of the cases start every tick the other way round.
  o.PuppetIsBlack = !c.BlackFirst;
  o.TurnedSettings = c.BlackFirst;
  o.PassFromMove = 8;
  o.OpeningScreen = true;
  return o;
}

class Prepared : public ::testing::TestWithParam<Case> {};

// A match of two games: the puppet is launched, placed and set up, and each game
// is started in it through its menus with the puppet on the side asked for, the
// colours swapped for the second; both games are relayed to their end.
TEST_P(Prepared, SetsOptionsAndStartsGamesOfBothColours) {
  const Case c = GetParam();
  testing_world::MatchSetup s;
  s.Profile = c.Profile;
  s.PuppetIsBlack = c.BlackFirst;
  s.Games = "2";
  s.Width = c.Width;
  s.Height = c.Height;
  s.Puppet = ShortGames(c);
  testing_world::MatchWorld m(s);
  m.Partner.Seed = 400 + static_cast<std::uint64_t>(c.Profile);
  m.Partner.PassFromMove = 8;
  std::vector<std::string> lines;  // every line the log was given
  m.W.App.OnLineAppended = [&](const ui::Memo&, const std::string& line) { lines.push_back(line); };
  // Each game's checks, once its new game stands in the puppet and the link opens.
  int games = 0;
  m.Partner.OnCall = [&](const simworld::ScriptedLink::Call& call) {
    if (call.Name != "initcom") return;
    const bool black = (++games == 1) == c.BlackFirst;
    SCOPED_TRACE("game " + std::to_string(games) + (black ? ", puppet black" : ", puppet white"));
    ReferencePuppet* puppet = m.Puppet();
    ASSERT_NE(puppet, nullptr);
    if (games == 1) {
      ASSERT_EQ(m.F.ProfileNo, c.Profile);
      const refpuppet::PuppetDesign& design = puppet->Design();
      const int left = c.Profile == 14 || c.Profile == 17 ? -35 : 0;
      const int height = std::max(design.Height, design.KeptHeight);
      EXPECT_EQ(m.F.PuppetRect, (Rect{left, 0, left + design.Width, height}));
      Rect actual;
      ASSERT_TRUE(m.W.Desktop.GetWindowRect(puppet->Window(), actual));
      EXPECT_EQ(actual, m.F.PuppetRect);
      ExpectOptionsSet(*puppet, c.Profile);
      if (c.Profile == 6) {
        EXPECT_EQ(m.F.ListChoice, 3);  // the strength the puppet was set to
      }
    }
    EXPECT_EQ(puppet->GamesStarted(), games + 1);  // the one it opened with, and ours
    EXPECT_EQ(puppet->Colour(), black ? Stone::Black : Stone::White);
    EXPECT_FALSE(puppet->GameOver());
    EXPECT_FALSE(puppet->PanelOpen()) << "a menu or dialog is left open";
    EXPECT_FALSE(puppet->BoxOpen()) << "a box is left open";
    ExpectFirstGameSettingsKept(*puppet, c.Profile, games);
  };
  ASSERT_TRUE(m.Play());

  EXPECT_EQ(games, 2);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "傀儡前化粧 OK"), lines.end());
  ASSERT_EQ(m.Partner.Records.size(), 2u);
  EXPECT_EQ(m.Puppet()->Game().History(), m.Partner.Records[1]);
  EXPECT_TRUE(m.Boxes().empty());
}

std::vector<Case> EveryProfileBothColours() {
  std::vector<Case> cases;
  for (int p = 1; p <= puppet::ProfileCount; ++p)
    for (bool black : {true, false}) cases.push_back(Case{p, black});
  return cases;
}

// The profiles whose scripts click relative to the screen's centre, on the
// smallest screen they play on.
std::vector<Case> CentredOnASmallScreen() {
  std::vector<Case> cases;
  for (int p : {4, 5, 9, 10, 14})
    for (bool black : {true, false}) cases.push_back(Case{p, black, 800, 600});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return "Profile" + std::to_string(info.param.Profile) +
         (info.param.BlackFirst ? "BlackFirst" : "WhiteFirst");
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, Prepared, ::testing::ValuesIn(EveryProfileBothColours()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(SmallScreen, Prepared, ::testing::ValuesIn(CentredOnASmallScreen()),
                         CaseName);

// ---- A puppet that cannot be placed ----

TEST(PreparePuppet, AWindowThatRefusesToMoveIsReportedLeftAloneAndStopsTheStart) {
  refpuppet::PuppetOptions o;
  o.RefusesPlacement = true;
  Match m(Case{12, true}, o);
  EXPECT_FALSE(m.F.PreparePuppet());
  const std::vector<std::string>& log = m.W.Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{"", "傀儡位置を(120,60)に移動しました！",
                                      "この傀儡を操る事は出来ません！"}));
  // No option was set: nothing was clicked.
  EXPECT_TRUE(m.W.Desktop.Clicks().empty());
  EXPECT_EQ(m.Puppet()->TickAt(253, 51), 1);
}

TEST(PreparePuppet, AMinimisedWindowIsReportedLeftAloneAndStopsTheStart) {
  refpuppet::PuppetOptions o;
  o.StartsMinimised = true;
  Match m(Case{2, true}, o);
  EXPECT_FALSE(m.F.PreparePuppet());
  const std::vector<std::string>& log = m.W.Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(
      std::vector<std::string>(log.end() - 2, log.end()),
      (std::vector<std::string>{"タスクバーで寝ている よ！", "通信対戦エラーになりました！"}));
  EXPECT_EQ(m.F.PuppetRect.Left, 3000);
  EXPECT_TRUE(m.W.Desktop.Clicks().empty());
  EXPECT_EQ(m.Puppet()->Setting("record-pane"), 1);
}

}  // namespace
