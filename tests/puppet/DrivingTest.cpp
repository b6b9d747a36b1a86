// Finding the puppet by its titles, and the clicks and key presses sent to it.
#include <gtest/gtest.h>

#include <vector>

#include "tests/puppet/WorkedExamples.h"
#include "tests/support/World.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using platform::Point;
using platform::Rect;
using platform::headless::InputEvent;
using testing_world::World;

platform::WindowHandle Open(World& w, const char* title) {
  return w.Desktop.CreateWindow(title, Rect{0, 0, 300, 200}, nullptr).Handle();
}

Point Parking(World& w) { return Point{w.Form1().Left() + 30, w.Form1().Top() + 202}; }

TEST(FindPuppet, TitlesAreFilledByTheMainWindow) {
  World w;
  const auto titles = puppet::TitleTable();
  for (int i = 0; i < puppet::TitleCount; ++i)
    EXPECT_EQ(w.Form1().WindowTitles[static_cast<std::size_t>(i)],
              titles[static_cast<std::size_t>(i)]);
}

TEST(FindPuppet, Profile5NeedsItsBoardWindowAndOneMainWindow) {
  World w;
  auto& f = w.Form1();
  platform::WindowHandle main = Open(w, "Pelinar");
  f.FindPuppet(5);
  EXPECT_EQ(f.ProfileNo, 0);  // the main window alone
  w.Desktop.DestroyWindow(main);
  platform::WindowHandle board = Open(w, "碁盤");
  f.FindPuppet(5);
  EXPECT_EQ(f.ProfileNo, 0);  // the board window alone
  for (const char* title : {"Pelinarﾊﾟﾜｰｱｯﾌﾟ版", "Pelinar"}) {
    f.ProfileNo = 0;
    main = Open(w, title);
    f.FindPuppet(5);
    EXPECT_EQ(f.ProfileNo, 5) << title;
    EXPECT_EQ(f.PuppetWindow, board);  // the board window is the one driven
    EXPECT_EQ(f.TargetWidth, 410);
    EXPECT_EQ(f.TargetHeight, 410);
    w.Desktop.DestroyWindow(main);
  }
}

TEST(FindPuppet, TheProfileAskedForIsTheOneThatBecomesActive) {
  World w;
  auto& f = w.Form1();
  platform::WindowHandle h = Open(w, "無題 - Pelinar２");
  f.FindPuppet(16);
  EXPECT_EQ(f.ProfileNo, 16);
  EXPECT_EQ(f.PuppetWindow, h);
  EXPECT_EQ(f.TargetWidth, 380);
  EXPECT_EQ(f.TargetHeight, 470);
  EXPECT_STREQ(f.PuppetTag(), "[P2UP]");
  f.FindPuppet(6);
  EXPECT_EQ(f.ProfileNo, 6);
  EXPECT_EQ(f.TargetWidth, 424);
  EXPECT_STREQ(f.PuppetTag(), "[Pel2]");
}

TEST(FindPuppet, ANearMissOrANumberOutsideTheTableChangesNothing) {
  World w;
  auto& f = w.Form1();
  EXPECT_STREQ(f.PuppetTag(), "[不明]");
  Open(w, "無題 - Pelinar2");            // half-width digit
  Open(w, "対局囲碁 Ostrugo - (無題)");  // ASCII space for the ideographic one
  Open(w, "Brimu6 -新規対局");           // a space missing
  for (int p : {6, 4, 3, puppet::NoProfile, puppet::ProfileCount + 1, -5}) f.FindPuppet(p);
  EXPECT_EQ(f.ProfileNo, 0);
  EXPECT_EQ(f.PuppetWindow, 0u);
  EXPECT_EQ(f.TargetWidth, 0);
  // A found puppet stays active when a later search fails.
  platform::WindowHandle h = Open(w, "Wendrix");
  f.FindPuppet(18);
  f.FindPuppet(14);
  EXPECT_EQ(f.ProfileNo, 18);
  EXPECT_EQ(f.PuppetWindow, h);
  EXPECT_STREQ(f.PuppetTag(), "[Wendrix]");
}

TEST(Input, ClickAndKeyPressTakeTheirTimes) {
  World w;
  auto& f = w.Form1();
  w.Desktop.ClearInputLog();
  std::uint32_t t0 = w.Clock.TickCount();
  f.ClickAt(120, 130);
  EXPECT_EQ(w.Clock.TickCount() - t0, 400u);
  f.PressKey(0x65);
  EXPECT_EQ(w.Clock.TickCount() - t0, 600u);
  const auto& log = w.Desktop.InputLog();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].What, InputEvent::CursorTo);
  EXPECT_EQ(log[1].What, InputEvent::LeftDown);
  EXPECT_EQ(log[1].X, 120);
  EXPECT_EQ(log[1].Y, 130);
  EXPECT_EQ(log[2].What, InputEvent::LeftUp);
  EXPECT_EQ(log[2].Tick - log[1].Tick, 100u);
  EXPECT_EQ(log[3].What, InputEvent::KeyDown);
  EXPECT_EQ(log[3].X, 0x65);
  EXPECT_EQ(log[3].Tick - t0, 400u);
  EXPECT_EQ(log[4].What, InputEvent::KeyUp);
  EXPECT_EQ(log[4].Tick - log[3].Tick, 100u);
}

TEST(Input, TheCursorIsParkedOnTheMainWindowWhereverItStands) {
  World w;
  auto& f = w.Form1();
  f.ParkCursor();
  EXPECT_EQ(w.Desktop.CursorPos(), Parking(w));
  f.SetBounds(100, 50, f.Width(), f.Height());
  f.ParkCursor();
  EXPECT_EQ(w.Desktop.CursorPos(), (Point{130, 252}));
  EXPECT_TRUE(w.Desktop.Clicks().empty());
}

struct Entered {
  std::vector<Point> Clicks;
  bool Activated;
  bool Parked;
};

Entered Enter(World& w, int profile, int x, int y) {
  auto& f = w.Form1();
  f.ProfileNo = profile;
  f.PuppetWindow = Open(w, "puppet");
  w.Form3().Hide();
  w.Desktop.ActivateWindow(0);
  w.Desktop.ClearInputLog();
  f.EnterMove(x, y);
  // Nothing else lies under the clicks, so the puppet stays the active window.
  return Entered{w.Desktop.Clicks(), w.Desktop.ActiveWindow() == f.PuppetWindow,
                 w.Desktop.CursorPos() == Parking(w)};
}

TEST(EnterMove, MovesAndPassesAreClickedWhereThePuppetTakesThem) {
  World w;
  EXPECT_EQ(Enter(w, 17, 19, 19).Clicks, (std::vector<Point>{{612, 651}}));
  EXPECT_EQ(Enter(w, 14, 1, 1).Clicks, (std::vector<Point>{{28, 68}}));
  // Profiles 3, 7 and 8 take a click on the title bar first.
  EXPECT_EQ(Enter(w, 3, 1, 1).Clicks, (std::vector<Point>{{50, 10}, {34, 73}}));
  EXPECT_EQ(Enter(w, 8, 2, 3).Clicks, (std::vector<Point>{{50, 10}, {48, 94}}));
  EXPECT_EQ(Enter(w, 3, 0, 0).Clicks, (std::vector<Point>{{50, 10}, {90, 30}, {90, 75}}));
  EXPECT_EQ(Enter(w, 10, 0, 0).Clicks, (std::vector<Point>{{300, 400}, {235, 235}}));
  EXPECT_EQ(Enter(w, 18, 0, 0).Clicks, (std::vector<Point>{{560, 150}}));
  EXPECT_EQ(Enter(w, 5, 0, 0).Clicks, (std::vector<Point>{{230, 60}}));
}

TEST(EnterMove, EveryProfileActivatesThePuppetAndParksTheCursor) {
  World w;
  // Clicks of a pass per profile, counted by hand from the profiles' pass buttons.
  const std::size_t passClicks[18] = {1, 1, 2, 1, 1, 1, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    std::size_t title = p == 3 || p == 7 || p == 8 ? 1 : 0;  // the title bar's click
    Entered pass = Enter(w, p, 0, 0);
    EXPECT_EQ(pass.Clicks.size(), title + passClicks[p - 1]) << p;
    // A move is one click; the board's centre lies halfway between its corners.
    Entered move = Enter(w, p, 10, 10);
    const puppet_test::Corners& c = puppet_test::BoardCorners[static_cast<std::size_t>(p - 1)];
    Point centre{(c.TopLeft.X + c.BottomRight.X) / 2, (c.TopLeft.Y + c.BottomRight.Y) / 2};
    EXPECT_EQ(move.Clicks.size(), title + 1) << p;
    EXPECT_EQ(move.Clicks.back(), centre) << p;
    for (const Entered& e : {pass, move}) {
      EXPECT_TRUE(e.Activated) << p;
      EXPECT_TRUE(e.Parked) << p;
    }
  }
}

TEST(EnterMove, NoProfileOrNoBoardPointClicksNothing) {
  World w;
  for (int p : {puppet::NoProfile, puppet::ProfileCount + 1, -1}) {
    Entered e = Enter(w, p, 4, 4);
    EXPECT_TRUE(e.Clicks.empty()) << p;
    EXPECT_TRUE(e.Activated) << p;
    EXPECT_TRUE(e.Parked) << p;
  }
  // A point off the board would be clicked beside it, into whatever is there.
  for (Point m : {Point{0, 5}, Point{5, 0}, Point{20, 1}, Point{1, 20}, Point{-1, -1}}) {
    Entered e = Enter(w, 3, m.X, m.Y);
    EXPECT_TRUE(e.Clicks.empty()) << m.X << "," << m.Y;
    EXPECT_TRUE(e.Parked);
  }
}

}  // namespace
