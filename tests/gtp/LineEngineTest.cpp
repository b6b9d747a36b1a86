// duelcom-engine's GTP side against a scripted line: every command with its
// exact reply, the protocol's ids, comments and empty lines, wrong colours and
// points, and what the line does in a series.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gtp/LineEngine.h"
#include "support/FakeLine.h"

namespace gtp {
namespace {

LineEngineSettings AtOnce() {
  LineEngineSettings settings;
  settings.NextRequestDelayMs = 0;
  return settings;
}

struct Engine {
  FakeLine Line;
  LineEngine E{Line, AtOnce()};
  std::vector<GameRecord> Ended;
  Engine() {
    E.OnGameEnd = [this](const GameRecord& r) { Ended.push_back(r); };
    E.Start();
  }
  std::string operator()(const std::string& input) { return E.Handle(input); }
};

TEST(LineEngine, AnswersEveryCommandAsTheProtocolSays) {
  Engine e;
  struct Exchange {
    const char* In;
    const char* Out;
  } script[] = {
      {"protocol_version", "= 2\n\n"},
      {"7 name", "=7 duelcom-engine\n\n"},
      {"version", "= 1.0.0\n\n"},
      {"  known_command   genmove ", "= true\n\n"},
      {"known_command loadsgf", "= false\n\n"},
      {"", ""},
      {"   # a comment only", ""},
      {"boardsize 9", "? unacceptable size\n\n"},
      {"boardsize x", "? boardsize not an integer\n\n"},
      {"12 boardsize\t19 # tabs and a comment", "=12 \n\n"},
      {"komi 6.5", "= \n\n"},
      {"komi six", "? komi not a float\n\n"},
      {"time_settings 300 30 5", "= \n\n"},
      {"time_left b 299 0", "= \n\n"},
      {"kgs-time_settings byoyomi 300 30 5", "= \n\n"},
      {"undo", "? cannot undo\n\n"},
      {"loadsgf game.sgf", "? unknown command\n\n"},
      {"genmove b", "? no game: clear_board starts one\n\n"},
      {"clear_board", "= \n\n"},  // the far end black in the first game
      {"play b D4",
       "? the far end plays black in this game: its moves come from genmove, never from play\n\n"},
      {"genmove w",
       "? the far end plays black in this game: genmove white cannot be asked of it\n\n"},
      {"play w Z9", "? invalid color or coordinate\n\n"},
      {"play x D4", "? invalid color or coordinate\n\n"},
      {"play w D4", "? move 1 is black's on the line\n\n"},
      {"3 genmove black", "=3 D4\n\n"},
      {"play white D4", "? illegal move\n\n"},  // taken
      {"play W pass", "= \n\n"},
      {"genmove B", "= pass\n\n"},       // two passes: the game is over
      {"final_score", "= B+354.5\n\n"},  // 6.5 komi; the black stone owns the rest
      {"quit", "= \n\n"},
  };
  e.Line.FarMoves = {{4, 16}, {0, 0}};
  for (const Exchange& x : script) EXPECT_EQ(e(x.In), x.Out) << x.In;
  EXPECT_TRUE(e.E.QuitAsked());
  EXPECT_EQ(e.Line.Sent, (std::vector<Point>{{0, 0}}));
  // The next game's line is open at once after the game.
  EXPECT_EQ(e.Line.Events, (std::vector<std::string>{"open", "newgame 2", "close", "open"}));
}

TEST(LineEngine, ListsItsCommandsAndShowsTheBoard) {
  Engine e;
  std::string list = "= ";
  for (const std::string& c : LineEngine::Commands()) list += c + "\n";
  EXPECT_EQ(e("list_commands"), list + "\n");
  e.Line.FarMoves = {{1, 19}};
  e("clear_board");
  e("genmove b");
  e("play w T19");
  const std::string board = e("showboard");
  EXPECT_EQ(board.rfind("=    A B C D E F G H J K L M N O P Q R S T\n19 . ", 0), 0u) << board;
  EXPECT_NE(board.find("\n19 . . . . . . . . . . . . . . . . . . O 19\n"), std::string::npos);
  EXPECT_NE(board.find("\n 1 X . . . . . . . . . . . . . . . . . .  1\n"), std::string::npos);
}

// Two passes end the game on the line; the next game's line is open at once,
// its clear_board agrees it with the colours swapped, and a game broken on the
// line ends with the reason as its record's ending.
TEST(LineEngine, ASeriesSwapsColoursAndABrokenGameSaysWhy) {
  Engine e;
  e.Line.FarMoves = {{0, 0}, {4, 4}};
  EXPECT_EQ(e("clear_board"), "= \n\n");
  EXPECT_EQ(e("genmove b"), "= pass\n\n");
  EXPECT_EQ(e("play w pass"), "= \n\n");
  ASSERT_EQ(e.Ended.size(), 1u);
  EXPECT_EQ(e.Ended[0].Moves.size(), 2u);
  EXPECT_EQ(e.Ended[0].Stopped, "");
  EXPECT_EQ(e("genmove b"),
            "? the game on the line has ended: clear_board starts the next one\n\n");
  EXPECT_EQ(e("clear_board"), "= \n\n");
  EXPECT_EQ(e("clear_board"), "= \n\n");  // again before any move: the same game
  EXPECT_EQ(e("play b C3"), "= \n\n");
  EXPECT_EQ(e("clear_board"),
            "? the game on the line is not over: it ends on two passes in a row\n\n");
  EXPECT_EQ(e("genmove w"), "= D16\n\n");
  e.Line.Acknowledges = false;
  e.Line.Denies = true;
  EXPECT_EQ(e("play b E5"), "? the far end refused move 3 (B E5) on the line\n\n");
  ASSERT_EQ(e.Ended.size(), 2u);
  EXPECT_EQ(e.Ended[1].Ended, "the far end refused move 3 (B E5) on the line");
  e.Line.Acknowledges = true;
  e.Line.NewGameAnswers = std::deque<bool>(12, false);
  e.Line.FarMoves = {{0, 0}};
  EXPECT_EQ(e("clear_board"),
            "? no new game was agreed on the line COM1 within 120 s: the far end is silent\n\n");
  EXPECT_EQ(e("genmove b"), "= pass\n\n");  // agreed at the first move, still game 3
  std::vector<std::string> events = {"open",      "newgame 2", "close", "open",
                                     "newgame 1", "close",     "open"};
  events.insert(events.end(), 13, "newgame 2");  // twelve tries at clear_board, one at genmove
  EXPECT_EQ(e.Line.Events, events);
}

TEST(LineEngine, AFarEndThatGoesSilentEndsTheWaitWithTheReason) {
  LineEngineSettings settings;
  settings.MoveWaitMs = 5000;
  FakeLine line;
  LineEngine e(line, settings);
  e.Start();
  e.Handle("clear_board");
  EXPECT_EQ(e.Handle("genmove b"), "? no move 1 came from the far end within 5 s\n\n");
  line.FarMoves = {{20, 3}};
  e.Handle("clear_board");
  e.Handle("play b D4");
  EXPECT_EQ(e.Handle("genmove w"),
            "? move 2 from the far end is outside the board (column 20, row 3 from the top)\n\n");
}

}  // namespace
}  // namespace gtp
