// The partner program's pure parts: vertices, the GTP client, and the relay
// between a scripted line and a scripted engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gtp/Gtp.h"
#include "gtp/Number.h"
#include "gtp/Relay.h"
#include "gtp/Vertex.h"
#include "support/FakeLine.h"

namespace gtp {
namespace {

TEST(Vertex, CornersAndCentreBothWays) {
  // x from the left and y from the top, as the line gives them.
  const std::vector<std::pair<Point, std::string>> points = {{{1, 1}, "A19"},   {{19, 1}, "T19"},
                                                             {{1, 19}, "A1"},   {{19, 19}, "T1"},
                                                             {{10, 10}, "K10"}, {{0, 0}, "pass"}};
  for (const auto& [p, vertex] : points) {
    EXPECT_EQ(ToVertex(p.first, p.second), vertex);
    int x = -1, y = -1;
    ASSERT_TRUE(FromVertex(vertex, x, y)) << vertex;
    EXPECT_EQ(Point(x, y), p) << vertex;
  }
  int x = -1, y = -1;
  ASSERT_TRUE(FromVertex("q16", x, y));
  EXPECT_EQ(Point(x, y), Point(16, 4));
  ASSERT_TRUE(FromVertex("PASS", x, y));
  EXPECT_EQ(Point(x, y), Point(0, 0));
  for (const char* bad : {"I5", "A0", "A20", "A01", "U1", "resign", "A", "", "B2x"}) {
    EXPECT_FALSE(FromVertex(bad, x, y)) << bad;
  }
  EXPECT_EQ(ToVertex(1, 0), "");
  EXPECT_EQ(ToVertex(20, 5), "");
}

// The numbers of both programs' command lines: whole, in range, nothing after.
TEST(CommandLineNumber, TakesOnlyAWholeNumberInRange) {
  int n = 0;
  ASSERT_TRUE(Number("12", n, 1, 12));
  EXPECT_EQ(n, 12);
  ASSERT_TRUE(Number("+3", n, 1, 12));
  EXPECT_EQ(n, 3);
  for (const char* bad : {"", "0", "13", "4x", "x4", "2.0", "0x5", "99999999999999999999"}) {
    EXPECT_FALSE(Number(bad, n, 1, 12)) << bad;
  }
  EXPECT_EQ(n, 3);
}

// Lines handed out one by one; what was written is kept.
struct ScriptedChannel : TextChannel {
  std::deque<std::string> Lines;
  std::vector<std::string> Written;
  bool WriteLine(const std::string& line) override {
    Written.push_back(line);
    return true;
  }
  // Past the script's end the output ends, or the reply is late once a
  // limit is set.
  std::uint32_t Limit = 0;
  void LimitReads(std::uint32_t limitMs) override { Limit = limitMs; }
  Read ReadLine(std::string& line) override {
    if (Lines.empty()) return Limit > 0 ? Read::Late : Read::End;
    line = Lines.front();
    Lines.pop_front();
    return Read::Line;
  }
};

TEST(GtpClient, ReadsRepliesAsEnginesWriteThem) {
  ScriptedChannel channel;
  channel.Lines = {"some engine chatter", "", "=12 D4 \r",     "\r", "= line one", "line two", "",
                   "? illegal move",      "", "= half a reply"};
  std::vector<std::string> seen;
  GtpClient client(channel, [&](const std::string& l) { seen.push_back(l); });

  GtpReply r = client.Ask("genmove black");
  EXPECT_EQ(r.State, GtpReply::Status::Success);
  EXPECT_EQ(r.Text, "D4");
  r = client.Ask("showboard");
  EXPECT_TRUE(r.Ok());
  EXPECT_EQ(r.Text, "line one\nline two");
  r = client.Ask("play black D4");
  EXPECT_EQ(r.State, GtpReply::Status::Failure);
  EXPECT_EQ(r.Text, "illegal move");
  // The output ends before the reply's empty line.
  r = client.Ask("genmove white");
  EXPECT_EQ(r.State, GtpReply::Status::Lost);

  EXPECT_EQ(channel.Written, (std::vector<std::string>{"genmove black", "showboard",
                                                       "play black D4", "genmove white"}));
  EXPECT_EQ(seen.front(), "> genmove black");
  EXPECT_EQ(seen[1], "< some engine chatter");
}

// The engine: `genmove` answers from a list (then "pass"); any command may be
// answered otherwise by `Special`.
struct FakeEngine : GtpEngine {
  std::deque<std::string> Genmoves;
  std::function<std::optional<GtpReply>(const std::string&)> Special;
  std::vector<std::string> Asked;

  std::vector<std::uint32_t> Limits;  // of each command asked

  GtpReply Ask(const std::string& command, std::uint32_t limitMs) override {
    Asked.push_back(command);
    Limits.push_back(limitMs);
    if (Special) {
      if (auto reply = Special(command)) return *reply;
    }
    GtpReply r{GtpReply::Status::Success, ""};
    if (command == "name") r.Text = "Fake";
    if (command == "version") r.Text = "1";
    if (command == "final_score") r.Text = "B+2.5";
    if (command.rfind("genmove", 0) == 0) {
      r.Text = Genmoves.empty() ? "pass" : Genmoves.front();
      if (!Genmoves.empty()) Genmoves.pop_front();
    }
    return r;
  }
};

// No pause before a later game's request: the fake line listens at once.
RelaySettings NoPause() {
  RelaySettings settings;
  settings.NextRequestDelayMs = 0;
  return settings;
}

struct RelayTest : ::testing::Test {
  FakeLine Line;
  FakeEngine Engine;
  RelaySettings Settings = NoPause();
  std::vector<GameRecord> Records;
  std::vector<std::string> Said;

  bool Run() {
    Relay relay(Line, Engine, Settings, [&](const std::string& s) { Said.push_back(s); });
    relay.OnGameEnd = [&](const GameRecord& r) { Records.push_back(r); };
    const bool ok = relay.Run();
    Error = relay.Error();
    Gone = relay.EngineGone();
    return ok;
  }
  std::string Error;
  bool Gone = false;
};

TEST_F(RelayTest, ASeriesRelaysEveryMoveAndSwapsColours) {
  Settings.Games = 2;
  Settings.Komi = "5.5";
  // Game 1, the engine black: D16, Q4 from the line, passes. Game 2, the
  // engine white: A19 from the line, T1, passes.
  Engine.Genmoves = {"D16", "pass", "t1", "PASS"};
  Line.FarMoves = {{16, 16}, {0, 0}, {1, 1}, {0, 0}};
  Engine.Special = [&](const std::string& command) -> std::optional<GtpReply> {
    if (command == "final_score") Line.Events.push_back("score");
    return std::nullopt;
  };
  ASSERT_TRUE(Run()) << Error;

  EXPECT_EQ(Engine.Asked,
            (std::vector<std::string>{"name", "version", "boardsize 19", "clear_board", "komi 5.5",
                                      "genmove black", "play white Q4", "genmove black",
                                      "play white pass", "final_score", "boardsize 19",
                                      "clear_board", "komi 5.5", "play black A19", "genmove white",
                                      "play black pass", "genmove white", "final_score"}));
  EXPECT_EQ(Line.Sent, (std::vector<Point>{{4, 4}, {0, 0}, {19, 19}, {0, 0}}));
  // A fresh line for each game, open before the engine counts the last one.
  EXPECT_EQ(Line.Events, (std::vector<std::string>{"open", "newgame 1", "close", "open", "score",
                                                   "newgame 2", "close", "score"}));
  ASSERT_EQ(Records.size(), 2u);
  EXPECT_EQ(Records[0].EngineColour, Black);
  EXPECT_EQ(Records[1].EngineColour, White);
  EXPECT_EQ(Records[1].Moves.size(), 4u);
  EXPECT_EQ(Records[1].Moves[1].Colour, White);
  EXPECT_EQ(Records[1].Moves[1].X, 19);
  EXPECT_EQ(Records[0].Result, "B+2.5");
  EXPECT_EQ(Records[0].EngineName, "Fake 1");
  const std::string sgf = FormatSgf(Records[1]);
  EXPECT_NE(sgf.find("PB[partner on COM1]PW[Fake 1]"), std::string::npos) << sgf;
  EXPECT_NE(sgf.find(";B[aa]\n;W[ss]\n;B[]\n;W[])"), std::string::npos) << sgf;
}

TEST_F(RelayTest, AnUnansweredRequestIsMadeAgainOnTheSameLine) {
  // The link library repeats the unanswered request itself; the line stays open.
  Line.NewGameAnswers = {false, false};
  Line.FarMoves = {{0, 0}};
  ASSERT_TRUE(Run()) << Error;
  EXPECT_EQ(Line.Events,
            (std::vector<std::string>{"open", "newgame 1", "newgame 1", "newgame 1", "close"}));

  Line.Events.clear();
  Settings.EngineColour = White;
  Line.NewGameAnswers = {false, false};
  Line.FarMoves = {{0, 0}};
  ASSERT_TRUE(Run()) << Error;
  EXPECT_EQ(Line.Events,
            (std::vector<std::string>{"open", "newgame 2", "newgame 2", "newgame 2", "close"}));
}

TEST_F(RelayTest, ASilentLineStopsTheSeries) {
  // No new game.
  Settings.AgreeRounds = 3;
  Line.NewGameAnswers = {false, false, false};
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error,
            "game 1: no new game was agreed on the line COM1 within 30 s: the far end is silent");
  EXPECT_FALSE(Line.IsOpen);
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_FALSE(Records[0].Stopped.empty());

  // The engine's move not acknowledged.
  Line.Acknowledges = false;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error, "game 1: the line did not acknowledge move 1 within 10 s");
  EXPECT_FALSE(Line.IsOpen);

  // No move from the far end.
  Line.Acknowledges = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error, "game 1: no move 2 came from the line within 1800 s");
  EXPECT_FALSE(Line.IsOpen);
}

TEST_F(RelayTest, AnIllegalMoveFromTheLineStopsTheGameWithNothingSentBack) {
  Settings.EngineColour = White;
  Line.FarMoves = {{4, 4}};
  Engine.Special = [](const std::string& c) -> std::optional<GtpReply> {
    if (c.rfind("play", 0) == 0) return GtpReply{GtpReply::Status::Failure, "illegal move"};
    return std::nullopt;
  };
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error,
            "game 1: the engine refused move 1 from the line (B D16): illegal move; nothing was "
            "sent back for it");
  EXPECT_TRUE(Line.Sent.empty());
  EXPECT_FALSE(Line.IsOpen);
  EXPECT_EQ(Engine.Asked.back(), "play black D16");
}

TEST_F(RelayTest, AMoveFromTheLineOutsideTheBoardIsNotPlayed) {
  Settings.EngineColour = White;
  Line.FarMoves = {{1, 0}};  // what the link library makes of point 362
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error,
            "game 1: move 1 from the line is outside the board (column 1, row 0 from the top)");
  EXPECT_EQ(Engine.Asked.back(), "komi 6.5");
  EXPECT_FALSE(Line.IsOpen);
}

// The line carries no komi: an engine that will not take one still plays, and
// the record names none.
TEST_F(RelayTest, AnEngineThatRefusesKomiPlaysOnWithoutIt) {
  Engine.Special = [](const std::string& command) -> std::optional<GtpReply> {
    if (command.rfind("komi", 0) == 0) return GtpReply{GtpReply::Status::Failure, "no komi"};
    return std::nullopt;
  };
  Line.FarMoves = {{0, 0}};
  ASSERT_TRUE(Run()) << Error;
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].Komi, "");
  EXPECT_NE(std::find(Said.begin(), Said.end(),
                      "game 1: the engine refused \"komi 6.5\": no komi; playing on without it"),
            Said.end());
}

TEST_F(RelayTest, AnEngineThatResignsPassesFromThenOn) {
  Engine.Genmoves = {"D16", "resign"};
  Line.FarMoves = {{16, 16}, {17, 17}, {0, 0}};
  ASSERT_TRUE(Run()) << Error;
  EXPECT_EQ(Line.Sent, (std::vector<Point>{{4, 4}, {0, 0}, {0, 0}}));
  EXPECT_EQ(std::count_if(Engine.Asked.begin(), Engine.Asked.end(),
                          [](const std::string& c) { return c.rfind("genmove", 0) == 0; }),
            2);
  EXPECT_EQ(Engine.Asked.back(), "play white pass");  // no final_score
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].Result, "W+R");
  EXPECT_EQ(Records[0].ResignedAtMove, 3);
  EXPECT_EQ(Records[0].Moves.size(), 6u);
  const std::string sgf = FormatSgf(Records[0]);
  EXPECT_NE(sgf.find("RE[W+R]"), std::string::npos);
  EXPECT_NE(sgf.find(";B[]C[Black resigned here"), std::string::npos) << sgf;
}

TEST_F(RelayTest, AnEngineThatIsGoneStopsTheSeries) {
  Engine.Special = [](const std::string& c) -> std::optional<GtpReply> {
    if (c == "genmove black") return GtpReply{GtpReply::Status::Lost, ""};
    return std::nullopt;
  };
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Gone);
  EXPECT_EQ(Error,
            "game 1: the engine has gone: its output ended while it was asked \"genmove black\"");
  EXPECT_TRUE(Line.Sent.empty());
  EXPECT_FALSE(Line.IsOpen);
}

// genmove may take as long as the far end may over a move, every other command
// the shorter limit; a reply that does not come in time stops the series and
// the engine is to be ended.
TEST_F(RelayTest, EveryCommandHasATimeLimit) {
  Settings.MoveWaitMs = 5000;
  Settings.CommandWaitMs = 2000;
  Line.FarMoves = {{0, 0}};
  Engine.Genmoves = {"pass"};
  ASSERT_TRUE(Run()) << Error;
  ASSERT_EQ(Engine.Asked.size(), Engine.Limits.size());
  for (std::size_t i = 0; i < Engine.Asked.size(); ++i)
    EXPECT_EQ(Engine.Limits[i], Engine.Asked[i].rfind("genmove", 0) == 0 ? 5000u : 2000u)
        << Engine.Asked[i];

  Engine.Special = [](const std::string& c) -> std::optional<GtpReply> {
    if (c == "genmove black") return GtpReply{GtpReply::Status::Late, ""};
    return std::nullopt;
  };
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Gone);
  EXPECT_EQ(Error, "game 1: the engine did not answer \"genmove black\" within 5 s");
  EXPECT_FALSE(Line.IsOpen);

  // The client: the channel's time runs out before the reply's empty line.
  ScriptedChannel channel;
  channel.Lines = {"= D4"};
  GtpClient client(channel);
  EXPECT_EQ(client.Ask("genmove black", 1000).State, GtpReply::Status::Late);
  EXPECT_EQ(channel.Limit, 1000u);
}

TEST_F(RelayTest, AnEngineMoveOffTheBoardStopsTheSeries) {
  Engine.Genmoves = {"Z25"};
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error, "game 1: the engine chose \"Z25\" for move 1, which is no point of the board");
  EXPECT_TRUE(Line.Sent.empty());
}

}  // namespace
}  // namespace gtp
