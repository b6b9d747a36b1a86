// The board model: captures, refusals and the move list, on small ASCII boards.
// In a diagram row i is y = i + 1 and column j is x = j + 1; 'X' black, 'O' white.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tovarin/board/Board.h"

namespace {

using board::Board;
using board::PointCode;

struct Recorder : Board {
  std::vector<int> Placed, Removed;
  std::vector<std::string> Refusals;
  void OnStonePlaced(int code, bool) override { Placed.push_back(code); }
  void OnStoneRemoved(int code) override { Removed.push_back(code); }
  void OnMoveRefused(board::Refusal why, const std::string& side, int x, int y) override {
    Refusals.push_back(std::to_string(static_cast<int>(why)) + ":" + side + ":" +
                       std::to_string(x) + "," + std::to_string(y));
  }
};

void Lay(Board& b, const std::vector<std::string>& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      int code = PointCode(static_cast<int>(c) + 1, static_cast<int>(r) + 1);
      char ch = rows[r][c];
      b.Stones[static_cast<std::size_t>(code)] = ch == 'X'   ? board::StoneBlack
                                                 : ch == 'O' ? board::StoneWhite
                                                             : board::Empty;
    }
}

// The top-left `rows` x `cols` corner of the board as a diagram.
std::vector<std::string> Diagram(const Board& b, int rows, int cols) {
  std::vector<std::string> out;
  for (int y = 1; y <= rows; ++y) {
    std::string line;
    for (int x = 1; x <= cols; ++x) {
      int v = b.Stones[static_cast<std::size_t>(PointCode(x, y))];
      line += v == board::StoneBlack ? 'X' : v == board::StoneWhite ? 'O' : '.';
    }
    out.push_back(line);
  }
  return out;
}

// Plays (x, y) in the colour given, through the check as the relay does.
bool Play(Board& b, int x, int y, bool black, int puppetIsBlack = 0) {
  b.MoveX = x;
  b.MoveY = y;
  if (b.CheckMovePoint(puppetIsBlack) == 0) return false;
  return b.PlaceStone(black);
}

bool MarksClear(const Board& b) {
  for (int v : b.Visited)
    if (v != 0) return false;
  return true;
}

TEST(Board, ClearedBoardHasFrameAndEmptyPoints) {
  Board b;
  Play(b, 3, 3, true);
  b.ClearBoard();
  for (int x = 0; x < 21; ++x)
    for (int y = 0; y < 21; ++y) {
      bool frame = x == 0 || y == 0 || x == 20 || y == 20;
      EXPECT_EQ(b.Stones[static_cast<std::size_t>(PointCode(x, y))], frame ? board::OffBoard : 0)
          << x << "," << y;
    }
  for (int v : b.MoveRecord) EXPECT_EQ(v, 0);
  EXPECT_EQ(b.LastMove(), 0);
}

TEST(Board, CornerStoneIsCapturedAgainstTheFrame) {
  Recorder b;
  ASSERT_TRUE(Play(b, 1, 1, false));
  ASSERT_TRUE(Play(b, 1, 2, true));
  EXPECT_FALSE(b.CaptureFlag);
  ASSERT_TRUE(Play(b, 2, 1, true));
  EXPECT_TRUE(b.CaptureFlag);
  EXPECT_EQ(Diagram(b, 2, 2), (std::vector<std::string>{".X", "X."}));
  EXPECT_EQ(b.Removed, std::vector<int>{PointCode(1, 1)});
  // The move list keeps the captured stone's move.
  EXPECT_EQ(b.MoveCount, 3);
  EXPECT_EQ(b.MoveRecord[1], PointCode(1, 1));
  EXPECT_TRUE(MarksClear(b));
}

TEST(Board, EdgeGroupsAndTwoGroupsAtOnce) {
  {
    SCOPED_TRACE("two-stone group on the top edge");
    Board c;
    Lay(c, {"XOO.", ".XX."});
    ASSERT_TRUE(Play(c, 4, 1, true));
    EXPECT_EQ(Diagram(c, 2, 4), (std::vector<std::string>{"X..X", ".XX."}));
    EXPECT_TRUE(c.CaptureFlag);
    EXPECT_TRUE(MarksClear(c));
  }
  {
    SCOPED_TRACE("one move removes two separate groups");
    Board b;
    Lay(b, {".XOX", "XO.O", ".XOX", "..X."});
    ASSERT_TRUE(Play(b, 3, 2, true));
    EXPECT_EQ(Diagram(b, 4, 4), (std::vector<std::string>{".X.X", "X.XO", ".X.X", "..X."}));
    EXPECT_TRUE(MarksClear(b));
  }
  {
    SCOPED_TRACE("a large group in the middle");
    Board b;
    Lay(b, {"......", "..XXX.", ".XOOOX", ".XOOOX", "..XX..", "......"});
    ASSERT_TRUE(Play(b, 5, 5, true));
    EXPECT_EQ(Diagram(b, 6, 6), (std::vector<std::string>{"......", "..XXX.", ".X...X", ".X...X",
                                                          "..XXX.", "......"}));
    EXPECT_TRUE(MarksClear(b));
  }
}

TEST(Board, GroupWithLibertyStaysAndMarksAreCleared) {
  Board b;
  Lay(b, {".XO.", "XOO.", ".X..", "...."});
  ASSERT_TRUE(Play(b, 3, 3, true));
  EXPECT_FALSE(b.CaptureFlag);
  EXPECT_EQ(Diagram(b, 3, 4), (std::vector<std::string>{".XO.", "XOO.", ".XX."}));
  EXPECT_TRUE(MarksClear(b));
}

TEST(Board, SuicideAndKoRetakeAreAccepted) {
  {
    SCOPED_TRACE("suicide: the stone stays without a liberty");
    Board b;
    Lay(b, {".O", "O."});
    ASSERT_TRUE(Play(b, 1, 1, true));
    EXPECT_EQ(Diagram(b, 2, 2), (std::vector<std::string>{"XO", "O."}));
    EXPECT_FALSE(b.CaptureFlag);
    EXPECT_TRUE(MarksClear(b));
  }
  {
    SCOPED_TRACE("ko: the retake at once is accepted");
    Board b;
    Lay(b, {".XO.", "XO.O", ".XO.", "...."});
    ASSERT_TRUE(Play(b, 3, 2, true));  // black takes the ko at (2, 2)
    EXPECT_EQ(Diagram(b, 3, 4), (std::vector<std::string>{".XO.", "X.XO", ".XO."}));
    ASSERT_TRUE(Play(b, 2, 2, false));  // white retakes at once
    EXPECT_EQ(Diagram(b, 3, 4), (std::vector<std::string>{".XO.", "XO.O", ".XO."}));
  }
}

TEST(Board, RefusalsNameTheMoverAndChangeNothing) {
  Recorder b;
  ASSERT_TRUE(Play(b, 10, 10, true));
  // Move 2 is white's. With the puppet black it is the partner's move.
  b.MoveX = 10;
  b.MoveY = 10;
  EXPECT_EQ(b.CheckMovePoint(1), 0);
  EXPECT_EQ(b.CheckMovePoint(0), 0);
  b.MoveX = 0;
  b.MoveY = 5;
  EXPECT_EQ(b.CheckMovePoint(1), 0);
  b.MoveX = 7;
  b.MoveY = 20;
  EXPECT_EQ(b.CheckMovePoint(1), 0);
  EXPECT_EQ(b.Refusals, (std::vector<std::string>{"0:相棒:10,10", "0:傀儡:10,10", "0:相棒:0,5",
                                                  "0:相棒:7,20"}));
  EXPECT_EQ(b.MoveCount, 1);
  EXPECT_EQ(b.LastMoveCode, PointCode(10, 10));
  EXPECT_EQ(board::RuleViolationText("相棒", 10, 10),
            "相棒の今打った着手( 10 , 10 )は\nルール違反のようです(通信を中断します)");
}

TEST(Board, CoordinatesOutsideTheGridAreRefusedWithoutTouchingMemory) {
  Recorder b;
  const int bad[][2] = {{-1, 5}, {21, 5}, {5, -1}, {5, 21}, {1, 25}, {-100000, 7}, {7, 1 << 30}};
  for (const auto& xy : bad) {
    b.MoveX = xy[0];
    b.MoveY = xy[1];
    EXPECT_EQ(b.CheckMovePoint(0), 0) << xy[0] << "," << xy[1];
  }
  ASSERT_EQ(b.Refusals.size(), 7u);
  EXPECT_EQ(b.Refusals[4], "1:相棒:1,25");  // 21 + 25 would alias to (2, 4)
  // A stale LastMoveCode that is no empty board point never becomes a stone.
  b.LastMoveCode = PointCode(0, 3);
  EXPECT_FALSE(b.PlaceStone(true));
  b.LastMoveCode = 5000;
  EXPECT_FALSE(b.PlaceStone(true));
  EXPECT_EQ(b.MoveCount, 0);
}

TEST(Board, PassesAndTheEndOfTheMoveList) {
  Recorder b;
  ASSERT_TRUE(Play(b, 4, 4, true));
  ASSERT_TRUE(b.RecordPass());
  EXPECT_EQ(b.MoveCount, 2);
  EXPECT_EQ(b.LastMoveCode, 0);
  EXPECT_EQ(b.LastMove(), 0);
  EXPECT_EQ(b.Placed.size(), 1u);  // a pass draws nothing
  // Fill the list to its last entry with passes, then every further move is refused.
  while (b.MoveCount < board::MaxMoves) ASSERT_TRUE(b.RecordPass());
  EXPECT_FALSE(b.RecordPass());
  b.MoveX = 5;
  b.MoveY = 5;
  EXPECT_EQ(b.CheckMovePoint(0), 0);
  EXPECT_EQ(b.Refusals.back().substr(0, 2), "2:");
  b.LastMoveCode = PointCode(5, 5);
  EXPECT_FALSE(b.PlaceStone(true));
  EXPECT_EQ(b.MoveCount, board::MaxMoves);
  EXPECT_EQ(b.Stones[static_cast<std::size_t>(PointCode(5, 5))], 0);
}

}  // namespace
