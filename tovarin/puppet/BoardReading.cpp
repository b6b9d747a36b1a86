// Reading the puppet's move from the screen: its pass signs first, then its board,
// compared point by point with the proxy's own board.
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Unit1.h"

namespace tovarin {

bool TForm1::DetectPuppetMove(std::int32_t& x, std::int32_t& y) {
  // Without a profile there is no geometry to read the screen by.
  const puppet::Reading* reading = puppet::ReadingOf(ProfileNo);
  if (!reading) return false;
  platform::Desktop& desktop = Sys.Desktop;
  const int w = desktop.ScreenWidth(), h = desktop.ScreenHeight();
  auto pixel = [&](puppet::ScreenSpot spot) {
    platform::Point p = spot.On(w, h);
    return desktop.Pixel(p.X, p.Y);
  };
  auto click = [&](puppet::ScreenSpot spot) {
    platform::Point p = spot.On(w, h);
    ClickAt(p.X, p.Y);
  };
  auto passed = [&] {
    x = 0;
    y = 0;
    return true;
  };

  // Pass signs. Every click below ends the look, so no pixel is read after one.
  switch (reading->Sign) {
    case puppet::PassSign::NoticeDialog:
      if (pixel(puppet::NoticeProbe) == puppet::DialogGrey) {
        // A notice, not a move: clear it and look again at the next poll.
        click(puppet::NoticeDismiss);
        return false;
      }
      [[fallthrough]];
    case puppet::PassSign::Dialog:
      if (pixel(reading->PassProbe) == puppet::DialogGrey) {
        click(reading->PassDismiss);
        ParkCursor();
        return passed();
      }
      break;
    case puppet::PassSign::PanelOrCentre:
      // The panel still shows an earlier pass for a while after the partner's move.
      if ((PassCheckDue && pixel(puppet::PassPanel) == puppet::Black) ||
          pixel(puppet::CentreBox) == puppet::DialogGrey)
        return passed();
      break;
    case puppet::PassSign::DialogSeries:
      if (pixel(puppet::SeriesProbe) == puppet::DialogGrey) {
        for (std::size_t i = 0; i < puppet::SeriesClicks.size(); ++i) {
          click(puppet::SeriesClicks[i]);
          Sys.Clock.Sleep(puppet::SeriesWaitsMs[i]);
        }
        ParkCursor();
        PassDialogHandled = true;
        return passed();
      }
      break;
  }

  // The board, read once: one snapshot of every pixel the scan may look at.
  desktop.Snapshot(puppet::SampleArea(*reading), BoardShot);
  auto read = [this](int px, int py) { return BoardShot.At(px, py); };
  // Column by column from the left, each from the top: the first point that is
  // empty here but not on the screen is the new move.
  for (int c = 1; c <= board::BoardSize; ++c)
    for (int r = 1; r <= board::BoardSize; ++r) {
      if (Stones[static_cast<std::size_t>(board::PointCode(c, r))] != board::Empty) continue;
      if (puppet::LooksOccupied(puppet::PointTestFor(*reading, c, r), read)) {
        x = c;
        y = r;
        return true;
      }
    }

  // Nothing new on the board. The puppet marks the stone played last; when that
  // mark has gone without a new stone, the puppet has passed.
  if (reading->Sign == puppet::PassSign::DialogSeries && MoveCount > 0 &&
      MoveCount < board::MoveRecordSize) {
    int m = MoveRecord[static_cast<std::size_t>(MoveCount)];
    int mx = board::CodeX(m), my = board::CodeY(m);
    if (mx >= 1 && mx <= board::BoardSize && my >= 1 && my <= board::BoardSize) {
      // The puppet's stones are centred on the sample points.
      platform::ColorRef centre = BoardShot.At(reading->SampleX.At(mx), reading->SampleY.At(my));
      std::int32_t stone = Stones[static_cast<std::size_t>(m)];
      if ((stone == board::StoneBlack && centre == puppet::Black) ||
          (stone == board::StoneWhite && centre == puppet::WhiteStoneFace))
        return passed();
    }
  }
  return false;
}

}  // namespace tovarin
