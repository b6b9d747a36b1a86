// Launch and placement, and the set-up scripts, against plain windows on the
// simulated desktop: what is clicked, read, typed and logged, all in virtual time.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/World.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using platform::Point;
using platform::Rect;
using platform::Rgb;
using platform::headless::SimDesktop;
using platform::headless::SimWindow;
using testing_world::World;

const char* const Dashes = "----------------------------------------------";

// A program that only shows a window with a title and takes what it is given.
struct PlainProgram : platform::headless::SimWindowOwner {
  std::string Title;
  Rect Start;
  bool Fixed = false;  // refuses to be moved or sized
  bool StartMinimised = false;
  platform::WindowHandle Window = 0;
  bool OnPlacing(SimWindow&, Rect&) override { return !Fixed; }
};

class Launch : public ::testing::Test {
 protected:
  World w{1024, 768};
  tovarin::TForm1& f1 = w.Form1();
  PlainProgram program;

  // Registers `exe` as `profile` and lets the desktop start `title` for it.
  void Install(int profile, const std::string& exe, const std::string& title, Rect start) {
    program.Title = title;
    program.Start = start;
    w.Desktop.RegisterProgram(exe, [this](SimDesktop& d, const std::string&, const std::string&) {
      SimWindow& win = d.CreateWindow(program.Title, program.Start, &program);
      program.Window = win.Handle();
      if (program.StartMinimised) d.Minimize(win.Handle());
    });
    std::ofstream("touroku.txt", std::ios::app) << profile << " C:\\Games\\" << exe << "\n";
    std::ofstream("tourokusuu.txt", std::ios::trunc) << 1;
    ASSERT_TRUE(f1.ReadAndListRegistry());
    w.Form2().ListBox1.SetItemIndex(0);
    f1.ClearLog();
  }
  std::vector<std::string> Log() { return w.Log(); }
};

TEST_F(Launch, ScreenWidthLimits) {
  Install(17, "NOVRA2.EXE", "Umbrisa・弐", Rect{0, 0, 680, 670});
  const std::pair<int, const char*> cases[] = {
      {749, "画面サイズを(800,600)以上に広げないと対戦できません"},
      {899, "画面サイズを(1024,768)以上に広げないと対戦できません"},
  };
  for (const auto& [width, message] : cases) {
    w.Desktop.SetScreenSize(width, 768);
    EXPECT_FALSE(f1.PreparePuppet());
    EXPECT_EQ(w.App.MessageBoxes.back().Text, message);
  }
  EXPECT_TRUE(w.Desktop.StartedPrograms().empty());
  w.Desktop.SetScreenSize(900, 768);
  EXPECT_TRUE(f1.PreparePuppet());
  EXPECT_EQ(f1.ProfileNo, 17);
}

TEST_F(Launch, WindowAlreadyInPlaceIsLeftAlone) {
  Install(18, "WENDRIX.EXE", "Wendrix", Rect{0, 0, 640, 480});
  auto start = w.Clock.TickCount();
  ASSERT_TRUE(f1.PreparePuppet());
  EXPECT_EQ(w.Desktop.StartedPrograms()[0].WorkingFolder, "C:\\Games\\");
  EXPECT_GE(w.Clock.TickCount() - start, 10000u);  // the settle wait, in virtual time
  std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0], Dashes);
  EXPECT_EQ(log[1], "");
  EXPECT_EQ(log[2], "初期 位置：(0,0)");
  EXPECT_EQ(log[3], "     サイズ：(640,480)");
  EXPECT_EQ(log[4], "傀儡前準備 OK");
  EXPECT_EQ(log.size(), 5u);
  // The cursor is parked on the main window.
  EXPECT_EQ(w.Desktop.CursorPos(), (Point{f1.Left() + 30, f1.Top() + 202}));
}

TEST_F(Launch, WindowElsewhereIsMovedAndSized) {
  Install(12, "LUMBA.EXE", "Sivarne - 無題", Rect{40, 50, 40 + 510, 50 + 380});
  ASSERT_TRUE(f1.PreparePuppet());
  std::vector<std::string> log = Log();
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{"", "傀儡位置を(0,0)に移動しました！", "傀儡前化粧 OK"}));
  EXPECT_EQ(f1.PuppetRect, (Rect{0, 0, 510, 380}));
}

// A window that keeps a size of its own is taken when it stands at the origin (the
// look before the first game judges its board). One that stays elsewhere stops
// the start after its log lines, before any script clicks into whatever stands
// at the profile's points.
TEST_F(Launch, AWindowThatKeepsItsSizeIsTakenOnlyAtTheOrigin) {
  program.Fixed = true;
  Install(13, "GRETO4.EXE", "無題 - Tulkomi S2", Rect{0, 0, 300, 200});
  EXPECT_TRUE(f1.PreparePuppet());
  std::vector<std::string> log = Log();
  EXPECT_EQ(
      std::vector<std::string>(log.end() - 3, log.end()),
      (std::vector<std::string>{"", "傀儡サイズを(300,200)に調整しました！", "傀儡前化粧 OK"}));
  EXPECT_EQ(f1.PuppetRect, (Rect{0, 0, 300, 200}));

  w.Desktop.MoveWindow(program.Window, Rect{40, 30, 340, 230});
  EXPECT_FALSE(f1.PlacePuppetWindow());
  log = Log();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            (std::vector<std::string>{"傀儡サイズを(300,200)に調整しました！",
                                      "この傀儡を操る事は出来ません！"}));
}

TEST_F(Launch, AMinimisedWindowStopsTheStart) {
  program.StartMinimised = true;
  Install(2, "HALVENDO.EXE", "無題 - Halvendo囲碁", Rect{0, 0, 400, 372});
  EXPECT_FALSE(f1.PreparePuppet());
  std::vector<std::string> log = Log();
  EXPECT_EQ(
      std::vector<std::string>(log.end() - 2, log.end()),
      (std::vector<std::string>{"タスクバーで寝ている よ！", "通信対戦エラーになりました！"}));
}

TEST_F(Launch, ProfilesThatPlayOffTheLeftEdgeAreShifted) {
  Install(14, "UMBRISA.EXE", "Umbrisa", Rect{0, 0, 534, 544});
  auto real = std::chrono::steady_clock::now();
  ASSERT_TRUE(f1.PreparePuppet());
  EXPECT_LT(std::chrono::steady_clock::now() - real, std::chrono::seconds(1));
  std::vector<std::string> log = Log();
  EXPECT_EQ(log[log.size() - 2], "傀儡位置を(-35,0)にセットしました");
  EXPECT_EQ(log.back(), "傀儡前準備 OK");
  EXPECT_EQ(f1.PuppetRect, (Rect{-35, 0, -35 + 534, 544}));
}

TEST_F(Launch, MissingWindowOrSelectionOrRegistryStopsTheStart) {
  Install(1, "VK2.EXE", "not the title", Rect{0, 0, 500, 375});
  EXPECT_FALSE(f1.PreparePuppet());
  EXPECT_EQ(w.App.MessageBoxes.back().Text, "傀儡は見付かりません！");
  std::vector<std::string> log = Log();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            (std::vector<std::string>{"傀儡は見付かりませんでした！", Dashes}));
  // No line selected: no profile is read from the table.
  w.Form2().ListBox1.SetItemIndex(-1);
  EXPECT_FALSE(f1.PreparePuppet());
  EXPECT_EQ(w.App.MessageBoxes.back().Text, "対戦するプログラムが選ばれていません！");
  // The list file gone: the path cannot be looked up.
  w.Form2().ListBox1.SetItemIndex(0);
  std::filesystem::remove("touroku.txt");
  EXPECT_FALSE(f1.PreparePuppet());
  EXPECT_EQ(w.App.MessageBoxes.back().Text, "指定したファイルが見付かりません！");
}

TEST_F(Launch, AnEntryOfNoSupportedProgramIsNotStarted) {
  // The desktop could start VK2.EXE, but the hand-written second line, the one
  // chosen, names no supported program.
  Install(1, "VK2.EXE", "Velkaro Ⅱ", Rect{0, 0, 500, 375});
  for (int profile : {puppet::NoProfile, puppet::ProfileCount + 1}) {
    std::ofstream("touroku.txt", std::ios::trunc) << "1 C:\\Games\\VK2.EXE\n"
                                                  << profile << " C:\\Games\\VK2.EXE\n";
    std::ofstream("tourokusuu.txt", std::ios::trunc) << 2;
    ASSERT_TRUE(f1.ReadAndListRegistry());
    w.Form2().ListBox1.SetItemIndex(1);
    EXPECT_FALSE(f1.PreparePuppet()) << profile;
    EXPECT_EQ(w.App.MessageBoxes.back().Text, "不明なプログラムは対戦できません！");
    EXPECT_TRUE(w.Desktop.StartedPrograms().empty()) << profile;
  }
}

// ---- Set-up scripts ----

// A window that paints given pixels (screen coordinates) and records nothing else.
struct PaintedScreen : platform::headless::SimWindowOwner {};

class Scripts : public ::testing::Test {
 protected:
  World w{1024, 768};
  tovarin::TForm1& f1 = w.Form1();
  PaintedScreen owner;
  SimWindow* screen = nullptr;

  void SetUp() override {
    screen = &w.Desktop.CreateWindow("puppet", Rect{0, 0, 700, 700}, &owner);
    screen->FillRect(Rect{0, 0, 700, 700}, Rgb(255, 255, 255));
    f1.PuppetWindow = screen->Handle();
    w.Desktop.ClearInputLog();
  }
  void Paint(int x, int y, platform::ColorRef c) { screen->SetPixel(x, y, c); }
  std::vector<Point> Clicks() { return w.Desktop.Clicks(); }
};

TEST_F(Scripts, Profile4TypesItsKeysWithTheirWaits) {
  f1.ProfileNo = 4;
  Paint(124, 140, Rgb(0, 0, 0));  // already ticked: not clicked
  f1.SetPuppetOptions();
  std::vector<std::string> keys;
  std::vector<std::uint32_t> ticks;
  for (const auto& e : w.Desktop.InputLog())
    if (e.What == platform::headless::InputEvent::KeyDown ||
        e.What == platform::headless::InputEvent::KeyUp) {
      std::string key = e.What == platform::headless::InputEvent::KeyDown ? "d" : "u";
      key += std::to_string(e.X);
      keys.push_back(key);
      ticks.push_back(e.Tick);
    }
  EXPECT_EQ(keys, (std::vector<std::string>{"d8", "u8", "d8", "u8", "d8", "u8", "d101", "u101",
                                            "d101", "u101", "d101", "u101"}));
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], 100u);
  EXPECT_EQ(Clicks(),
            (std::vector<Point>{{123, 30}, {260, 10}, {80, 30}, {80, 80}, {170, 210}, {160, 355}}));
}

TEST_F(Scripts, Profile2DragsOnlyWhenItFindsTheDivider) {
  f1.ProfileNo = 2;
  f1.PuppetRect = Rect{0, 0, 400, 372};
  screen->FillRect(Rect{0, 0, 700, 700}, Rgb(128, 128, 128));
  f1.SetPuppetOptions();
  EXPECT_EQ(Clicks().back(), (Point{260, 10}));
  for (const auto& e : w.Desktop.InputLog())
    EXPECT_NE(e.What, platform::headless::InputEvent::MoveBy);
  w.Desktop.ClearInputLog();
  Paint(123, 372 - 50, Rgb(255, 255, 255));
  f1.SetPuppetOptions();
  const auto& log = w.Desktop.InputLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 3].What, platform::headless::InputEvent::LeftDown);
  EXPECT_EQ(log[log.size() - 3].X, 123);
  EXPECT_EQ(log[log.size() - 3].Y, 372 - 43);
  EXPECT_EQ(log[log.size() - 2].What, platform::headless::InputEvent::MoveBy);
  EXPECT_EQ(log[log.size() - 2].X, 400);  // moved to the window's right edge
  EXPECT_EQ(log.back().What, platform::headless::InputEvent::LeftUp);
}

TEST_F(Scripts, Profile8ReadsTheSecondPixelOnlyWhenTheFirstIsNotBlack) {
  f1.ProfileNo = 8;
  Paint(263, 51, Rgb(0, 0, 0));
  Paint(267, 67, Rgb(0, 0, 0));
  f1.SetPuppetOptions();
  EXPECT_EQ(Clicks(),
            (std::vector<Point>{
                {280, 30}, {267, 51}, {280, 30}, {267, 67}, {280, 30}, {300, 190}, {190, 325}}));
}

TEST_F(Scripts, Profile6KeepsTheListChoiceOfTheFirstGame) {
  f1.ProfileNo = 6;
  f1.PuppetIsBlack = 1;
  f1.GameNo = 1;
  f1.StartPuppetGame();  // neither list shows: choice 1
  EXPECT_EQ(f1.ListChoice, 1);
  Paint(180, 104, Rgb(0, 0, 0));  // the first list shows, with no navy entry
  f1.StartPuppetGame();
  EXPECT_EQ(f1.ListChoice, 10);
  Paint(200, 12 * 3 + 108, Rgb(0, 0, 128));
  f1.StartPuppetGame();
  EXPECT_EQ(f1.ListChoice, 3);
  EXPECT_EQ(Clicks()[Clicks().size() - 5], (Point{200, 12 * 3 + 108}));
  // Later games use it without reading the list.
  f1.GameNo = 2;
  w.Desktop.ClearInputLog();
  f1.StartPuppetGame();
  EXPECT_EQ(f1.ListChoice, 3);
  EXPECT_EQ(Clicks().size(), 9u);
}

TEST_F(Scripts, NewGameClicksFollowTheColourAndTheScreen) {
  w.Desktop.SetScreenSize(800, 600);
  f1.ProfileNo = 10;
  f1.PuppetIsBlack = 1;
  f1.StartPuppetGame();
  ASSERT_GE(Clicks().size(), 3u);
  EXPECT_EQ(Clicks()[2], (Point{304, 316}));
  EXPECT_EQ(w.Desktop.ActiveWindow(), screen->Handle());  // brought to the foreground
}

TEST_F(Scripts, EndWaitsDependOnTheColour) {
  auto duration = [&](int profile, int black) {
    f1.ProfileNo = profile;
    f1.PuppetIsBlack = black;
    w.Desktop.ClearInputLog();
    std::uint32_t start = w.Clock.TickCount();
    f1.StartPuppetGame();
    std::uint32_t lastUp = w.Desktop.InputLog().back().Tick;
    return std::pair{w.Clock.TickCount() - start, w.Clock.TickCount() - lastUp};
  };
  // After its last click (released 300 ms before the click ends) the script waits.
  EXPECT_EQ(duration(4, 1).second, 300u + 5000u);
  EXPECT_EQ(duration(4, 0).second, 300u + 3000u);
  EXPECT_EQ(duration(5, 1).second, 300u + 5000u);
  EXPECT_EQ(duration(5, 0).second, 300u);
}

TEST_F(Scripts, Profile18ClosesItsBoxOnlyWhenItIsThere) {
  f1.ProfileNo = 18;
  f1.PuppetIsBlack = 0;
  f1.StartPuppetGame();
  EXPECT_EQ(Clicks().back(), (Point{560, 85}));
  Paint(329, 270, Rgb(192, 192, 192));
  w.Desktop.ClearInputLog();
  f1.StartPuppetGame();
  EXPECT_EQ(Clicks().back(), (Point{329, 270}));
  EXPECT_EQ(Clicks()[2], (Point{284, 108}));
}

}  // namespace
