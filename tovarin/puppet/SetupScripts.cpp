// The set-up scripts: clicks, key presses, waits and pixel tests that bring each
// puppet into a known state through its own menus. SetPuppetOptions runs once per
// match with the window at (0, 0) and its target size; StartPuppetGame runs
// before every game and starts a new one with the puppet on the right side.
//
// Each script is written out step by step: a click at (x, 30) opens a menu, a
// pixel beside an entry shows whether it is ticked, and a click on the entry
// followed by reopening the menu sets it the wanted way. Neither script checks
// what the puppet did; later pixel reads are the only check.
#include "tovarin/shell/Unit1.h"

namespace tovarin {
namespace {

constexpr platform::ColorRef Black = platform::Rgb(0, 0, 0);
constexpr platform::ColorRef Grey = platform::Rgb(192, 192, 192);
constexpr platform::ColorRef Navy = platform::Rgb(0, 0, 128);
constexpr platform::ColorRef White = platform::Rgb(255, 255, 255);

}  // namespace

bool TForm1::PixelIs(int x, int y, platform::ColorRef colour) {
  return Sys.Desktop.Pixel(x, y) == colour;
}

bool TForm1::IsBlackAt(int x, int y) { return PixelIs(x, y, Black); }

// Opens the menu at (menuX, menuY) again after an entry was clicked.
void TForm1::ToggleIf(bool wrong, int x, int y, int menuX, int menuY) {
  if (!wrong) return;
  ClickAt(x, y);
  ClickAt(menuX, menuY);
}

void TForm1::SetPuppetOptions() {
  switch (ProfileNo) {
    case 1:
      ClickAt(200, 30);
      ToggleIf(IsBlackAt(191, 67), 191, 67, 200, 30);
      if (IsBlackAt(191, 83)) ClickAt(191, 83);
      break;
    case 2:
      ClickAt(260, 30);
      ToggleIf(!IsBlackAt(253, 51), 253, 51, 260, 30);
      ToggleIf(IsBlackAt(253, 67), 253, 67, 260, 30);
      if (IsBlackAt(253, 83)) ClickAt(253, 83);
      ClickAt(260, 10);
      DragPuppetDivider();
      break;
    case 3:
      ClickAt(260, 30);
      for (int y : {51, 67, 83, 99}) ToggleIf(IsBlackAt(254, y), 254, y, 260, 30);
      ToggleIf(!IsBlackAt(254, 124), 254, 124, 260, 30);
      ToggleIf(IsBlackAt(254, 140), 254, 140, 260, 30);
      if (IsBlackAt(254, 156)) ClickAt(254, 156);
      ClickAt(260, 10);
      ClickAt(25, 30);
      ClickAt(25, 115);
      ClickAt(70, 90);
      if (IsBlackAt(80, 164)) ClickAt(80, 164);
      ClickAt(200, 330);
      break;
    case 4:
      ClickAt(123, 30);
      if (!IsBlackAt(124, 140)) ClickAt(124, 140);
      ClickAt(260, 10);
      ClickAt(80, 30);
      ClickAt(80, 80);
      ClickAt(170, 210);
      for (int i = 0; i < 3; ++i) PressKey(platform::VkBack);
      for (int i = 0; i < 3; ++i) PressKey(platform::VkNumpad5);
      ClickAt(160, 355);
      break;
    case 5:
      ClickAt(220, 30);
      ToggleIf(IsBlackAt(199, 67), 199, 67, 220, 30);
      ToggleIf(IsBlackAt(199, 108), 199, 108, 220, 30);
      if (IsBlackAt(199, 124)) ClickAt(199, 124);
      ClickAt(200, 10);
      break;
    case 6:
      ClickAt(200, 30);
      ToggleIf(!IsBlackAt(199, 101), 199, 101, 200, 30);
      ToggleIf(IsBlackAt(199, 117), 199, 117, 200, 30);
      ClickAt(200, 50);
      ClickAt(30, 90);
      if (IsBlackAt(315, 120)) ClickAt(315, 120);
      ClickAt(44, 320);
      ClickAt(70, 90);
      if (IsBlackAt(30, 120)) ClickAt(30, 120);
      ClickAt(330, 380);
      break;
    case 7:
      ClickAt(260, 30);
      for (int y : {51, 67, 83, 99}) ToggleIf(IsBlackAt(255, y), 255, y, 260, 30);
      ToggleIf(!IsBlackAt(255, 124), 255, 124, 260, 30);
      if (IsBlackAt(255, 140)) ClickAt(255, 140);
      ClickAt(260, 10);
      ClickAt(30, 30);
      ClickAt(30, 120);
      ClickAt(70, 80);
      if (IsBlackAt(68, 154)) ClickAt(68, 154);
      ClickAt(180, 325);
      break;
    case 8:
      ClickAt(280, 30);
      // The tick of this menu stands at one of two places; (267, y) is read only
      // when (263, y) is not black.
      for (int y : {51, 67, 83, 99, 140})
        ToggleIf(IsBlackAt(263, y) || IsBlackAt(267, y), 267, y, 280, 30);
      ClickAt(300, 190);
      if (IsBlackAt(68, 154)) ClickAt(68, 154);
      ClickAt(190, 325);
      break;
    case 12:
      ClickAt(260, 30);
      for (int y : {51, 67, 83, 149}) ToggleIf(IsBlackAt(253, y), 253, y, 260, 30);
      if (IsBlackAt(253, 165)) ClickAt(253, 165);
      ClickAt(50, 10);
      break;
    case 13:
      ClickAt(200, 30);
      for (int y : {51, 67, 99}) ToggleIf(IsBlackAt(191, y), 191, y, 200, 30);
      ClickAt(240, 140);
      ClickAt(330, 170);
      break;
    case 15:
      ClickAt(220, 30);
      ToggleIf(IsBlackAt(191, 51), 191, 51, 220, 30);
      ToggleIf(!IsBlackAt(191, 67), 191, 67, 220, 30);
      ClickAt(240, 130);
      ClickAt(330, 165);
      break;
    case 16:
      ClickAt(200, 10);
      ClickAt(200, 30);
      Sys.Clock.Sleep(500);
      ToggleIf(IsBlackAt(200, 101), 200, 101, 200, 30);
      ToggleIf(!IsBlackAt(200, 117), 200, 117, 200, 30);
      ClickAt(200, 50);
      ClickAt(30, 90);
      if (IsBlackAt(315, 132)) ClickAt(315, 132);
      ClickAt(44, 334);
      ClickAt(80, 100);
      if (IsBlackAt(31, 132)) ClickAt(31, 132);
      ClickAt(320, 390);
      break;
    case 18:
      ClickAt(140, 30);
      ClickAt(140, 80);
      ClickAt(225, 76);
      ClickAt(140, 30);
      ClickAt(140, 125);
      ClickAt(225, 126);
      break;
    default:  // 9, 10, 11, 14, 17 have nothing to set; other numbers are no puppet
      break;
  }
}

void TForm1::DragPuppetDivider() {
  // Profile 2: the first white pixel on the line 50 above the window's bottom
  // marks a divider, dragged to the window's right edge.
  int right = PuppetRect.Right, bottom = PuppetRect.Bottom;
  int x = 50;
  while (x < right && !PixelIs(x, bottom - 50, White)) ++x;
  if (x >= right) return;
  Sys.Desktop.SetCursorPos(x, bottom - 43);
  Sys.Clock.Sleep(100);
  Sys.Desktop.MouseLeftDown();
  Sys.Desktop.MouseMoveBy(right - x, 0);
  Sys.Desktop.MouseLeftUp();
}

int TForm1::ReadPuppetListChoice() {
  // Profile 6: the new-game dialog's list shows the chosen entry in navy.
  auto findNavy = [this](int openY, int firstY) {
    ClickAt(252, openY);
    int k = 1;
    while (k <= 9 && !PixelIs(200, 12 * k + firstY, Navy)) ++k;
    ClickAt(252, openY);
    return k;  // 10 when no entry shows navy
  };
  if (IsBlackAt(180, 104)) return findNavy(105, 108);
  if (IsBlackAt(180, 140)) return findNavy(140, 144);
  return 1;
}

void TForm1::StartPuppetGame() {
  Sys.Desktop.SetForegroundWindow(PuppetWindow);
  Sys.Clock.Sleep(500);
  const bool black = PuppetIsBlack == 1;
  const bool first = GameNo == 1;
  auto bw = [black](int ifBlack, int ifWhite) { return black ? ifBlack : ifWhite; };
  const int X = Sys.Desktop.ScreenWidth() / 2;
  const int Y = Sys.Desktop.ScreenHeight() / 2;
  switch (ProfileNo) {
    case 1:
      ClickAt(155, 25);
      ClickAt(155, 68);
      ClickAt(bw(264, 180), 122);
      ClickAt(bw(180, 264), 204);
      ClickAt(190, 340);
      ClickAt(480, 68);
      if (!first) {
        Sys.Clock.Sleep(500);
        ClickAt(200, 215);
      }
      break;
    case 2:
      ClickAt(210, 25);
      ClickAt(210, 50);
      ClickAt(bw(42, 152), 162);
      ClickAt(bw(356, 252), 162);
      ClickAt(100, 245);
      ClickAt(30, 60);
      if (!first) {
        Sys.Clock.Sleep(200);
        ClickAt(200, 220);
      }
      break;
    case 3:
      ClickAt(90, 30);
      ClickAt(90, 50);
      if (!first) ClickAt(235, 235);
      ClickAt(110, 205);
      ClickAt(112, bw(270, 254));
      ClickAt(300, 215);
      ClickAt(197, 166);
      ClickAt(197, 232);
      ClickAt(320, 150);
      break;
    case 4:
      ClickAt(455, 60);
      if (!first) {
        Sys.Clock.Sleep(200);
        ClickAt(X, Y + 60);
      }
      ClickAt(45, bw(170, 135));
      ClickAt(250, bw(135, 170));
      ClickAt(126, 264);
      ClickAt(50, 350);
      Sys.Clock.Sleep(bw(5000, 3000));
      break;
    case 5:
      ClickAt(70, 60);
      ClickAt(X + 40, Y + 56);
      if (first) {
        ClickAt(X + 128, Y);
        ClickAt(X - 30, Y + 28);
        ClickAt(X + 42, Y + 82);
      }
      ClickAt(X - 30, bw(Y - 136, Y - 108));
      ClickAt(X + 84, bw(Y - 108, Y - 136));
      ClickAt(X - 40, Y + 160);
      if (black) Sys.Clock.Sleep(5000);
      break;
    case 6: {
      ClickAt(400, 60);
      ClickAt(210, 260);
      if (first) {
        ListChoice = ReadPuppetListChoice();
        ClickAt(233, 236);
        ClickAt(233, 266);
      }
      const int L = ListChoice;
      ClickAt(252, 105);
      ClickAt(253, bw(215, 125));
      ClickAt(200, bw(12 * L + 108, 120));
      ClickAt(252, 140);
      ClickAt(253, bw(160, 252));
      ClickAt(200, bw(160, 12 * L + 144));
      ClickAt(130, 360);
      break;
    }
    case 7:
    case 8:
      ClickAt(80, 30);
      ClickAt(80, 50);
      if (first) {
        ClickAt(96, 196);
        ClickAt(290, 208);
      } else {
        ClickAt(230, 225);
      }
      ClickAt(100, bw(260, 245));
      ClickAt(300, 140);
      break;
    case 9:
      ClickAt(30, 30);
      ClickAt(30, 50);
      if (first) ClickAt(X - 78, Y - 126);
      ClickAt(X - 78, bw(Y - 36, Y - 52));
      ClickAt(X + 18, bw(Y - 52, Y - 36));
      ClickAt(X - 48, Y + 144);
      break;
    case 10:
      ClickAt(30, 30);
      ClickAt(30, 50);
      Sys.Clock.Sleep(500);
      ClickAt(bw(X - 96, X + 28), Y + 16);
      ClickAt(X - 60, Y + 100);
      ClickAt(X, Y + 100);
      break;
    case 11:
      ClickAt(280, 30);
      ClickAt(280, 50);
      ClickAt(bw(292, 202), 102);
      ClickAt(bw(202, 292), 204);
      ClickAt(385, 270);
      ClickAt(200, 430);
      Sys.Clock.Sleep(3000);
      ClickAt(600, 70);
      break;
    case 12:
      ClickAt(210, 30);
      ClickAt(210, 50);
      ClickAt(148, bw(108, 78));
      ClickAt(288, bw(78, 108));
      ClickAt(190, 350);
      ClickAt(310, 355);
      ClickAt(80, 30);
      ClickAt(80, 50);
      if (!first) ClickAt(250, 220);
      break;
    case 13:
      ClickAt(30, 30);
      ClickAt(50, 50);
      Sys.Clock.Sleep(500);
      ClickAt(235, 235);
      ClickAt(100, bw(75, 50));
      ClickAt(100, bw(110, 140));
      ClickAt(285, bw(75, 145));
      Sys.Clock.Sleep(500);
      ClickAt(180, bw(140, 205));
      if (first) {
        ClickAt(350, 62);
        ClickAt(323, 323);
      }
      ClickAt(200, 370);
      break;
    case 14:
      ClickAt(40, 30);
      ClickAt(40, 50);
      Sys.Clock.Sleep(500);
      ClickAt(X - 10, Y + 50);
      ClickAt(220, bw(195, 165));
      ClickAt(220, 290);
      ClickAt(300, 450);
      break;
    case 15:
      ClickAt(30, 30);
      ClickAt(50, 50);
      Sys.Clock.Sleep(500);
      if (!first) ClickAt(250, 230);
      ClickAt(98, bw(98, 70));
      ClickAt(98, bw(134, 164));
      ClickAt(286, bw(96, 163));
      Sys.Clock.Sleep(500);
      ClickAt(200, bw(164, 230));
      if (first) {
        ClickAt(350, 85);
        ClickAt(322, 300);
      }
      ClickAt(200, 345);
      break;
    case 16:
      ClickAt(30, 30);
      ClickAt(30, 50);
      ClickAt(180, 270);
      if (first) {
        ClickAt(233, 236);
        ClickAt(228, 275);
      }
      ClickAt(248, 115);
      Sys.Clock.Sleep(500);
      ClickAt(250, bw(230, 132));
      ClickAt(160, bw(230, 132));
      ClickAt(248, 150);
      Sys.Clock.Sleep(500);
      ClickAt(250, bw(170, 262));
      ClickAt(160, bw(170, 262));
      ClickAt(120, 370);
      break;
    case 17:
      ClickAt(40, 30);
      ClickAt(40, 50);
      Sys.Clock.Sleep(500);
      ClickAt(X - 10, Y + 50);
      ClickAt(310, bw(154, 134));
      ClickAt(310, 220);
      ClickAt(470, 335);
      break;
    case 18:
      ClickAt(140, 30);
      ClickAt(140, 50);
      Sys.Clock.Sleep(500);
      ClickAt(284, bw(70, 108));
      ClickAt(230, bw(108, 70));
      ClickAt(230, 160);
      if (first) {
        ClickAt(230, 226);
        ClickAt(230, 262);
        ClickAt(284, 380);
      }
      ClickAt(250, 450);
      Sys.Clock.Sleep(500);
      ClickAt(560, 85);
      if (PixelIs(329, 270, Grey)) ClickAt(329, 270);
      break;
    default:
      break;
  }
}

}  // namespace tovarin
