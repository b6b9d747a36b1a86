// Whole games of every profile in both colours, from the start button to the
// second pass, between the profile's reference puppet and the scripted partner,
// in virtual time: the relay's record, the partner's and the puppet's agree, and
// the puppet is left with its end-of-game dialogs cleared.
#include <gtest/gtest.h>

#include "tests/support/MatchWorld.h"
#include "tests/support/SgfMoves.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using refpuppet::Move;
using refpuppet::Stone;
using testing_world::MatchSetup;
using testing_world::MatchWorld;

struct Case {
  int Profile;
  bool PuppetIsBlack;
  int Width = 1024;
  int Height = 768;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "profile " << c.Profile << (c.PuppetIsBlack ? " black" : " white") << " on " << c.Width
      << "x" << c.Height;
}

class RelayedGame : public ::testing::TestWithParam<Case> {};

TEST_P(RelayedGame, EndsOnTwoPassesWithEveryRecordAlike) {
  const Case c = GetParam();
  MatchSetup s;
  s.Profile = c.Profile;
  s.PuppetIsBlack = c.PuppetIsBlack;
  s.Width = c.Width;
  s.Height = c.Height;
  s.Puppet.Seed = 100 + static_cast<std::uint64_t>(c.Profile);
  s.Puppet.ThinkMs = 150;
  s.Puppet.ThinkJitterMs = 500;
  // One pass of each side in mid-game; black passes first at the end, so the
  // puppet ends the game as white and the partner as black.
  s.Puppet.PassAtMoves = {c.PuppetIsBlack ? 21 : 20};
  s.Puppet.PassFromMove = 50;
  MatchWorld m(s);
  m.Partner.Seed = 200 + static_cast<std::uint64_t>(c.Profile);
  m.Partner.PassAtMoves = {c.PuppetIsBlack ? 10 : 11};
  m.Partner.PassFromMove = 50;
  ASSERT_TRUE(m.Play()) << testing::PrintToString(m.Boxes()) << testing::PrintToString(m.W.Log());

  ASSERT_EQ(m.Partner.Records.size(), 1u);
  const std::vector<Move>& record = m.Partner.Records[0];
  ASSERT_EQ(record.size(), 52u);
  EXPECT_EQ(m.Record(), std::vector<Move>(record.begin(), record.end() - 1));
  refpuppet::ReferencePuppet& puppet = *m.Puppet();
  EXPECT_EQ(puppet.Game().History(), record);
  for (int x = 1; x <= 19; ++x)
    for (int y = 1; y <= 19; ++y) {
      const Stone p = puppet.Game().At(x, y);
      const int want = p == Stone::Black   ? board::StoneBlack
                       : p == Stone::White ? board::StoneWhite
                                           : board::Empty;
      ASSERT_EQ(m.F.Stones[board::PointCode(x, y)], want) << "at " << x << ", " << y;
    }
  EXPECT_GT(puppet.Game().StonesCaptured(), 0);
  if (c.Profile == 3) {
    EXPECT_GT(puppet.NoticesShown(), 0);  // it tells of every stone it loses
  }

  const std::vector<std::string>& log = m.W.Log();
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
            (std::vector<std::string>{
                "２回目のパスをキャッチ！", "", "50 手まで 終局しました！",
                "第 1 局: 2 回のパスで終局しました  棋譜 kifu\\" + testing_world::RecordName(1)}));
  // Tovarin's own record of the game is the partner's, the last pass included.
  const std::string sgf =
      testing_world::Slurp(m.W.Folder.Path() / "kifu" / testing_world::RecordName(1));
  std::vector<Move> kept;
  for (const testing_world::SgfMove& move : testing_world::SgfMoves(sgf))
    kept.push_back(move.Point.empty() ? Move{0, 0}
                                      : Move{move.Point[0] - 'a' + 1, move.Point[1] - 'a' + 1});
  EXPECT_EQ(kept, record);
  EXPECT_TRUE(m.Boxes().empty());
  EXPECT_TRUE(puppet.GameOver());
  // Only profile 4's result box stays, until its next game is started; a box
  // that is still to come would show by now.
  m.RunFor(20000);
  EXPECT_EQ(puppet.BoxOpen(), c.Profile == 4);
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (int p = 1; p <= puppet::ProfileCount; ++p)
    for (bool black : {true, false}) cases.push_back(Case{p, black});
  // The profiles whose boxes stand by the screen's centre, on the smallest screen.
  for (int p : {3, 5, 9, 14}) cases.push_back(Case{p, p % 2 == 1, 800, 600});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return "Profile" + std::to_string(info.param.Profile) +
         (info.param.PuppetIsBlack ? "Black" : "White") +
         (info.param.Width == 800 ? "SmallScreen" : "");
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, RelayedGame, ::testing::ValuesIn(Cases()), CaseName);

}  // namespace
