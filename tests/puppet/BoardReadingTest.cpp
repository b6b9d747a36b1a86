// Reading the puppet's move from the screen: a reference puppet at its play
// position, with single pixels laid over it where a case needs them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/puppet/Placement.h"
#include "tests/puppet/WorkedExamples.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using platform::ColorRef;
using platform::Point;
using platform::Rect;
using platform::Rgb;
using testing_world::World;

constexpr ColorRef White = Rgb(255, 255, 255);
constexpr ColorRef Grey = Rgb(192, 192, 192);
constexpr ColorRef Black = Rgb(0, 0, 0);

// One profile's puppet, placed and found, thinking for ever after a move so that
// nothing changes on its own.
struct Screen {
  explicit Screen(int profile, int width = 1024, int height = 768)
      : W(width, height), F(W.Form1()) {
    W.Form3().Hide();
    Launcher = std::make_unique<refpuppet::PuppetLauncher>(W.Desktop);
    Launcher->Options.ThinkMs = 1000000;
    Puppet = &Launcher->Start(profile);
    F.FindPuppet(profile);
    puppet_test::PlacePuppet(W, profile);
    W.Desktop.ClearInputLog();
  }
  // A single pixel of the given colour over everything at (x, y).
  void Dot(int x, int y, ColorRef c) {
    W.Desktop.CreateWindow("dot", Rect{x, y, x + 1, y + 1}, nullptr).SetPixel(0, 0, c);
  }
  // One look; (-1, -1) when it finds nothing.
  Point Look() {
    std::int32_t x = -1, y = -1;
    bool found = F.DetectPuppetMove(x, y);
    F.ClearPassSign();
    EXPECT_EQ(found, x != -1);
    return Point{x, y};
  }
  void Record(int c, int r, bool black) {
    F.MoveX = c;
    F.MoveY = r;
    F.LastMoveCode = board::PointCode(c, r);
    F.PlaceStone(black);
  }
  Point Parking() { return Point{F.Left() + 30, F.Top() + 202}; }

  World W;
  tovarin::TForm1& F;
  std::unique_ptr<refpuppet::PuppetLauncher> Launcher;
  refpuppet::ReferencePuppet* Puppet = nullptr;
};

constexpr Point Nothing{-1, -1};
constexpr Point Pass{0, 0};

TEST(BoardReading, EveryProfileSeesItsCornersAndNothingOnAnEmptyBoard) {
  for (const auto& e : puppet_test::BoardCorners) {
    Screen s(e.Profile);
    EXPECT_EQ(s.Look(), Nothing) << "profile " << e.Profile;
    s.F.ClickAt(e.BottomRight.X, e.BottomRight.Y);
    EXPECT_EQ(s.Look(), (Point{19, 19})) << "profile " << e.Profile;
    s.Puppet->NewGame(false);
    s.F.ClickAt(e.TopLeft.X, e.TopLeft.Y);
    EXPECT_EQ(s.Look(), (Point{1, 1})) << "profile " << e.Profile;
    EXPECT_EQ(s.Puppet->Game().MovesMade(), 1);
  }
}

// Profile 13 samples the board points themselves: (c, r) at (15c + 183, 15r + 69).
// More than one new stone, or a white stone gone that no capture took, is no move.
TEST(BoardReading, OnlyOneNewStoneAndOnlyCapturedStonesGoneMakeAMove) {
  using Sighting = tovarin::TForm1::Sighting;
  constexpr ColorRef Dark = Rgb(10, 10, 10);  // a black stone's face, not the empty black
  Screen s(13);
  s.Dot(258, 114, White);  // (5, 3)
  s.Dot(243, 219, White);  // (4, 10)
  EXPECT_EQ(s.Look(), Nothing);
  EXPECT_EQ(s.F.LastSighting, Sighting::ManyNewStones);
  EXPECT_EQ(s.F.SightingPoints, 2);

  Screen t(13);
  t.Record(2, 1, true);
  t.Record(1, 1, false);
  t.Record(10, 10, true);
  t.Record(11, 11, false);
  t.Dot(213, 84, Dark);    // (2, 1)
  t.Dot(333, 219, Dark);   // (10, 10)
  t.Dot(348, 234, White);  // (11, 11); (1, 1) shows empty
  EXPECT_EQ(t.Look(), Nothing);
  EXPECT_EQ(t.F.LastSighting, Sighting::StonesGone);
  EXPECT_EQ(t.F.SightingPoints, 1);
  t.Dot(198, 99, Dark);  // (1, 2) takes it
  EXPECT_EQ(t.Look(), (Point{1, 2}));
  EXPECT_EQ(t.F.LastSighting, Sighting::AllWell);
}

TEST(BoardReading, APointHoldingAStoneIsNeverLookedAt) {
  Screen s(13);
  s.Record(4, 2, true);
  s.Dot(243, 99, White);
  EXPECT_EQ(s.Look(), Nothing);
  // And its empty look does not hide a new stone further on.
  s.Record(5, 5, false);
  s.Dot(273, 144, White);  // (6, 5)
  EXPECT_EQ(s.Look(), (Point{6, 5}));
}

TEST(BoardReading, Profile5CornerIsOccupiedByAnyBlackPixelAroundIt) {
  Screen s(5);
  s.Dot(33, 135, White);  // the corner's centre plays no part
  EXPECT_EQ(s.Look(), Nothing);
  s.Dot(32, 134, Black);
  EXPECT_EQ(s.Look(), (Point{1, 1}));
  Screen t(5);
  t.Dot(62, 135, White);  // row 1 is read left of its points
  EXPECT_EQ(t.Look(), (Point{3, 1}));
}

TEST(BoardReading, Profile17ReadsPoint1_14OneToTheRightAndOnlyBlackIsEmpty) {
  Screen s(17);
  s.Dot(36, 491, White);  // the point itself is not read
  EXPECT_EQ(s.Look(), Nothing);
  s.Dot(68, 491, Rgb(40, 40, 40));  // (2, 14): one of the empty shades
  EXPECT_EQ(s.Look(), Nothing);
  s.Dot(37, 491, Rgb(40, 40, 40));
  EXPECT_EQ(s.Look(), (Point{1, 14}));
}

TEST(BoardReading, Profile4TrustsItsPassSignOnlyAfterTheGraceTime) {
  Screen s(4);
  s.Dot(614, 266, Black);
  s.F.PassCheckDue = false;
  EXPECT_EQ(s.Look(), Nothing);
  s.F.PassCheckDue = true;
  EXPECT_EQ(s.Look(), Pass);
  Screen t(4);
  t.F.PassCheckDue = false;
  t.Dot(512, 384, Grey);  // a box in the middle of the screen counts at once
  EXPECT_EQ(t.Look(), Pass);
  EXPECT_TRUE(s.W.Desktop.Clicks().empty());
  EXPECT_TRUE(t.W.Desktop.Clicks().empty());
}

TEST(BoardReading, Profile3ClearsANoticeAndLooksNoFurther) {
  Screen s(3);
  s.Dot(412, 384, Grey);
  s.Dot(185, 235, Grey);   // a pass box would be seen next ...
  s.Dot(130, 148, White);  // ... and a stone at (7, 5)
  s.W.Desktop.SetCursorPos(5, 5);
  EXPECT_EQ(s.Look(), Nothing);
  EXPECT_EQ(s.W.Desktop.Clicks(), (std::vector<Point>{{532, 444}}));
  EXPECT_EQ(s.W.Desktop.CursorPos(), (Point{532, 444}));  // not parked
  // With the notice gone the pass box is seen, clicked away and the cursor parked.
  s.Dot(412, 384, White);
  EXPECT_EQ(s.Look(), Pass);
  EXPECT_EQ(s.W.Desktop.Clicks(), (std::vector<Point>{{532, 444}, {235, 235}}));
  EXPECT_EQ(s.W.Desktop.CursorPos(), s.Parking());
}

TEST(BoardReading, APassBoxIsClickedAwayAndTheCursorParked) {
  Screen s(1);
  s.Dot(150, 212, Grey);
  s.Dot(235, 346, White);  // a stone is not looked for
  EXPECT_EQ(s.Look(), Pass);
  EXPECT_EQ(s.W.Desktop.Clicks(), (std::vector<Point>{{250, 215}}));
  EXPECT_EQ(s.W.Desktop.CursorPos(), s.Parking());
  Screen t(14);  // placed by the screen's centre
  t.Dot(512, 434, Grey);
  EXPECT_EQ(t.Look(), Pass);
  EXPECT_EQ(t.W.Desktop.Clicks(), (std::vector<Point>{{512, 434}}));
}

TEST(BoardReading, Profile9ClearsItsThreeBoxesAndNotesIt) {
  Screen s(9);
  s.Dot(524, 468, Grey);
  std::uint32_t t0 = s.W.Clock.TickCount();
  EXPECT_EQ(s.Look(), Pass);
  EXPECT_EQ(s.W.Desktop.Clicks(), (std::vector<Point>{{524, 448}, {524, 418}, {464, 528}}));
  EXPECT_EQ(s.W.Clock.TickCount() - t0, 3u * 400 + 500 + 500 + 300);
  EXPECT_EQ(s.W.Desktop.CursorPos(), s.Parking());
  EXPECT_TRUE(s.F.PassDialogHandled);
}

TEST(BoardReading, Profile9SeesAPassByTheLastStonesMarkGone) {
  Screen s(9);
  EXPECT_EQ(s.Look(), Nothing);  // no move yet: nothing to read a pass from
  s.F.ClickAt(128, 163);         // the partner's stone at (5, 5), marked as the last move
  s.Record(5, 5, true);
  EXPECT_EQ(s.Look(), Nothing);
  s.Dot(128, 163, Black);  // its mark gone
  EXPECT_EQ(s.Look(), Pass);
  EXPECT_TRUE(s.W.Desktop.Clicks().size() == 1);  // no click for this pass
  s.F.RecordPass();
  EXPECT_EQ(s.Look(), Nothing);  // after a recorded pass there is no last stone

  Screen t(9);
  t.Record(3, 4, false);
  t.Dot(88, 143, Rgb(200, 200, 200));  // a white stone's plain face
  EXPECT_EQ(t.Look(), Pass);
  t.Dot(88, 143, Black);  // a black face under a white stone is no sign
  EXPECT_EQ(t.Look(), Nothing);
}

TEST(BoardReading, NoProfileReadsNothing) {
  Screen s(1);
  s.Dot(150, 212, Grey);
  s.F.ProfileNo = 0;
  EXPECT_EQ(s.Look(), Nothing);
  s.F.ProfileNo = puppet::ProfileCount + 1;  // no profile
  EXPECT_EQ(s.Look(), Nothing);
  EXPECT_TRUE(s.W.Desktop.Clicks().empty());
}

TEST(BoardReading, APartOfTheBoardOffTheScreenIsNeverAMove) {
  Screen s(17, 1024, 600);  // rows 18 and 19 lie below the screen's edge
  EXPECT_EQ(s.Look(), Nothing);
  s.F.ClickAt(36, 587);  // (1, 17), still on the screen
  EXPECT_EQ(s.Look(), (Point{1, 17}));
}

}  // namespace
