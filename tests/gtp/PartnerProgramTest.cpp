// duelcom-gtp as a program: on a pseudo-terminal against GNU Go in its GMP
// mode, against the protocol engine on the far end, and with engines that
// cannot start, die, or leave their pipes.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <set>
#include <string>
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

// A komi must be a decimal number as SGF writes a real: anything else is a
// wrong command line (status 2 with the usage), before any port is opened.
TEST_F(AgainstTheProtocolEngine, AKomiThatIsNoDecimalNumberIsRefused) {
  for (const char* komi : {"0x10", "1e1", ".5", "6.", "inf"}) {
    Program program({DUELCOM_GTP, "--port", Line.SlavePath, "--komi", komi, "--", FAKE_ENGINE});
    EXPECT_EQ(program.Wait(), 2) << komi;
    EXPECT_EQ(program.Output().rfind("usage: duelcom-gtp", 0), 0u) << program.Output();
  }
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
