// The three windows at start-up, the new-game reset, the clocks, the log, the
// screen-saver hook and the board display, in a simulated world.
#include <gtest/gtest.h>

#include "tests/support/World.h"

namespace {

using testing_world::World;
using tovarin::FormatClock;

TEST(Startup, WindowsStandAtTheirCornersWithTheirDefaults) {
  World w;
  auto& f1 = w.Form1();
  EXPECT_EQ(w.App.Title(), " 囲碁通信代理 Tovarin");
  EXPECT_EQ(f1.Caption(), " 囲碁通信代理 Tovarin");
  EXPECT_EQ(f1.ClientWidth(), 274);
  EXPECT_EQ(f1.ClientHeight(), 201);
  EXPECT_EQ(f1.Left() + f1.Width(), 1024);
  EXPECT_EQ(f1.Top(), 0);
  EXPECT_EQ(w.Form3().Left(), 0);
  EXPECT_EQ(w.Form3().Top() + w.Form3().Height(), 768);
  EXPECT_EQ(w.Form3().Caption(), " Tovarin  情報ウインドウ  ");
  EXPECT_TRUE(f1.Visible());
  EXPECT_TRUE(w.Form3().Visible());
  EXPECT_FALSE(w.Form2().Visible());
  EXPECT_EQ(f1.SpeedButton22.Left(), 3);
  EXPECT_EQ(f1.SpeedButton22.Top(), 10);
  EXPECT_EQ(f1.Image4.Width(), 76);
  EXPECT_FALSE(f1.Label1.Visible());
  EXPECT_EQ(f1.Label1.Caption(), "手数= 0");
  EXPECT_EQ(f1.Label4.Caption(), " 0: 0: 0");
  EXPECT_EQ(f1.SpeedButton1.Caption(), "登録");
  EXPECT_EQ(f1.GamesTotal, 1);
  EXPECT_EQ(f1.GameNo, 1);
  EXPECT_EQ(f1.ListChoice, 1);
  EXPECT_EQ(f1.ProgramFolder.back(), '/');
  EXPECT_EQ(f1.Canvas().FontName, "MS明朝");
  EXPECT_TRUE(f1.Timer1.Enabled());
  EXPECT_FALSE(f1.Timer2.Enabled());
  EXPECT_FALSE(f1.Timer3.Enabled());
  // The windows take their places on the simulated desktop too.
  EXPECT_NE(w.Desktop.FindWindowByTitle(" 囲碁通信代理 Tovarin"), 0u);
  // The settings dialog stands there too, hidden until the start button shows it.
  platform::headless::SimWindow* settings =
      w.Desktop.Window(w.Desktop.FindWindowByTitle("通信対戦の設定"));
  ASSERT_NE(settings, nullptr);
  EXPECT_FALSE(settings->Visible());
}

TEST(Startup, AMissingPictureEndsTheProgramWithTheToolkitError) {
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"}) {
    World w(1024, 768, false);
    std::filesystem::remove(w.Folder.Path() / "bmp" / name);
    EXPECT_EQ(tovarin::RunProgram(w.App, w.Sys), 1);
    ASSERT_EQ(w.App.Errors.size(), 1u) << name;
    EXPECT_NE(w.App.Errors[0].find(name), std::string::npos) << w.App.Errors[0];
  }
}

TEST(Clock, FormatClock) {
  EXPECT_EQ(FormatClock(0), " 0: 0: 0");
  EXPECT_EQ(FormatClock(9000), " 0: 0: 9");
  EXPECT_EQ(FormatClock(10000), " 0: 0:10");
  EXPECT_EQ(FormatClock(59999), " 0: 0:59");
  EXPECT_EQ(FormatClock(3725000), " 1: 2: 5");
  EXPECT_EQ(FormatClock(45296000), "12:34:56");
  EXPECT_EQ(FormatClock(360000000), "100: 0: 0");
  EXPECT_EQ(FormatClock(int64_t{0x7FFFFFFF}), "596:31:23");
}

TEST(Clock, RunningClockFollowsTheMoveCount) {
  World w;
  auto& f1 = w.Form1();
  f1.PuppetIsBlack = 0;
  // Before the first move the labels stay at zero however long the wait.
  w.Clock.Advance(10000);
  w.App.ProcessMessages();
  EXPECT_EQ(f1.Label4.Caption(), " 0: 0: 0");
  EXPECT_EQ(f1.Label5.Caption(), " 0: 0: 0");
  // Black (the partner) has moved after 4 s: white is to move.
  f1.PartnerTime = 4000;
  f1.MoveX = 4;
  f1.MoveY = 4;
  ASSERT_NE(f1.CheckMovePoint(), 0);
  f1.PlaceStone(true);
  f1.Timer1Timer();
  EXPECT_EQ(f1.Label4.Caption(), " 0: 0: 4");  // black shows only its total
  EXPECT_EQ(f1.Label5.Caption(), " 0: 0: 0");  // white: its total plus 0
  f1.Timer1Timer();
  f1.Timer1Timer();
  EXPECT_EQ(f1.Label5.Caption(), " 0: 0: 2");  // 1000 ms more on each tick
  EXPECT_EQ(f1.Label4.Caption(), " 0: 0: 4");
  // With the puppet black, black's clock shows the puppet's time.
  f1.PuppetIsBlack = 1;
  f1.PuppetTime = 61000;
  f1.Timer1Timer();
  EXPECT_EQ(f1.Label4.Caption(), " 0: 1: 1");
  EXPECT_EQ(f1.Label5.Caption(), " 0: 0: 7");  // partner 4 s + 3 ticks
}

TEST(Timer1, StartupWorkRunsOnceOnTheFirstTick) {
  World w;
  w.App.PumpUntil([&] { return w.Form1().StartupDone; }, 1500);
  EXPECT_EQ(w.Log().front(), "登録済みプログラム総数 = 0");
  EXPECT_TRUE(std::filesystem::exists("tourokusuu.txt"));
  EXPECT_TRUE(w.Form1().Timer1.Enabled());
  // Whatever happens to the files later, the start-up work is never repeated.
  std::filesystem::remove("tourokusuu.txt");
  w.Form1().LogLine("after");
  w.App.PumpUntil([] { return false; }, 5500);
  EXPECT_FALSE(std::filesystem::exists("tourokusuu.txt"));
  EXPECT_EQ(w.Log().back(), "after");
  EXPECT_EQ(w.App.TicksDelivered["Timer1"], 6);
}

TEST(Timer1, AScaledDisplayIsToldAfterTheRegistry) {
  for (int percent : {100, 125}) {
    World w;
    w.Desktop.ScalePercent = percent;
    w.App.PumpUntil([&] { return w.Form1().StartupDone; }, 1500);
    const std::vector<std::string>& log = w.Log();
    const bool told = log.size() >= 4 && log[log.size() - 4].find("125%") != std::string::npos;
    EXPECT_EQ(told, percent > 100) << percent;
  }
}

TEST(Log, LinesAreAppendedAndCleared) {
  World w;
  auto& f1 = w.Form1();
  EXPECT_EQ(w.Log(), std::vector<std::string>{""});
  f1.LogLine("NewGame Send");
  f1.LogLine("");
  EXPECT_EQ(w.Log(), (std::vector<std::string>{"", "NewGame Send", ""}));
  f1.ClearLog();
  EXPECT_TRUE(w.Log().empty());
}

TEST(Hooks, ScreenSaverCommandIsSwallowedOthersPassOn) {
  World w;
  EXPECT_FALSE(w.App.Dispatch({0x0112, 0xF140, 0}));  // SC_SCREENSAVE
  EXPECT_TRUE(w.App.Dispatch({0x0112, 0xF020, 0}));   // SC_MINIMIZE
  EXPECT_TRUE(w.App.Dispatch({0x0112, 0xF060, 0}));   // SC_CLOSE
  EXPECT_TRUE(w.App.Dispatch({0x0113, 0xF140, 0}));   // WM_TIMER with the same word
  EXPECT_EQ(w.App.ScreenSaverStarts, 0);
}

TEST(InfoWindow, ResizeFitsTheMemo) {
  World w;
  auto& f3 = w.Form3();
  f3.SetBounds(f3.Left(), f3.Top(), 300, 200);
  EXPECT_EQ(f3.Memo1.Width(), 290);
  EXPECT_EQ(f3.Memo1.Height(), 172);
  EXPECT_EQ(f3.Memo1.Left(), 1);
  EXPECT_EQ(f3.Memo1.Top(), 0);
}

TEST(ResetGame, RestoresPerGameStateAndKeepsTheRest) {
  World w;
  auto& f1 = w.Form1();
  f1.PuppetIsBlack = 1;
  f1.ProfileNo = 7;
  f1.GamesTotal = 3;
  f1.PassDialogHandled = true;
  f1.MoveX = 3;
  f1.MoveY = 3;
  f1.CheckMovePoint();
  f1.PlaceStone(true);
  f1.PuppetTime = 500;
  f1.AbortRequested = true;
  f1.CaptureFlag = true;
  f1.SetCaption(" 囲碁通信代理 Tovarin  第 2 局");
  f1.ResetGame();
  EXPECT_EQ(f1.MoveCount, 0);
  EXPECT_EQ(f1.Stones[static_cast<size_t>(board::PointCode(3, 3))], 0);
  EXPECT_EQ(f1.PuppetTime, 0);
  EXPECT_FALSE(f1.AbortRequested);
  EXPECT_FALSE(f1.CaptureFlag);
  EXPECT_EQ(f1.Caption(), " 囲碁通信代理 Tovarin");
  EXPECT_EQ(w.App.Title(), " 囲碁通信代理 Tovarin");
  EXPECT_EQ(f1.Label1.Caption(), "手数= 0");
  EXPECT_EQ(f1.PuppetIsBlack, 1);
  EXPECT_EQ(f1.ProfileNo, 7);
  EXPECT_EQ(f1.GamesTotal, 3);
  EXPECT_TRUE(f1.PassDialogHandled);
}

// ---- Board display ----

class Display : public ::testing::Test {
 protected:
  World w;
  tovarin::TForm1& f1 = w.Form1();
  const ui::Picture& Ban() { return f1.Image1.Picture(); }
  const ui::Picture& Stone() { return f1.Image3.Picture(); }
  void Play(int x, int y) {
    f1.MoveX = x;
    f1.MoveY = y;
    ASSERT_NE(f1.CheckMovePoint(), 0);
    f1.PlaceStone(f1.MoveCount % 2 == 0);
  }
  // True when the client square from (left, top) of the size of `source` shows it.
  bool Shows(int left, int top, const ui::Picture& pic, platform::Rect source) {
    for (int y = source.Top; y < source.Bottom; ++y)
      for (int x = source.Left; x < source.Right; ++x)
        if (w.Surface(left + x - source.Left, top + y - source.Top) != pic.At(x, y)) return false;
    return true;
  }
};

TEST_F(Display, EmptyBoardFillsItsSquare) {
  EXPECT_TRUE(Shows(79, 4, Ban(), {0, 0, 191, 191}));
  EXPECT_EQ(f1.PointToPixelX(board::PointCode(1, 1)), 85);
  EXPECT_EQ(f1.PointToPixelY(board::PointCode(1, 1)), 10);
  EXPECT_EQ(f1.PointToPixelX(board::PointCode(19, 19)), 265);
  EXPECT_EQ(f1.PointToPixelY(board::PointCode(19, 19)), 190);
}

TEST_F(Display, StoneAtTheCornerAndItsEraseSquare) {
  Play(1, 2);  // black
  Play(1, 1);  // white at the corner
  // The white stone covers client pixels 80..88 x 5..13.
  EXPECT_TRUE(Shows(80, 5, Stone(), {0, 10, 9, 19}));
  Play(2, 1);  // black captures it against the frame
  EXPECT_TRUE(f1.CaptureFlag);
  // The erase square 79..88 x 4..13 shows the board picture's pixels 0..9 again.
  EXPECT_TRUE(Shows(79, 4, Ban(), {0, 0, 10, 10}));
  EXPECT_TRUE(Shows(80, 15, Stone(), {0, 0, 9, 9}));
}

TEST_F(Display, PaintRedrawsCurrentStonesOnly) {
  Play(1, 2);
  Play(1, 1);
  Play(2, 1);  // captures (1, 1)
  Play(10, 10);
  // Cover the board as another window would, then repaint.
  f1.DrawEmptyBoard();
  f1.FormPaint();
  EXPECT_TRUE(Shows(79, 4, Ban(), {0, 0, 10, 10}));
  EXPECT_TRUE(Shows(80, 15, Stone(), {0, 0, 9, 9}));
  EXPECT_TRUE(Shows(170, 95, Stone(), {0, 10, 9, 19}));
  // An empty game paints only the empty board.
  f1.ResetGame();
  f1.FormPaint();
  EXPECT_TRUE(Shows(79, 4, Ban(), {0, 0, 191, 191}));
}

TEST_F(Display, RuleViolationStopsTheRelayWithTheMessage) {
  f1.PuppetIsBlack = 1;
  Play(5, 5);
  f1.Timer2.SetEnabled(true);
  f1.MoveX = 5;
  f1.MoveY = 5;
  EXPECT_EQ(f1.CheckMovePoint(), 0);
  EXPECT_FALSE(f1.Timer2.Enabled());
  EXPECT_FALSE(f1.Timer3.Enabled());
  ASSERT_EQ(w.App.MessageBoxes.size(), 1u);
  EXPECT_EQ(w.App.MessageBoxes[0].Caption, " 囲碁通信代理 Tovarin");
  EXPECT_EQ(w.App.MessageBoxes[0].Text,
            "相棒の今打った着手( 5 , 5 )は\nルール違反のようです(通信を中断します)");
}

}  // namespace
