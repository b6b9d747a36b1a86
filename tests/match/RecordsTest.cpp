// The records Tovarin keeps of its games on the simulated desktop: one SGF file
// a game in kifu, written after every move, its ending in the last node, and the
// series' summary beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/MatchWorld.h"
#include "tests/support/SgfMoves.h"

namespace {

using testing_world::MatchSetup;
using testing_world::MatchWorld;
using testing_world::RecordName;
using Lines = std::vector<std::string>;

std::string Kifu(MatchWorld& m, const std::string& name) {
  return testing_world::Slurp(m.W.Folder.Path() / "kifu" / name);
}

// A series of three games, the third aborted in mid-game: three records, each
// with its ending, and the summary.
TEST(Records, ASeriesKeepsEachGameAndItsEnding) {
  MatchSetup s;
  s.Games = "3";
  s.Puppet.PassFromMove = 10;
  MatchWorld m(s);
  m.Partner.PassFromMove = 10;
  int sent = 0;
  std::size_t movesAtAbort = 0;
  m.Partner.OnCall = [&](const simworld::ScriptedLink::Call& c) {
    // The puppet's third move of the third game, while its answer is awaited.
    if (c.Name == "sendxy" && m.F.GameNo == 3 && ++sent == 3) {
      movesAtAbort = static_cast<std::size_t>(m.F.MoveCount);
      m.W.App.Click(m.F.SpeedButton1);
    }
  };
  ASSERT_TRUE(m.Play());
  m.RunFor(60000);

  ASSERT_EQ(m.Partner.Records.size(), 3u);
  for (int game = 1; game <= 3; ++game) {
    SCOPED_TRACE("game " + std::to_string(game));
    const std::string sgf = Kifu(m, RecordName(game));
    const std::vector<testing_world::SgfMove> moves = testing_world::SgfMoves(sgf);
    EXPECT_EQ(testing_world::SgfProperty(sgf, "GN"), "game " + std::to_string(game) + " of 3");
    EXPECT_EQ(testing_world::SgfProperty(sgf, game == 2 ? "PW" : "PB"), "Velk2");
    EXPECT_EQ(testing_world::SgfProperty(sgf, game == 2 ? "PB" : "PW"), "相棒");
    EXPECT_EQ(testing_world::SgfProperty(sgf, "DT"), "2026-12-09");
    // An SGF reader of someone else's reads it and replays it without an
    // illegal move, to its ending.
    const testing_world::OutsideSgf outside =
        testing_world::ReadWithOutsideSgfReader(m.W.Folder.Path() / "kifu" / RecordName(game));
    EXPECT_EQ(outside.Error, "");
    EXPECT_EQ(outside.Moves.size(), moves.size());
    if (game < 3) {
      EXPECT_EQ(moves.size(), m.Partner.Records[static_cast<std::size_t>(game - 1)].size());
      EXPECT_EQ(outside.Comment, "2 回のパスで終局しました");
    } else {
      EXPECT_EQ(moves.size(), movesAtAbort);
      EXPECT_EQ(outside.Comment, "中止されました");
    }
  }
  const Lines summary = {
      "game\tpuppet's colour\tmoves\tended\trecord",
      "1\tblack\t" + std::to_string(m.Partner.Records[0].size()) + "\ttwo passes\t" + RecordName(1),
      "2\twhite\t" + std::to_string(m.Partner.Records[1].size()) + "\ttwo passes\t" + RecordName(2),
      "3\tblack\t" + std::to_string(movesAtAbort) + "\taborted\t" + RecordName(3)};
  std::string expected;
  for (const std::string& line : summary) expected += line + "\n";
  EXPECT_EQ(Kifu(m, "series-20261209-101500.txt"), expected);
  EXPECT_EQ(m.W.Log().back(), "第 3 局: 中止されました  棋譜 kifu\\" + RecordName(3));
}

// A folder that takes no file: one line says so, and the game goes on to its end.
TEST(Records, AFailedWriteIsOneLineAndTheGameGoesOn) {
  MatchSetup s;
  s.Puppet.PassFromMove = 10;
  MatchWorld m(s);
  m.Partner.PassFromMove = 10;
  m.W.Files.FailWrites = true;
  ASSERT_TRUE(m.Play());

  EXPECT_EQ(m.Partner.Records.size(), 1u);
  const Lines& log = m.W.Log();
  EXPECT_EQ(
      std::count_if(log.begin(), log.end(),
                    [](const std::string& line) { return line.rfind("棋譜を書けません", 0) == 0; }),
      1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "棋譜を書けません: .\\kifu\\" + RecordName(1)), 1);
  EXPECT_TRUE(m.Boxes().empty());
}

// Nothing is written before a game is agreed.
TEST(Records, NoGameNoRecord) {
  MatchSetup s;
  MatchWorld m(s);
  m.Partner.NewGameScript = {-1, -1, -1, -1, -1};
  m.Play(200000);
  EXPECT_EQ(m.Boxes(), Lines{"通信接続がうまくできません！"});
  EXPECT_FALSE(std::filesystem::exists(m.W.Folder.Path() / "kifu"));
}

}  // namespace
