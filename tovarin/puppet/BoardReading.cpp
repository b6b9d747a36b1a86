// Reading the puppet's move from the screen: its pass signs first, then its board,
// compared point by point with the proxy's own board.
#include <array>
#include <string>

#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Unit1.h"
#include "tovarin/shell/Unit2.h"
#include "tovarin/shell/Unit3.h"

namespace tovarin {

namespace {

// Each kind of pass sign, read from its probe pixels: the pass probe and, for
// two kinds, a second one.
TForm1::PassShown DialogSign(platform::ColorRef pass) {
  return pass == puppet::DialogGrey ? TForm1::PassShown::Dialog : TForm1::PassShown::None;
}

TForm1::PassShown NoticeOrDialogSign(platform::ColorRef notice, platform::ColorRef pass) {
  // A notice, not a move, is cleared before anything else is looked at.
  return notice == puppet::DialogGrey ? TForm1::PassShown::Notice : DialogSign(pass);
}

TForm1::PassShown PanelOrCentreSign(bool panelTrusted, platform::ColorRef panel,
                                    platform::ColorRef centre) {
  // The panel still shows an earlier pass for a while after the partner's move.
  return (panelTrusted && panel == puppet::Black) || centre == puppet::DialogGrey
             ? TForm1::PassShown::Panel
             : TForm1::PassShown::None;
}

TForm1::PassShown DialogSeriesSign(platform::ColorRef first) {
  return first == puppet::DialogGrey ? TForm1::PassShown::DialogSeries : TForm1::PassShown::None;
}

}  // namespace

void TForm1::TakeLook(const puppet::Reading& reading) {
  const int w = Sys.Desktop.ScreenWidth(), h = Sys.Desktop.ScreenHeight();
  BoardShot.Spots = {reading.PassProbe.On(w, h)};
  if (reading.Sign == puppet::PassSign::NoticeDialog)
    BoardShot.Spots.push_back(reading.NoticeProbe.On(w, h));
  if (reading.Sign == puppet::PassSign::PanelOrCentre)
    BoardShot.Spots.push_back(reading.PanelProbe.On(w, h));
  Sys.Desktop.Snapshot(puppet::SampleArea(reading), BoardShot);
}

TForm1::PassShown TForm1::ReadPassSign(const puppet::Reading& reading) const {
  const std::vector<platform::ColorRef>& spot = BoardShot.SpotColours;
  switch (reading.Sign) {
    case puppet::PassSign::NoticeDialog:
      return NoticeOrDialogSign(spot[1], spot[0]);
    case puppet::PassSign::Dialog:
      return DialogSign(spot[0]);
    case puppet::PassSign::PanelOrCentre:
      return PanelOrCentreSign(PassCheckDue, spot[1], spot[0]);
    case puppet::PassSign::DialogSeries:
      return DialogSeriesSign(spot[0]);
  }
  return PassShown::None;
}

TForm1::BoardScan TForm1::ScanBoard(const puppet::Reading& reading) const {
  auto read = [this](int px, int py) { return BoardShot.At(px, py); };
  // The stone played last, passes passed over: a puppet may mark it in any colour.
  std::int32_t lastStone = 0;
  for (int m = MoveCount; m > 0 && m < board::MoveRecordSize && lastStone == 0; --m)
    lastStone = MoveRecord[static_cast<std::size_t>(m)];
  // Every point once. A point empty here but not on the screen is a new stone;
  // the first, column by column from the left and each from the top, is the
  // move. A stone held here that the screen shows empty is a stone gone.
  BoardScan scan;
  for (int c = 1; c <= board::BoardSize; ++c)
    for (int r = 1; r <= board::BoardSize; ++r) {
      const int code = board::PointCode(c, r);
      const puppet::PointTest test = puppet::PointTestFor(reading, c, r);
      const bool occupied = puppet::LooksOccupied(test, read);
      if (Stones[static_cast<std::size_t>(code)] == board::Empty) {
        if (occupied && scan.NewStones++ == 0) {
          scan.NewX = c;
          scan.NewY = r;
        }
      } else if (!occupied && Stones[static_cast<std::size_t>(code)] == board::StoneWhite &&
                 code != lastStone &&
                 read(test.Pixels[0].X, test.Pixels[0].Y) != platform::InvalidColor) {
        // Only white stones are judged: the empty colours are dark, and some
        // puppets draw a black stone in one of them, told from the board only
        // while it carries the last-move mark. A point off the screen shows
        // nothing either way.
        scan.Gone[static_cast<std::size_t>(scan.GoneCount++)] = static_cast<std::int16_t>(code);
      }
    }
  return scan;
}

bool TForm1::PassesGuard(const BoardScan& scan) {
  if (scan.NewStones > 1) {
    LastSighting = Sighting::ManyNewStones;
    SightingPoints = scan.NewStones;
    return false;
  }
  if (scan.GoneCount == 0) return true;
  // Only the stones the new move captures may go.
  bool captured = scan.NewStones == 1;
  if (captured) {
    board::Board after = *this;
    after.LastMoveCode = board::PointCode(scan.NewX, scan.NewY);
    after.PlaceStone(BlackToMove());
    for (int i = 0; i < scan.GoneCount && captured; ++i)
      captured = after.Stones[static_cast<std::size_t>(scan.Gone[static_cast<std::size_t>(i)])] ==
                 board::Empty;
  }
  if (captured) return true;
  LastSighting = Sighting::StonesGone;
  SightingPoints = scan.GoneCount;
  return false;
}

bool TForm1::LastMarkGone(const puppet::Reading& reading) const {
  if (MoveCount <= 0 || MoveCount >= board::MoveRecordSize) return false;
  const int m = MoveRecord[static_cast<std::size_t>(MoveCount)];
  const int mx = board::CodeX(m), my = board::CodeY(m);
  if (mx < 1 || mx > board::BoardSize || my < 1 || my > board::BoardSize) return false;
  // The puppet's stones are centred on the sample points.
  const platform::ColorRef centre = BoardShot.At(reading.SampleX.At(mx), reading.SampleY.At(my));
  const std::int32_t stone = Stones[static_cast<std::size_t>(m)];
  return (stone == board::StoneBlack && centre == puppet::Black) ||
         (stone == board::StoneWhite && centre == reading.PlainWhiteFace);
}

bool TForm1::DetectPuppetMove(std::int32_t& x, std::int32_t& y) {
  LastSighting = Sighting::AllWell;
  LastPassShown = PassShown::None;
  // While a box of Tovarin's stands on the screen, the screen shows the box where
  // the board may be: no look is taken.
  if (App().ModalDepth() > 0) return false;
  // Without a profile there is no geometry to read the screen by.
  const puppet::Reading* reading = puppet::ReadingOf(ProfileNo);
  if (!reading) return false;
  // Without its window the screen shows whatever lies below: nothing is read.
  platform::Rect window;
  if (PuppetWindow == 0 || !Sys.Desktop.GetWindowRect(PuppetWindow, window)) {
    LastSighting = Sighting::WindowGone;
    return false;
  }
  // The profile's points are screen points of the window where it was placed; a
  // window moved, resized or minimised since shows its board elsewhere.
  if (!(window == PuppetRect)) {
    LastSighting = Sighting::WindowMoved;
    return false;
  }
  TakeLook(*reading);
  LastPassShown = ReadPassSign(*reading);
  if (LastPassShown == PassShown::Notice) return false;
  if (LastPassShown != PassShown::None) {
    x = y = 0;
    return true;
  }
  const BoardScan scan = ScanBoard(*reading);
  if (!PassesGuard(scan)) return false;
  if (scan.NewStones == 1) {
    x = scan.NewX;
    y = scan.NewY;
    return true;
  }
  // Nothing new on the board. The puppet marks the stone played last; when that
  // mark has gone without a new stone, the puppet has passed.
  if (reading->Sign == puppet::PassSign::DialogSeries && LastMarkGone(*reading)) {
    x = y = 0;
    return true;
  }
  return false;
}

void TForm1::ClearPassSign() {
  const PassShown shown = LastPassShown;
  LastPassShown = PassShown::None;
  const puppet::Reading* reading = puppet::ReadingOf(ProfileNo);
  if (!reading || shown == PassShown::None || shown == PassShown::Panel) return;
  const int w = Sys.Desktop.ScreenWidth(), h = Sys.Desktop.ScreenHeight();
  auto click = [&](puppet::ScreenSpot spot) {
    const platform::Point p = spot.On(w, h);
    ClickAt(p.X, p.Y);
  };
  switch (shown) {
    case PassShown::Notice:
      click(reading->NoticeDismiss);
      return;
    case PassShown::Dialog:
      click(reading->PassDismiss);
      ParkCursor();
      return;
    case PassShown::DialogSeries:
      for (std::size_t i = 0; i < reading->SeriesClicks.size(); ++i) {
        click(reading->SeriesClicks[i]);
        Sys.Clock.Sleep(reading->SeriesWaitsMs[i]);
      }
      ParkCursor();
      PassDialogHandled = true;
      return;
    case PassShown::None:
    case PassShown::Panel:
      return;
  }
}

void TForm1::StopOnSighting() {
  // The relay stands still before the box goes up, as after a refused move: the
  // link stays open and the operator aborts.
  Timer2.SetEnabled(false);
  Timer3.SetEnabled(false);
  const std::string hint =
      "\n傀儡の盤面が他のウィンドウに隠れていないか、画面の拡大率が 100 % か、"
      "傀儡の盤面の設定が変わっていないか確かめて下さい(通信を中断します)";
  std::string text;
  switch (LastSighting) {
    case Sighting::WindowGone:
      text = "傀儡のウィンドウが見付かりません。\n傀儡が終了したようです(通信を中断します)";
      break;
    case Sighting::WindowMoved:
      text =
          "傀儡のウィンドウが対局の位置から動かされました。\n"
          "傀儡のウィンドウを動かしたり最小化したりしないで下さい(通信を中断します)";
      break;
    case Sighting::ManyNewStones:
      text =
          "傀儡の盤面に新しい石が一度に " + std::to_string(SightingPoints) + " 個見えます。" + hint;
      break;
    case Sighting::StonesGone:
      text = "取られていない石が傀儡の盤面から " + std::to_string(SightingPoints) +
             " 個消えました。" + hint;
      break;
    case Sighting::AllWell:
      return;
  }
  LogLine("盤面の監視: 中継を止めました");
  LogLine(text.substr(0, text.find('\n')));
  LogLine("");
  EndRecord(GameEnding::BoardGuard);
  App().MessageBox(text);
}

bool TForm1::OwnWindowAt(platform::Point point) const {
  const ui::Form* forms[] = {this, Info, Settings};
  for (const ui::Form* form : forms) {
    if (!form || !form->Visible()) continue;
    const platform::Rect outer{form->Left(), form->Top(), form->Left() + form->Width(),
                               form->Top() + form->Height()};
    if (outer.Contains(point.X, point.Y)) return true;
  }
  return false;
}

bool TForm1::CalibratePuppet() {
  const puppet::Geometry* geometry = puppet::GeometryOf(ProfileNo);
  const puppet::Reading* reading = puppet::ReadingOf(ProfileNo);
  const puppet::Entry* entry = puppet::EntryOf(ProfileNo);
  if (!geometry || !reading || !entry) return false;
  platform::Desktop& desktop = Sys.Desktop;
  const int w = desktop.ScreenWidth(), h = desktop.ScreenHeight();
  const std::string hint =
      "\n画面の拡大率を 100 % にし、傀儡の盤面の設定を変えずに、"
      "Tovarin を起動し直して下さい(対戦を始めません)";
  std::string text;
  platform::Rect window;
  if (PuppetWindow == 0 || !desktop.GetWindowRect(PuppetWindow, window)) {
    text = "傀儡のウィンドウが見付かりません。\n傀儡が終了したようです(対戦を始めません)";
  } else if (window.Left != geometry->PlayLeft || window.Top != 0) {
    text = "傀儡のウィンドウが対局の位置 (" + std::to_string(geometry->PlayLeft) +
           ",0) にありません。" + hint;
  } else {
    // Every point the profile reads or clicks must show the puppet, not Tovarin.
    bool covered = false;
    for (int c = 1; c <= board::BoardSize && !covered; ++c)
      for (int r = 1; r <= board::BoardSize && !covered; ++r) {
        const puppet::PointTest test = puppet::PointTestFor(*reading, c, r);
        for (int i = 0; i < test.PixelCount && !covered; ++i) covered = OwnWindowAt(test.Pixels[i]);
        covered = covered || OwnWindowAt(puppet::BoardPoint(*geometry, c, r));
      }
    for (int i = 0; i < entry->PassClickCount && !covered; ++i)
      covered = OwnWindowAt(entry->PassClicks[static_cast<std::size_t>(i)].On(w, h));
    if (entry->ClicksTitleFirst && !covered) covered = OwnWindowAt(puppet::TitleClick);
    if (covered) {
      text = "傀儡の盤面が Tovarin のウィンドウに隠れています。" + hint;
    } else {
      // A new game shows an empty board; the puppet playing black may have put
      // its first stone already. A point off the screen cannot be read at all.
      desktop.Snapshot(puppet::SampleArea(*reading), BoardShot);
      auto read = [this](int px, int py) { return BoardShot.At(px, py); };
      int notEmpty = 0;
      for (int c = 1; c <= board::BoardSize; ++c)
        for (int r = 1; r <= board::BoardSize; ++r) {
          const puppet::PointTest test = puppet::PointTestFor(*reading, c, r);
          if (read(test.Pixels[0].X, test.Pixels[0].Y) == platform::InvalidColor ||
              puppet::LooksOccupied(test, read))
            ++notEmpty;
        }
      if (notEmpty > (PuppetIsBlack == 1 ? 1 : 0))
        text =
            "傀儡の盤面で空いて見えない点が " + std::to_string(notEmpty) + " 個あります。" + hint;
    }
  }
  if (text.empty()) {
    PuppetRect = window;
    return true;
  }
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  Timer3.SetEnabled(false);
  LogLine("盤面の確認: 対戦を始めません");
  LogLine(text.substr(0, text.find('\n')));
  LogLine("");
  SpeedButton1.SetCaption("終了");
  App().MessageBox(text);
  return false;
}

}  // namespace tovarin
