// Single ticks of the relay timers with a scripted partner and a screen painted by
// the test: profile 4's pauses, a full move record, and the wait that pumps
// messages across the tick count's wrap.
#include <gtest/gtest.h>

#include "sim/ScriptedLink.h"
#include "tests/support/World.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using refpuppet::Move;
using simworld::ScriptedLink;
using testing_world::World;

// Tovarin black against the scripted partner, the link agreed, and a window over
// the whole screen in `colour` standing in for the puppet.
struct Rig {
  explicit Rig(int profile, platform::ColorRef colour) : Partner(W.Clock), F(W.Form1()) {
    W.Loader.Target = &Partner;
    F.ProfileNo = profile;
    F.PuppetIsBlack = 1;
    platform::Rect screen{0, 0, W.Desktop.ScreenWidth(), W.Desktop.ScreenHeight()};
    platform::headless::SimWindow& puppet = W.Desktop.CreateWindow("screen", screen, nullptr);
    puppet.FillRect(screen, colour);
    F.PuppetWindow = puppet.Handle();
    F.PuppetRect = screen;
    EXPECT_TRUE(F.BindLinkLibrary());
    EXPECT_EQ(F.Link.initcom(1), 1);
    EXPECT_EQ(F.Link.newgame(1), 1);
  }
  // Tovarin plays (x, y) for black and sends it; the partner's answer is due later.
  void Black(int x, int y) {
    F.MoveX = x;
    F.MoveY = y;
    ASSERT_NE(F.CheckMovePoint(), 0);
    F.PlaceStone(true);
    ASSERT_EQ(F.Link.sendxy(x, y), 1);
  }
  // One tick of Timer2 once the partner's answer is there; its length in ms.
  std::uint32_t PartnerTick() {
    W.Clock.Advance(Partner.ThinkMs);
    std::uint32_t start = W.Clock.TickCount();
    F.Timer2Timer();
    return W.Clock.TickCount() - start;
  }

  World W;
  ScriptedLink Partner;
  tovarin::TForm1& F;
};

TEST(Relay, Profile4PausesAfterACaptureAndTrustsItsPassSignOnlyAfter7Seconds) {
  Rig r(4, ui::clBlack);  // black everywhere: an empty board and the pass sign
  const Move white[] = {{2, 1}, {1, 2}};
  r.Partner.Plays = [&](int number) -> std::optional<Move> {
    if (number > 4) return std::nullopt;
    return white[number / 2 - 1];
  };
  r.Black(1, 1);
  // An ordinary move: one click into the puppet.
  EXPECT_EQ(r.PartnerTick(), 400u);
  const std::uint32_t deadline = r.W.Clock.TickCount() + 7000;
  EXPECT_EQ(r.F.PassCheckDeadline, deadline);
  EXPECT_TRUE(r.F.Timer3.Enabled());
  // White takes the corner stone: the puppet is given 1.5 s more.
  r.Black(10, 10);
  EXPECT_EQ(r.PartnerTick(), 400u + 1500u);
  EXPECT_EQ(r.F.Stones[board::PointCode(1, 1)], board::Empty);
  EXPECT_FALSE(r.F.CaptureFlag);

  // Before the deadline the black sign is not a pass; after it, it is.
  const std::uint32_t due = r.F.PassCheckDeadline;
  r.W.Clock.Advance(due - r.W.Clock.TickCount() - 1);
  r.F.Timer3Timer();
  EXPECT_EQ(r.F.MoveCount, 4);
  EXPECT_TRUE(r.F.Timer3.Enabled());
  r.W.Clock.Advance(2);
  r.F.Timer3Timer();
  EXPECT_EQ(r.F.MoveCount, 5);
  EXPECT_EQ(r.F.LastMove(), 0);
  EXPECT_EQ(r.Partner.Records[0][4], (Move{0, 0}));  // the pass was sent
}

// A game that has filled the move record stops with a message naming the side
// whose move did not fit, a pass as well as a stone.
TEST(Relay, AMoveBeyondTheMoveRecordStopsTheGame) {
  for (bool partnersTurn : {true, false}) {
    Rig r(1, ui::clBlack);  // an empty board but for a white stone on (1, 1)
    const platform::Point p = puppet::PointTestFor(*puppet::ReadingOf(1), 1, 1).Pixels[0];
    r.W.Desktop.CreateWindow("stone", {p.X, p.Y, p.X + 1, p.Y + 1}, nullptr)
        .SetPixel(0, 0, ui::clWhite);
    r.Partner.Plays = [](int) -> std::optional<Move> { return Move{}; };
    r.Black(10, 10);
    r.F.MoveCount = board::MaxMoves;
    for (int i = 2; i <= board::MaxMoves; ++i) r.F.MoveRecord[static_cast<std::size_t>(i)] = 22;
    if (partnersTurn) {
      r.PartnerTick();
    } else {
      r.F.PuppetIsBlack = 0;  // white, to play move 500, is the puppet
      r.F.Timer3Timer();
    }
    ASSERT_EQ(r.W.App.MessageBoxes.size(), 1u);
    EXPECT_EQ(r.W.App.MessageBoxes[0].Text,
              partnersTurn
                  ? "相棒の今打った着手( 0 , 0 )は\n手数の上限(499手)を超えます(通信を中断します)"
                  : "傀儡の今打った着手( 1 , 1 )は\n手数の上限(499手)を超えます(通信を中断します)");
    EXPECT_FALSE(r.F.Timer2.Enabled() || r.F.Timer3.Enabled());
    EXPECT_EQ(r.F.Stones[board::PointCode(1, 1)], board::Empty);
  }
}

TEST(Relay, AWaitThatPumpsMessagesLastsItsTimeAcrossTheTickCountsWrap) {
  World w;
  w.Clock.Advance(0xFFFFFFFFu - 10000u - w.Clock.TickCount());
  const std::uint64_t start = w.Clock.TotalSleptMs();
  EXPECT_TRUE(w.Form1().WaitPumpingMessages(30000));
  EXPECT_NEAR(static_cast<double>(w.Clock.TotalSleptMs() - start), 30000.0, 10.0);
  // An abort ends it early.
  w.Clock.Schedule(5000, [&] { w.App.Post([&] { w.Form1().AbortRequested = true; }); });
  EXPECT_FALSE(w.Form1().WaitPumpingMessages(30000));
  EXPECT_NEAR(static_cast<double>(w.Clock.TotalSleptMs() - start), 35000.0, 10.0);
}

}  // namespace
