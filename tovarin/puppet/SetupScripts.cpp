// The interpreter of the profiles' scripts: clicks, key presses, waits and pixel
// tests that bring each puppet into a known state through its own menus. The
// scripts themselves are data, one file per profile in tovarin/puppet/profiles.
// A script never checks what the puppet did; later pixel reads are the only check.
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

void TForm1::RunScript(puppet::Script script, bool partnerPassedLast) {
  using puppet::Test;
  const int w = Sys.Desktop.ScreenWidth();
  const int h = Sys.Desktop.ScreenHeight();
  const bool black = PuppetIsBlack == 1;
  const bool first = GameNo == 1;
  auto at = [&](const puppet::Coord& c) { return c.For(black).At(w, h, ListChoice); };
  for (const puppet::Step& step : script) {
    bool due = true;
    switch (step.When) {
      case puppet::Only::Always:
        break;
      case puppet::Only::FirstGame:
        due = first;
        break;
      case puppet::Only::LaterGames:
        due = !first;
        break;
      case puppet::Only::PuppetBlack:
        due = black;
        break;
      case puppet::Only::AfterPartnerPass:
        due = partnerPassedLast;
        break;
    }
    if (!due) continue;
    // The pixel is read at the moment of the step, before anything of it is done.
    const platform::Point p = step.Probe;
    switch (step.If) {
      case Test::None:
        break;
      case Test::Black:
        due = IsBlackAt(p.X, p.Y);
        break;
      case Test::NotBlack:
        due = !IsBlackAt(p.X, p.Y);
        break;
      case Test::Grey:
        due = PixelIs(p.X, p.Y, Grey);
        break;
      case Test::EitherBlack:
        due = IsBlackAt(p.X, p.Y) || IsBlackAt(step.Probe2X, p.Y);
        break;
    }
    if (!due) continue;
    switch (step.Action) {
      case puppet::Does::Click:
        ClickAt(at(step.X), at(step.Y));
        if (step.Reopen.X != 0 || step.Reopen.Y != 0) ClickAt(step.Reopen.X, step.Reopen.Y);
        break;
      case puppet::Does::Key:
        for (int i = 0; i < step.Count; ++i) PressKey(step.Key);
        break;
      case puppet::Does::Wait:
        Sys.Clock.Sleep(static_cast<std::uint32_t>(at(step.WaitMs)));
        break;
      case puppet::Does::DragDivider:
        DragPuppetDivider();
        break;
      case puppet::Does::ReadListChoice:
        ListChoice = ReadPuppetListChoice();
        break;
      case puppet::Does::StopIfPassCleared:
        if (PassDialogHandled) {
          PassDialogHandled = false;
          return;
        }
        break;
    }
  }
}

void TForm1::SetPuppetOptions() {
  if (const puppet::Profile* profile = puppet::ProfileOf(ProfileNo)) RunScript(profile->Options);
}

void TForm1::StartPuppetGame() {
  Sys.Desktop.SetForegroundWindow(PuppetWindow);
  Sys.Clock.Sleep(500);
  if (const puppet::Profile* profile = puppet::ProfileOf(ProfileNo)) RunScript(profile->NewGame);
}

void TForm1::DismissGameEnd(bool partnerPassedLast) {
  if (const puppet::Profile* profile = puppet::ProfileOf(ProfileNo))
    RunScript(profile->GameEnd, partnerPassedLast);
}

void TForm1::DragPuppetDivider() {
  const puppet::Profile* profile = puppet::ProfileOf(ProfileNo);
  if (!profile || !profile->RecordDivider) return;
  const puppet::Divider& divider = *profile->RecordDivider;
  // The divider is dragged to the window's right edge.
  int right = PuppetRect.Right, bottom = PuppetRect.Bottom;
  int x = divider.StartX;
  while (x < right && !PixelIs(x, bottom - divider.AboveBottom, White)) ++x;
  if (x >= right) return;
  Sys.Desktop.SetCursorPos(x, bottom - divider.GripAboveBottom);
  Sys.Clock.Sleep(100);
  Sys.Desktop.MouseLeftDown();
  Sys.Desktop.MouseMoveBy(right - x, 0);
  Sys.Desktop.MouseLeftUp();
}

int TForm1::ReadPuppetListChoice() {
  const puppet::Profile* profile = puppet::ProfileOf(ProfileNo);
  if (!profile || !profile->Lists) return 1;
  const puppet::PlayerLists& lists = *profile->Lists;
  for (const puppet::PlayerLists::List& list : lists.Lists) {
    if (!IsBlackAt(list.Mark.X, list.Mark.Y)) continue;
    ClickAt(list.Open.X, list.Open.Y);
    int k = 1;
    while (k <= 9 && !PixelIs(lists.EntryX, puppet::ListRowHeight * k + list.FirstRowY, Navy)) ++k;
    ClickAt(list.Open.X, list.Open.Y);
    return k;  // 10 when no entry shows navy
  }
  return 1;
}

}  // namespace tovarin
