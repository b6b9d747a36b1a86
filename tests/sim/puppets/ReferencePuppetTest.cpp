// The reference puppets on their own: the rules they play by, their policy, and
// their geometry against the hand-worked corners.
#include <gtest/gtest.h>

#include <vector>

#include "tests/puppet/Placement.h"
#include "tests/puppet/WorkedExamples.h"

namespace {

using platform::Point;
using platform::Rect;
using refpuppet::GoGame;
using refpuppet::Move;
using refpuppet::Stone;
using testing_world::World;

// Plays the moves in turn, passing for (0, 0); all must be legal.
void PlayAll(GoGame& g, std::initializer_list<Move> moves) {
  for (const Move& m : moves) {
    if (m.IsPass())
      g.Pass();
    else
      ASSERT_TRUE(g.Play(m.C, m.R)) << m.C << "," << m.R;
  }
}

TEST(GoRules, CapturesRemoveStonesAndCountThem) {
  GoGame g;
  // Black surrounds the white stone at (2, 2) and takes it.
  PlayAll(g, {{2, 1}, {2, 2}, {1, 2}, {10, 10}, {3, 2}});
  std::vector<Move> taken;
  ASSERT_TRUE(g.Play(11, 11, &taken));  // white elsewhere
  ASSERT_TRUE(g.Play(2, 3, &taken));
  EXPECT_EQ(taken, (std::vector<Move>{{2, 2}}));
  EXPECT_EQ(g.At(2, 2), Stone::None);
  EXPECT_EQ(g.StonesCaptured(), 1);
}

TEST(GoRules, SuicideIsRefusedUnlessItTakes) {
  GoGame g;
  PlayAll(g, {{2, 1}, {10, 10}, {1, 2}});
  // White at (1, 1) would have no liberty and takes nothing.
  EXPECT_FALSE(g.IsLegal(1, 1));
  EXPECT_FALSE(g.Play(1, 1));
  EXPECT_EQ(g.At(1, 1), Stone::None);
  EXPECT_EQ(g.ToMove(), Stone::White);
  // A stone without a liberty of its own is legal when it takes: White (1, 1)
  // takes Black's (2, 1) and (1, 2), each with its last liberty there.
  GoGame h;
  PlayAll(h, {{2, 1}, {3, 1}, {1, 2}, {2, 2}, {10, 10}, {1, 3}, {11, 11}});
  std::vector<Move> taken;
  EXPECT_TRUE(h.Play(1, 1, &taken));
  EXPECT_EQ(taken, (std::vector<Move>{{2, 1}, {1, 2}}));
}

TEST(GoRules, AKoMayNotBeRetakenAtOnce) {
  GoGame g;
  // Black: (2,1) (1,2) (3,2) (2,3) around (2,2); White: (3,1) (4,2) (3,3) around (3,2).
  PlayAll(g, {{2, 1}, {3, 1}, {1, 2}, {4, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 2}});
  // White's (2, 2) took Black's (3, 2); Black may not take back at once.
  EXPECT_EQ(g.At(3, 2), Stone::None);
  EXPECT_FALSE(g.IsLegal(3, 2));
  PlayAll(g, {{10, 10}, {11, 11}});
  EXPECT_TRUE(g.IsLegal(3, 2));
  // A pass also ends the ban.
  std::vector<Move> taken;
  ASSERT_TRUE(g.Play(3, 2, &taken));
  EXPECT_FALSE(g.IsLegal(2, 2));
  g.Pass();
  g.Pass();
  EXPECT_TRUE(g.IsLegal(2, 2));
  EXPECT_EQ(g.TrailingPasses(), 2);
}

TEST(Policy, ASeedAlwaysPlaysTheSameLegalMovesAndNeverFillsItsOwnEye) {
  auto selfPlay = [](std::uint64_t seed) {
    GoGame g;
    refpuppet::Random random(seed);
    while (g.MovesMade() < 250) {
      Move m = refpuppet::ChooseMove(g, random);
      if (m.IsPass()) {
        g.Pass();
        continue;
      }
      EXPECT_FALSE(g.IsEyeOf(m.C, m.R, g.ToMove()));
      EXPECT_TRUE(g.Play(m.C, m.R));
    }
    return g;
  };
  GoGame a = selfPlay(5), b = selfPlay(5), c = selfPlay(6);
  EXPECT_GT(a.StonesCaptured(), 0);
  EXPECT_EQ(a.History(), b.History());
  EXPECT_NE(a.History(), c.History());
}

struct Placed {
  explicit Placed(int profile) : Launcher(W.Desktop) {
    W.Form3().Hide();
    Launcher.Options.ThinkMs = 1000000;
    Launcher.PreferEdition(profile);
    Launcher.RegisterAll();
    W.Desktop.StartProgram(std::string("C:\\Go\\") + refpuppet::DesignOf(profile)->Executables[0],
                           "C:\\Go\\");
    Puppet = Launcher.Find(profile);
    W.Form1().FindPuppet(profile);
    puppet_test::PlacePuppet(W, profile);
  }
  World W;
  refpuppet::PuppetLauncher Launcher;
  refpuppet::ReferencePuppet* Puppet = nullptr;
};

TEST(ReferencePuppet, BoardsStandAtTheWorkedCornersAndTakeClicksThere) {
  for (const auto& e : puppet_test::BoardCorners) {
    Placed p(e.Profile);
    ASSERT_NE(p.Puppet, nullptr);
    ASSERT_EQ(p.W.Form1().ProfileNo, e.Profile);
    EXPECT_EQ(p.Puppet->PointOnScreen(1, 1), e.TopLeft) << "profile " << e.Profile;
    EXPECT_EQ(p.Puppet->PointOnScreen(19, 19), e.BottomRight) << "profile " << e.Profile;
    // A click beside a point is not a move.
    p.W.Form1().ClickAt(e.TopLeft.X + 4, e.TopLeft.Y + 4);
    EXPECT_EQ(p.Puppet->Game().MovesMade(), 0) << "profile " << e.Profile;
    p.W.Form1().ClickAt(e.BottomRight.X, e.BottomRight.Y);
    EXPECT_EQ(p.Puppet->Game().At(19, 19), Stone::Black) << "profile " << e.Profile;
    EXPECT_TRUE(p.Puppet->Thinking());
  }
}

TEST(ReferencePuppet, ItsBoardMovesWithItsWindow) {
  Placed p(1);
  platform::WindowHandle h = p.Puppet->Window();
  p.W.Desktop.SetWindowPos(h, platform::InsertTop, 100, 50, 500, 375, 0);
  EXPECT_EQ(p.Puppet->PointOnScreen(1, 1), (Point{239, 118}));
  // At another size the program lays its board out afresh, centred.
  p.W.Desktop.SetWindowPos(h, platform::InsertTop, 0, 0, 520, 395, 0);
  EXPECT_EQ(p.Puppet->PointOnScreen(1, 1), (Point{149, 78}));
  p.W.Form1().ClickAt(139, 68);  // the designed place is no longer a point
  EXPECT_EQ(p.Puppet->Game().MovesMade(), 0);
}

// Asked for 410 x 410, profile 5's board window keeps the height that shows its
// whole board, with its board where it was; the main window stays below it.
TEST(ReferencePuppet, Profile5KeepsAWindowThatShowsItsWholeBoard) {
  Placed p(5);
  Rect board, main;
  ASSERT_TRUE(p.W.Desktop.GetWindowRect(p.Puppet->Window(), board));
  ASSERT_TRUE(p.W.Desktop.GetWindowRect(p.Puppet->MainWindow(), main));
  EXPECT_EQ(board, (Rect{0, 0, 410, 500}));
  EXPECT_EQ(main.Left, 0);
  EXPECT_EQ(main.Top, 500);
  EXPECT_EQ(p.W.Desktop.Window(p.Puppet->MainWindow())->Title(), "Pelinarﾊﾟﾜｰｱｯﾌﾟ版");
  EXPECT_EQ(p.Puppet->PointOnScreen(19, 19), (Point{375, 477}));
  p.W.Form1().ClickAt(375, 477);
  EXPECT_EQ(p.Puppet->Game().At(19, 19), Stone::Black);
}

TEST(ReferencePuppet, MenusBoxesAndIllegalClicksAreHandledAsTheProgramWould) {
  Placed p(13);
  auto& f = p.W.Form1();
  // A menu opened and closed by a click beside its entry passes nothing.
  f.ClickAt(80, 30);
  f.ClickAt(300, 300);
  EXPECT_EQ(p.Puppet->OpponentPasses(), 0);
  f.ClickAt(198, 84);  // the click that closed the menu did not play either
  EXPECT_EQ(p.Puppet->Game().MovesMade(), 1);
  // While it thinks, a click on the board is ignored.
  f.ClickAt(213, 84);
  EXPECT_EQ(p.Puppet->Game().MovesMade(), 1);
}

TEST(ReferencePuppet, ItsDialogsTakeEveryClickAndItStartsOnlyAGameItPlaysIn) {
  Placed p(1);
  auto& f = p.W.Form1();
  refpuppet::ReferencePuppet& puppet = *p.Puppet;
  const int started = puppet.GamesStarted();
  // A click on another title of the menu bar opens that menu instead; a click
  // beside a menu only closes it, even on a board point.
  f.ClickAt(155, 25);
  f.ClickAt(200, 30);
  EXPECT_TRUE(puppet.PanelOpen());
  f.ClickAt(427, 356);
  EXPECT_FALSE(puppet.PanelOpen());
  EXPECT_EQ(puppet.Game().MovesMade(), 0);
  // While the players' dialog is open, clicks beside its controls and on the
  // window behind it change nothing.
  f.ClickAt(155, 25);
  f.ClickAt(155, 68);
  ASSERT_TRUE(puppet.PanelOpen());
  for (Point at : {Point{350, 300}, Point{427, 356}, Point{480, 180}, Point{480, 68}})
    f.ClickAt(at.X, at.Y);
  EXPECT_TRUE(puppet.PanelOpen());
  EXPECT_EQ(puppet.Game().MovesMade(), 0);
  EXPECT_EQ(puppet.OpponentPasses(), 0);
  EXPECT_EQ(puppet.GamesStarted(), started);
  // Two people at the board: the start button starts nothing.
  for (Point at : {Point{180, 122}, Point{180, 204}, Point{190, 340}, Point{480, 68}})
    f.ClickAt(at.X, at.Y);
  EXPECT_EQ(puppet.GamesStarted(), started);
  // The program as Black, a person as White.
  for (Point at :
       {Point{155, 25}, Point{155, 68}, Point{264, 122}, Point{190, 340}, Point{480, 68}})
    f.ClickAt(at.X, at.Y);
  EXPECT_EQ(puppet.GamesStarted(), started + 1);
  EXPECT_EQ(puppet.Colour(), Stone::Black);
  EXPECT_EQ(puppet.Seat(refpuppet::WhiteSide), 0);
}

}  // namespace
