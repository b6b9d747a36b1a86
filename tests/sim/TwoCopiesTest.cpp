// Two copies of tovarin-sim on the two ends of a null-modem pair of
// pseudo-terminals, each with its own Tovarin, reference puppet and link
// library, as two operators would play from two machines: the first copy starts
// the second with the other colour. Both sides must have kept the same games.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/sim/SimRun.h"
#include "tests/support/SgfMoves.h"
#include "tests/support/World.h"

namespace {

namespace fs = std::filesystem;

using testing_world::SgfMoves;
using testing_world::Slurp;

// Each game's record in `folder` is the partner copy's, and ended on two passes.
void ExpectSameGames(const fs::path& folder, int games) {
  for (int n = 1; n <= games; ++n) {
    SCOPED_TRACE("game " + std::to_string(n));
    const std::string name = "game-" + std::to_string(n) + ".sgf";
    const auto ours = SgfMoves(Slurp(folder / name));
    ASSERT_GE(ours.size(), 20u);
    EXPECT_EQ(ours, SgfMoves(Slurp(folder / "partner" / name)));
    EXPECT_EQ(ours[ours.size() - 1].Point, "");
    EXPECT_EQ(ours[ours.size() - 2].Point, "");
  }
}

// The white side comes up about when the black side sends its new-game
// request, before or after it, on a cable that damages 2 % of its bytes: the
// game is agreed on both sides either way, and played to the end alike.
TEST(TwoCopies, AGameIsAgreedWhenTheWhiteSideStartsLate) {
  testing_world::TempFolder folder;
  const testing_world::SimRun run =
      testing_world::RunSim(folder.Path(),
                            "--profile 1 --colour black --partner tovarin:2 --partner-delay 5 "
                            "--puppet-passes-from 30 --timeout 240 --line-faults 2:7");
  ASSERT_EQ(run.Status, 0) << run.Output;
  ExpectSameGames(folder.Path(), 1);
}

// A puppet with a long new-game script against one with a short one; from the
// second game on the pauses between games are real, so the side that listens
// is up before the other sends.
TEST(TwoCopies, ASeriesOfThreeIsPlayedOnBothSides) {
  testing_world::TempFolder folder;
  const testing_world::SimRun run = testing_world::RunSim(
      folder.Path(),
      "--profile 4 --colour white --games 3 --partner tovarin:1 --puppet-passes-from 30 "
      "--timeout 400");
  ASSERT_EQ(run.Status, 0) << run.Output;
  ExpectSameGames(folder.Path(), 3);
  const std::size_t second = run.Output.find("第 2 回通信に入ります");
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(run.Output.find("NewGame Send Error !", second), std::string::npos) << run.Output;
}

}  // namespace
