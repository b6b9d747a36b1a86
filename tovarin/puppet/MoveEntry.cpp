// Synthetic input into the puppet: clicks, key presses, and the moves and passes
// of the partner clicked where a human player would click them.
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Unit1.h"

namespace tovarin {

void TForm1::ClickAt(int x, int y) {
  Sys.Desktop.SetCursorPos(x, y);
  Sys.Desktop.MouseLeftDown();
  Sys.Clock.Sleep(100);
  Sys.Desktop.MouseLeftUp();
  Sys.Clock.Sleep(300);
}

void TForm1::PressKey(std::uint8_t virtualKey) {
  Sys.Desktop.KeyDown(virtualKey);
  Sys.Clock.Sleep(100);
  Sys.Desktop.KeyUp(virtualKey);
  Sys.Clock.Sleep(100);
}

void TForm1::ParkCursor() { Sys.Desktop.SetCursorPos(Left() + 30, Top() + 202); }

void TForm1::EnterMove(int x, int y) {
  Sys.Desktop.ActivateWindow(PuppetWindow);
  const puppet::Entry* entry = puppet::EntryOf(ProfileNo);
  const puppet::Geometry* geometry = puppet::GeometryOf(ProfileNo);
  bool pass = x == 0 && y == 0;
  bool onBoard = x >= 1 && x <= board::BoardSize && y >= 1 && y <= board::BoardSize;
  // Anything but a pass or a board point is not clicked at all: a click computed
  // from it would land beside the board, on whatever the puppet shows there.
  if (entry && geometry && (pass || onBoard)) {
    if (entry->ClicksTitleFirst) ClickAt(puppet::TitleClick.X, puppet::TitleClick.Y);
    if (pass) {
      int w = Sys.Desktop.ScreenWidth(), h = Sys.Desktop.ScreenHeight();
      for (int i = 0; i < entry->PassClickCount; ++i) {
        platform::Point p = entry->PassClicks[static_cast<std::size_t>(i)].On(w, h);
        ClickAt(p.X, p.Y);
      }
    } else {
      platform::Point p = puppet::BoardPoint(*geometry, x, y);
      ClickAt(p.X, p.Y);
    }
  }
  ParkCursor();
}

}  // namespace tovarin
