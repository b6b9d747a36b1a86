// duelcom-gtp as a program: on a pseudo-terminal against GNU Go in its GMP
// mode, against the protocol engine on the far end, and with engines that
// cannot start, die, or leave their pipes.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "duelcom/engine.h"
#include "gtp/Gtp.h"
#include "gtp/Process.h"
#include "gtp/Vertex.h"
#include "support/program.h"
#include "support/pty.h"

namespace gtptest {
namespace {

using duelcom::LinkContext;
using duelcom::testing::Partner;
using duelcom::testing::Pty;

// This build's program on the pseudo-terminal's own path.
const Launch Native{{DUELCOM_GTP},
                    {},
                    [](const std::string& device) { return device; },
                    [](const fs::path& folder) { return folder.string(); }};

// No process of this system has `tag` among its arguments.
bool NoProcessTagged(const std::string& tag) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (Slurp(entry.path() / "cmdline").find(tag) != std::string::npos) return false;
  }
  return true;
}

const std::vector<std::string> GnuGoGtp = {GnuGo, "--mode", "gtp", "--level", "1"};

TEST(PartnerProgram, GnuGoInGtpModeAgainstGnuGoInGmpModeAsBlack) {
  const Game game = AgainstGnuGoGmp(Native, GnuGoGtp, true, {"--pass-from", "30"});
  ExpectSameGame(game);
  EXPECT_NE(game.OurSgf.find("PB[GNU Go 3.8]"), std::string::npos) << game.OurSgf;
  EXPECT_NE(game.OurSgf.find("RE["), std::string::npos) << game.OurSgf;
}

TEST(PartnerProgram, GnuGoInGtpModeAgainstGnuGoInGmpModeAsWhite) {
  const Game game = AgainstGnuGoGmp(Native, GnuGoGtp, false, {"--pass-from", "30"});
  ExpectSameGame(game);
  EXPECT_NE(game.OurSgf.find("PW[GNU Go 3.8]"), std::string::npos) << game.OurSgf;
}

// The corners, the centre and a point off every axis of symmetry: where GNU
// Go puts them when our vertices for the line's points reach it over GTP, and
// when an engine's vertices reach it over the line.
TEST(PartnerProgram, CornersAndCentreLandWhereGnuGoPutsThem) {
  struct Point {
    int X, Y;             // column from the left, row from the top
    const char* Vertex;   // the same point in GTP
    const char* Letters;  // and in SGF
  };
  // The centre first, and no point that GNU Go might take early in the game.
  const std::vector<Point> points = {{10, 10, "K10", "jj"}, {1, 1, "A19", "aa"},
                                     {19, 1, "T19", "sa"},  {19, 19, "T1", "ss"},
                                     {1, 19, "A1", "as"},   {3, 18, "C2", "cr"}};

  std::string error;
  auto gnugo = gtp::ChildProcess::Start({GnuGo, "--mode", "gtp"}, error);
  ASSERT_TRUE(gnugo) << error;
  gtp::GtpClient client(*gnugo);
  std::set<std::string> expected;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const char* colour = i % 2 ? "white" : "black";
    ASSERT_TRUE(
        client.Ask(std::string("play ") + colour + " " + gtp::ToVertex(points[i].X, points[i].Y))
            .Ok());
    expected.insert(std::string(i % 2 ? "W" : "B").append(points[i].Letters));
  }
  const gtp::GtpReply sgf = client.Ask("printsgf");
  ASSERT_TRUE(sgf.Ok());
  // Its record sets the stones up: AB[..][..]AW[..].
  std::set<std::string> stones;
  for (const char* property : {"AB", "AW"}) {
    std::size_t at = sgf.Text.find(property);
    ASSERT_NE(at, std::string::npos) << sgf.Text;
    for (at += 2; at < sgf.Text.size() && sgf.Text[at] == '['; at += 4)
      stones.insert(property[1] + sgf.Text.substr(at + 1, 2));
  }
  EXPECT_EQ(stones, expected);
  client.Ask("quit");
  gnugo->Stop(5000);

  // An engine that plays the vertices as black; GNU Go's GMP mode keeps its
  // own record.
  std::string moves;
  for (const Point& p : points) moves.append(moves.empty() ? "" : ",").append(p.Vertex);
  const Game game = AgainstGnuGoGmp(Native, {FAKE_ENGINE, "--moves", moves}, true);
  ExpectSameGame(game);
  ASSERT_GE(game.Ours.size(), 2 * points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    EXPECT_EQ(game.Ours[2 * i], (SgfMove{'B', points[i].Letters}));
}

// The far end: the protocol engine on the master end of the line, white.
struct AgainstTheProtocolEngine : ::testing::Test {
  Pty Line;
  TempFolder Folder;
  // Marks the engine's process and nothing else.
  std::string Tag = Folder.Path().string() + "/engine";

  // Answers the engine's moves, from the bottom right, `count` times.
  void AnswerMoves(Partner& far, int count) {
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsMoveReady(); }, EventTimeoutMs));
      far.With([i](LinkContext& c) {
        int x, y;
        c.TakeMove(x, y);
        c.SendMove(19 - i, 19);
        return 0;
      });
    }
  }
};

TEST_F(AgainstTheProtocolEngine, AnEngineThatDiesMidGameEndsTheProgram) {
  Partner far(Line.Master);
  far.With([](LinkContext& c) {
    c.StartNewGame(duelcom::White);
    return 0;
  });
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--", FAKE_ENGINE, "--at", "3:exit"});
  AnswerMoves(far, 2);
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_NE(program.Output().find("duelcom-gtp: game 1: the engine has gone: its output ended "
                                  "while it was asked \"genmove black\" (the engine: exit status "
                                  "3)"),
            std::string::npos)
      << program.Output();
}

TEST_F(AgainstTheProtocolEngine, AnEngineThatClosesItsPipesIsEnded) {
  Partner far(Line.Master);
  far.With([](LinkContext& c) {
    c.StartNewGame(duelcom::White);
    return 0;
  });
  Program program(
      {DUELCOM_GTP, "--port", Line.SlavePath, "--", FAKE_ENGINE, "--at", "2:close", "--tag", Tag});
  AnswerMoves(far, 1);
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_NE(program.Output().find("the engine has gone"), std::string::npos) << program.Output();
  EXPECT_NE(program.Output().find("(the engine: stopped)"), std::string::npos) << program.Output();
  EXPECT_TRUE(NoProcessTagged(Tag));
}

TEST_F(AgainstTheProtocolEngine, AnEngineThatResignsPassesAndTheStatusSaysSo) {
  Partner far(Line.Master);
  far.With([](LinkContext& c) {
    c.StartNewGame(duelcom::White);
    return 0;
  });
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--sgf", Folder.Path().string(), "--",
                   FAKE_ENGINE, "--at", "2:resign"});
  AnswerMoves(far, 1);
  // Its resignation comes as a pass, which a pass answers.
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsMoveReady(); }, EventTimeoutMs));
  far.With([](LinkContext& c) {
    int x = -1, y = -1;
    c.TakeMove(x, y);
    EXPECT_EQ(x * 100 + y, 0);
    c.SendMove(0, 0);
    return 0;
  });
  EXPECT_EQ(program.Wait(), 3);
  EXPECT_NE(program.Output().find("game 1, move 3: the engine (black) resigns"), std::string::npos)
      << program.Output();
  EXPECT_NE(program.Output().find("duelcom-gtp: the engine resigned in game 1;"),
            std::string::npos);
  const std::string sgf = Slurp(Folder.Path() / "game-1.sgf");
  EXPECT_NE(sgf.find("RE[W+R]"), std::string::npos) << sgf;
  EXPECT_EQ(SgfMoves(sgf), (std::vector<SgfMove>{{'B', "aa"}, {'W', "ss"}, {'B', ""}, {'W', ""}}));
}

// A wrong command line is status 2 with the usage and what is wrong, before
// any port is opened. A komi must be a decimal number as SGF writes a real.
TEST_F(AgainstTheProtocolEngine, AWrongCommandLineIsRefusedWithTheUsage) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--komi", "0x10"}, "--komi takes a decimal number"},
      {{"--komi", "1e1"}, "--komi takes a decimal number"},
      {{"--komi", ".5"}, "--komi takes a decimal number"},
      {{"--komi", "6."}, "--komi takes a decimal number"},
      {{"--komi", "inf"}, "--komi takes a decimal number"},
      {{"--komi", "abc"}, "--komi takes a decimal number"},
      {{"--games", "0"}, "--games takes a whole number from 1 to 10000, not \"0\""},
      {{"--games", "-1"}, "--games takes a whole number"},
      {{"--games", "x"}, "--games takes a whole number"},
      {{"--pass-from", "0"}, "--pass-from takes a number of moves"},
      {{"--pass-from", "5x"}, "--pass-from takes a number of moves"},
      {{"--gtp-wait", "0"}, "--gtp-wait takes seconds"},
      {{"--bogus", "1"}, "unknown option --bogus"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> command = {DUELCOM_GTP, "--port", Line.SlavePath};
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {"--", FAKE_ENGINE});
    Program program(command);
    EXPECT_EQ(program.Wait(), 2) << options[0] << " " << options[1];
    EXPECT_EQ(program.Output().rfind("usage: duelcom-gtp", 0), 0u) << program.Output();
    EXPECT_NE(program.Output().find("\nduelcom-gtp: " + message), std::string::npos)
        << program.Output();
  }
}

// The accepted forms take effect: two games in swapped colours, the komi in
// both records, and the engine passing once a move has been made.
TEST_F(AgainstTheProtocolEngine, ASeriesTakesItsGamesKomiAndPassFromOptions) {
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--games", "2", "--komi", "7",
                   "--pass-from", "1", "--sgf", Folder.Path().string(), "--", FAKE_ENGINE});
  {
    // Game 1, the engine black: its A19, a pass from the far end, its pass.
    Partner far(Line.Master);
    far.With([](LinkContext& c) {
      c.StartNewGame(duelcom::White);
      return 0;
    });
    for (int x : {1, 0}) {
      ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsMoveReady(); }, EventTimeoutMs));
      far.With([x](LinkContext& c) {
        int mx = -1, my = -1;
        c.TakeMove(mx, my);
        EXPECT_EQ(mx, x);
        if (x) c.SendMove(0, 0);
        return 0;
      });
    }
  }
  // Game 2 on a reopened line, the engine white: a pass from the far end, and
  // the engine's pass, since a move has been made.
  ASSERT_TRUE(program.WaitFor("game 2: line open")) << program.Output();
  Partner far(Line.Master);
  far.With([](LinkContext& c) {
    c.StartNewGame(duelcom::Black);
    return 0;
  });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }, EventTimeoutMs));
  far.With([](LinkContext& c) {
    c.SendMove(0, 0);
    return 0;
  });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsMoveReady(); }, EventTimeoutMs));
  EXPECT_EQ(program.Wait(), 0) << program.Output();
  const std::string first = Slurp(Folder.Path() / "game-1.sgf");
  const std::string second = Slurp(Folder.Path() / "game-2.sgf");
  EXPECT_NE(first.find("KM[7]"), std::string::npos) << first;
  EXPECT_NE(second.find("KM[7]"), std::string::npos) << second;
  EXPECT_NE(second.find("PW[Fake 1]"), std::string::npos) << second;
  EXPECT_EQ(SgfMoves(first), (std::vector<SgfMove>{{'B', "aa"}, {'W', ""}, {'B', ""}}));
  EXPECT_EQ(SgfMoves(second), (std::vector<SgfMove>{{'B', ""}, {'W', ""}}));
}

TEST_F(AgainstTheProtocolEngine, AnEngineThatCannotStartIsReported) {
  Program program(
      {DUELCOM_GTP, "--port", Line.SlavePath, "--", "/nonexistent/engine", "--mode", "gtp"});
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_EQ(program.Output(),
            "duelcom-gtp: cannot start /nonexistent/engine: No such file or directory\n");
}

TEST_F(AgainstTheProtocolEngine, ATerminationRequestEndsTheEngineToo) {
  // The engine white waits for a request that never comes.
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--colour", "white", "--", FAKE_ENGINE,
                   "--tag", Tag});
  ASSERT_TRUE(program.WaitFor("line open")) << program.Output();
  ASSERT_FALSE(NoProcessTagged(Tag));
  kill(program.Pid, SIGTERM);
  EXPECT_EQ(program.Wait(), 128 + SIGTERM);
  EXPECT_TRUE(NoProcessTagged(Tag));
}

// The far end's side of the line closes once a game is agreed, while the
// program waits for its first move: the program stops at once, not after
// --move-wait (30 minutes by default), and ends the engine.
TEST_F(AgainstTheProtocolEngine, AFarEndThatHangsUpEndsTheProgramAtOnce) {
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--colour", "white", "--", FAKE_ENGINE,
                   "--tag", Tag});
  ASSERT_TRUE(program.WaitFor("line open")) << program.Output();
  {
    Partner far(Line.Master);
    far.With([](LinkContext& c) {
      c.StartNewGame(duelcom::Black);
      return 0;
    });
    // The program's closing OK: its side is ready before it sends that.
    ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }, EventTimeoutMs));
  }
  Line.CloseMaster();
  ASSERT_TRUE(program.WaitFor("duelcom-gtp: game 1: the line " + Line.SlavePath +
                              " was lost while waiting for move 1: the device can no longer be "
                              "read (the far end hung up)"))
      << program.Output();
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_TRUE(NoProcessTagged(Tag));
}

// The far end sends a move in the engine's colour, which the line denies; the
// far end may believe it has played, so the time-out names that move.
TEST_F(AgainstTheProtocolEngine, ATimeOutNamesTheMoveTheLineDenied) {
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--colour", "white", "--move-wait", "1",
                   "--", FAKE_ENGINE});
  ASSERT_TRUE(program.WaitFor("line open")) << program.Output();
  Partner far(Line.Master);
  far.With([](LinkContext& c) {
    c.StartNewGame(duelcom::Black);
    return 0;
  });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }, EventTimeoutMs));
  far.With([](LinkContext& c) {
    c.SendMove(4, 16);  // D4, black
    return 0;
  });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsMoveReady(); }, EventTimeoutMs));
  far.With([](LinkContext& c) {
    int x, y;
    c.TakeMove(x, y);
    c.StartNewGame(duelcom::White);  // names white without a request: the next move is white
    c.SendMove(16, 4);               // Q16
    return 0;
  });
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_NE(program.Output().find("duelcom-gtp: game 1: no move 3 came from the line within 1 s; "
                                  "the line denied the far end's move W Q16, since white is the "
                                  "engine's colour"),
            std::string::npos)
      << program.Output();
}

// An engine whose reply never ends: the command's time limit (--gtp-wait)
// ends the program, and the engine with it.
TEST_F(AgainstTheProtocolEngine, AnEngineThatDoesNotAnswerInTimeIsEnded) {
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--gtp-wait", "1", "--", FAKE_ENGINE,
                   "--stall", "clear_board", "--tag", Tag});
  ASSERT_TRUE(
      program.WaitFor("duelcom-gtp: game 1: the engine did not answer \"clear_board\" "
                      "within 1 s (the engine: stopped)"))
      << program.Output();
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_TRUE(NoProcessTagged(Tag));
}

// The program killed outright (no handler runs) with the engine behind a
// wrapper shell: the real engine, the wrapper's child, goes too, although it
// is busy and does not notice that its input has ended.
TEST_F(AgainstTheProtocolEngine, AKilledProgramTakesTheEnginesWholeGroupWithIt) {
  const fs::path pidFile = Folder.Path() / "engine.pid";
  // The wrapper waits for the engine rather than becoming it.
  Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--verbose", "--", "/bin/sh", "-c",
                   "\"$@\"; :", "wrapper", FAKE_ENGINE, "--stall", "name", "--pid-file",
                   pidFile.string(), "--tag", Tag});
  ASSERT_TRUE(program.WaitFor("gtp < =")) << program.Output();
  const std::string pid = Slurp(pidFile).substr(0, Slurp(pidFile).find('\n'));
  ASSERT_FALSE(pid.empty());
  const fs::path cmdline = fs::path("/proc") / pid / "cmdline";
  ASSERT_NE(Slurp(cmdline).find(Tag), std::string::npos);
  kill(program.Pid, SIGKILL);
  EXPECT_EQ(program.Wait(), 128 + SIGKILL);
  // Gone, or a zombie that nobody has reaped yet (no command line).
  bool gone = false;
  for (int waited = 0; waited < EventTimeoutMs && !gone; waited += 10) {
    gone = Slurp(cmdline).find(Tag) == std::string::npos;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone);
  if (!gone) kill(std::stoi(pid), SIGKILL);
}

// The link library's own wait runs out once: ten seconds of real time.
TEST_F(AgainstTheProtocolEngine, ASilentLineEndsTheProgramAfterTheLinkLibrarysWait) {
  Program program(
      {DUELCOM_GTP, "--port", Line.SlavePath, "--wait", "10", "--", FAKE_ENGINE, "--tag", Tag});
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_NE(program.Output().find("duelcom-gtp: game 1: no new game was agreed on the line " +
                                  Line.SlavePath + " within 10 s: the far end is silent"),
            std::string::npos)
      << program.Output();
  EXPECT_TRUE(NoProcessTagged(Tag));
}

}  // namespace
}  // namespace gtptest
