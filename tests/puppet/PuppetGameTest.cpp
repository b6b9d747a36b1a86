// Whole games between each profile's reference puppet and a scripted partner,
// through Tovarin's move entry and board reading.
#include <gtest/gtest.h>

#include "tests/puppet/GameDriver.h"

namespace {

using puppet_test::GameReport;
using puppet_test::GameSetup;
using puppet_test::PlayGame;
using testing_world::World;

class EveryProfile : public ::testing::TestWithParam<int> {};

TEST_P(EveryProfile, PlaysAGameToItsEndWithBothBoardsAlike) {
  const int profile = GetParam();
  World w;
  refpuppet::PuppetLauncher launcher(w.Desktop);
  GameSetup s;
  s.Profile = profile;
  s.PuppetIsBlack = profile % 2 == 0;
  s.Puppet.Seed = 100 + static_cast<std::uint64_t>(profile);
  s.PartnerSeed = 200 + static_cast<std::uint64_t>(profile);
  s.Puppet.ThinkMs = 650;
  // One pass of each side in mid-game, answered by a move; then the game ends with
  // two passes, the puppet's first for odd profiles and the partner's for even.
  bool puppetOdd = s.PuppetIsBlack;  // Black makes the odd-numbered moves
  s.Puppet.PassAtMoves = {puppetOdd ? 41 : 40};
  s.PartnerPassAtMoves = {puppetOdd ? 30 : 31};
  if (profile % 2 == 1) {
    s.Puppet.PassFromMove = 70;
    s.PartnerPassFromMove = 71;
  } else {
    s.PartnerPassFromMove = 70;
    s.Puppet.PassFromMove = 71;
  }
  GameReport r = PlayGame(w, launcher, s);
  ASSERT_EQ(r.Failure, "");
  EXPECT_TRUE(r.Ended);
  EXPECT_GE(r.Moves, 60);
  EXPECT_GT(r.Captures, 0);
  EXPECT_EQ(r.PuppetPasses, 2);
  EXPECT_EQ(r.PartnerPasses, 2);
  EXPECT_EQ(r.EndedByPuppet, profile % 2 == 0);
}

INSTANTIATE_TEST_SUITE_P(Profiles, EveryProfile, ::testing::Range(1, 19));

}  // namespace
