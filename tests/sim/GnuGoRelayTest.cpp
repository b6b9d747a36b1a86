// tovarin-sim against GNU Go: Tovarin drives a reference puppet on the simulated
// desktop and relays its games through the link library on a pseudo-terminal to
// GNU Go in its GMP mode, or in its GTP mode behind duelcom-gtp. Each game's
// record as Tovarin kept it must equal the other side's record, move by move.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/sim/SimRun.h"
#include "tests/support/SgfMoves.h"
#include "tests/support/World.h"
#include "tovarin/puppet/Profiles.h"

namespace {

namespace fs = std::filesystem;

using testing_world::RunSim;
using testing_world::SgfMove;
using testing_world::SimRun;
using testing_world::Slurp;
using Moves = std::vector<SgfMove>;

// Every game of a run: Tovarin's record is GNU Go's, and the puppet played
// `puppetBlack[n]` in game n + 1.
void ExpectRecordsAlike(const fs::path& folder, const std::vector<bool>& puppetBlack,
                        const std::string& puppetName) {
  for (std::size_t n = 1; n <= puppetBlack.size(); ++n) {
    SCOPED_TRACE("game " + std::to_string(n));
    const std::string ours = Slurp(folder / ("game-" + std::to_string(n) + ".sgf"));
    const std::string theirs = Slurp(folder / ("gnugo-" + std::to_string(n) + ".sgf"));
    const Moves a = testing_world::SgfMoves(ours), b = testing_world::SgfMoves(theirs);
    ASSERT_GE(a.size(), 20u);
    ASSERT_GE(b.size(), a.size());
    EXPECT_EQ(a, std::vector<SgfMove>(b.begin(), b.begin() + static_cast<long>(a.size())));
    // The game ended on two passes.
    EXPECT_EQ(a[a.size() - 1].Point, "");
    EXPECT_EQ(a[a.size() - 2].Point, "");
    EXPECT_EQ(testing_world::SgfProperty(ours, puppetBlack[n - 1] ? "PB" : "PW"), puppetName);
    EXPECT_TRUE(fs::exists(folder / ("screen-" + std::to_string(n) + ".png")));
  }
}

struct Case {
  int Profile;
  bool PuppetIsBlack;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "profile " << c.Profile << (c.PuppetIsBlack ? " black" : " white");
}

// Every profile plays black when its number is odd, white when it is even; with
// TOVARIN_E2E=all in the environment, both colours of every profile.
std::vector<Case> Cases() {
  const char* all = std::getenv("TOVARIN_E2E");
  std::vector<Case> cases;
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    cases.push_back({p, p % 2 == 1});
    if (all && std::string(all) == "all") cases.push_back({p, p % 2 == 0});
  }
  return cases;
}

class AgainstGnuGo : public ::testing::TestWithParam<Case> {};

TEST_P(AgainstGnuGo, AWholeGameIsRelayedMoveForMove) {
  const Case c = GetParam();
  testing_world::TempFolder folder;
  const SimRun run = RunSim(folder.Path(), "--profile " + std::to_string(c.Profile) + " --colour " +
                                               (c.PuppetIsBlack ? "black" : "white") +
                                               " --puppet-passes-from 40 --timeout 240");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find(" 手まで 終局しました！"), std::string::npos);
  ExpectRecordsAlike(folder.Path(), {c.PuppetIsBlack}, puppet::DisplayNameOf(c.Profile));
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return "Profile" + std::to_string(info.param.Profile) +
         (info.param.PuppetIsBlack ? "Black" : "White");
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, AgainstGnuGo, ::testing::ValuesIn(Cases()), CaseName);

TEST(AgainstGnuGo, ASeriesOfThreeGamesSwapsColours) {
  testing_world::TempFolder folder;
  const SimRun run = RunSim(folder.Path(),
                            "--profile 1 --colour black --games 3 --puppet-passes-from 40 "
                            "--timeout 600");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("全 3 局 が終了しました。"), std::string::npos);
  ExpectRecordsAlike(folder.Path(), {true, false, true}, puppet::DisplayNameOf(1));
}

// GNU Go in its GTP mode behind duelcom-gtp at the far end of the line, in a
// series of two that starts with the puppet black or white (then on a cable
// that damages 2 % of its bytes): each record Tovarin keeps is the one
// duelcom-gtp keeps, move for move.
class AgainstAGtpEngine : public ::testing::TestWithParam<bool> {};

TEST_P(AgainstAGtpEngine, ASeriesOfTwoIsRelayedMoveForMove) {
  const bool puppetBlack = GetParam();
  testing_world::TempFolder folder;
  const SimRun run = RunSim(folder.Path(), std::string("--profile 1 --games 2 --colour ") +
                                               (puppetBlack ? "black" : "white --line-faults 2:5") +
                                               " --partner 'gtp:/usr/games/gnugo --mode gtp "
                                               "--level 1' --puppet-passes-from 30 --timeout 400");
  ASSERT_EQ(run.Status, 0) << run.Output;
  for (int n = 1; n <= 2; ++n) {
    SCOPED_TRACE("game " + std::to_string(n));
    const std::string ours = Slurp(folder.Path() / ("game-" + std::to_string(n) + ".sgf"));
    const std::string theirs = Slurp(folder.Path() / ("gtp/game-" + std::to_string(n) + ".sgf"));
    const Moves moves = testing_world::SgfMoves(ours);
    ASSERT_GE(moves.size(), 20u);
    EXPECT_EQ(moves, testing_world::SgfMoves(theirs));
    const bool black = puppetBlack == (n == 1);
    EXPECT_EQ(testing_world::SgfProperty(ours, black ? "PB" : "PW"), puppet::DisplayNameOf(1));
    EXPECT_EQ(testing_world::SgfProperty(theirs, black ? "PW" : "PB"), "GNU Go 3.8");
  }
}

INSTANTIATE_TEST_SUITE_P(BothColours, AgainstAGtpEngine, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "PuppetBlack" : "PuppetWhiteOnABadCable";
                         });

}  // namespace
