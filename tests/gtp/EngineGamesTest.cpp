// duelcom-engine in whole games, driven by a GTP controller that no one here
// wrote (@sabaki/gtp, the Sabaki GUI's, in sim/node/gtp-match.js)
// against GNU Go in its GTP mode, with the far end of the line on a pair of
// joined pseudo-terminals: Tovarin (tovarin-sim, a reference puppet) or
// duelcom-gtp with GNU Go behind it. A series of two, colours swapped: the
// controller's record, the engine's and the far end's are one game each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gtp/Vertex.h"
#include "sim/NullModem.h"
#include "support/program.h"

namespace gtptest {
namespace {

// A record's moves as the controller writes them: "B D4", "W pass".
std::vector<std::string> AsText(const std::vector<SgfMove>& moves) {
  std::vector<std::string> out;
  for (const SgfMove& m : moves) {
    const int x = m.Point.empty() ? 0 : m.Point[0] - 'a' + 1;
    const int y = m.Point.empty() ? 0 : m.Point[1] - 'a' + 1;
    out.push_back(std::string(1, m.Colour) + " " + gtp::ToVertex(x, y));
  }
  return out;
}

std::vector<std::string> Lines(const fs::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

// The controller: duelcom-engine on `port` (the far end black in the first
// game) against GNU Go, a series of two; its records in `folder`.
std::vector<std::string> Controller(const std::string& port, const fs::path& folder) {
  return {"/usr/bin/env",
          "node",
          SOURCE_DIR "/sim/node/gtp-match.js",
          "2",
          folder.string(),
          "--",
          DUELCOM_ENGINE,
          "--port",
          port,
          "--colour",
          "black",
          "--sgf",
          (folder / "engine").string(),
          "--",
          GnuGo,
          "--mode",
          "gtp",
          "--level",
          "1",
          "--never-resign"};
}

const std::vector<std::string> NodeEnvironment = {"NODE_PATH=" SOURCE_DIR
                                                  "/build/node/node_modules"};

// Every game: the controller's moves, the engine's record and the far end's
// (in `farFolder`/game-N.sgf) are the same.
void ExpectOneGameEach(const fs::path& folder, const fs::path& farFolder) {
  for (int n = 1; n <= 2; ++n) {
    SCOPED_TRACE("game " + std::to_string(n));
    const std::string name = "game-" + std::to_string(n) + ".sgf";
    const std::vector<std::string> controller =
        Lines(folder / ("controller-" + std::to_string(n) + ".txt"));
    ASSERT_GE(controller.size(), 20u);
    EXPECT_EQ(controller.back().substr(2), "pass");
    EXPECT_EQ(AsText(SgfMoves(Slurp(folder / "engine" / name))), controller);
    EXPECT_EQ(AsText(SgfMoves(Slurp(farFolder / name))), controller);
  }
}

TEST(LineEngineGames, AControllerPlaysGnuGoAgainstTovarinsPuppet) {
  TempFolder folder;
  simworld::NullModem cable;
  std::string error;
  ASSERT_TRUE(cable.Open(error)) << error;
  const fs::path sim = folder.Path() / "tovarin";
  fs::create_directories(sim);
  fs::copy(SOURCE_DIR "/bmp", sim / "bmp", fs::copy_options::recursive);
  // Tovarin's puppet black in the first game, white in the second.
  Program tovarin({"/bin/sh", "-c",
                   "cd '" + sim.string() +
                       "' && exec " TOVARIN_SIM
                       " --out . --games 2 --colour black --puppet-passes-from 30 --timeout 500"
                       " --partner device:" +
                       cable.Port(0)});
  Program controller(Controller(cable.Port(1), folder.Path()), NodeEnvironment);
  // A controller that stopped leaves the far end waiting: it is killed then.
  ASSERT_EQ(controller.Wait(), 0) << controller.Output();
  EXPECT_EQ(tovarin.Wait(), 0) << tovarin.Output();
  ExpectOneGameEach(folder.Path(), sim);
}

TEST(LineEngineGames, AControllerPlaysGnuGoAgainstGnuGoBehindDuelcomGtp) {
  TempFolder folder;
  simworld::NullModem cable;
  std::string error;
  ASSERT_TRUE(cable.Open(error)) << error;
  Program far({DUELCOM_GTP, "--port", cable.Port(0), "--colour", "black", "--games", "2", "--sgf",
               (folder.Path() / "far").string(), "--", GnuGo, "--mode", "gtp", "--level", "1",
               "--never-resign"});
  Program controller(Controller(cable.Port(1), folder.Path()), NodeEnvironment);
  // A controller that stopped leaves the far end waiting: it is killed then.
  ASSERT_EQ(controller.Wait(), 0) << controller.Output();
  EXPECT_EQ(far.Wait(), 0) << far.Output();
  ExpectOneGameEach(folder.Path(), folder.Path() / "far");
}

}  // namespace
}  // namespace gtptest
