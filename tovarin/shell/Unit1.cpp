#include "tovarin/shell/Unit1.h"

#include <cstdio>

#include "tovarin/shell/Unit3.h"

namespace tovarin {

std::string FormatClock(std::int64_t ms) {
  if (ms < 0) ms = 0;
  // Each part takes a blank in front when it is a single digit: " 0: 2:15".
  char text[48];
  std::snprintf(text, sizeof text, "%2lld:%2lld:%2lld", static_cast<long long>(ms / 3600000),
                static_cast<long long>((ms % 3600000) / 60000),
                static_cast<long long>((ms % 60000) / 1000));
  return text;
}

TForm1::TForm1(ui::Application& app, Services& sys)
    : ui::Form(app, "Form1"),
      Timer1(*this, "Timer1", 1000, true),
      Image1(*this, "Image1", {132, 145, 15, 15}),
      SpeedButton22(*this, "SpeedButton22", {139, 50, 72, 68}),
      Image3(*this, "Image3", {108, 144, 15, 15}),
      Timer2(*this, "Timer2", 200, false),
      Timer3(*this, "Timer3", 200, false),
      Label1(*this, "Label1", {2, 72, 62, 15}),
      Image4(*this, "Image4", {156, 144, 15, 15}),
      SpeedButton1(*this, "SpeedButton1", {3, 174, 72, 25}),
      OpenDialog1(*this),
      Label2(*this, "Label2", {2, 5, 53, 13}),
      Label3(*this, "Label3", {2, 36, 66, 13}),
      Label4(*this, "Label4", {2, 20, 42, 13}),
      Label5(*this, "Label5", {2, 52, 42, 13}),
      Link(sys.Libraries),
      Sys(sys) {
  // The form as designed.
  SetBorder(ui::BorderStyle::Single);
  SetColor(ui::clTeal);
  SetFont(ui::Font{"ＭＳ 明朝", 15, ui::clLime});
  SetClientSize(274, 201);
  Image1.SetVisible(false);
  Image1.AutoSize = true;
  Image1.Stretch = true;
  SpeedButton22.SetCaption("通信対局");
  SpeedButton22.SetFont(ui::Font{"ＭＳ 明朝", 13, ui::clTeal});
  Image3.SetVisible(false);
  Image3.Stretch = true;
  Label1.SetFont(ui::Font{"ＭＳ 明朝", 15, ui::clAqua});
  Label1.SetVisible(false);
  Image4.Stretch = true;
  SpeedButton1.SetCaption("登録");
  SpeedButton1.SetFont(ui::Font{"ＭＳ 明朝", 15, ui::clBlue});
  OpenDialog1.FileName = "*.exe";
  OpenDialog1.Filter = "実行ファイル (*.exe)|*.exe";
  OpenDialog1.Title = "対戦ソフトの登録 (実行ファイルを指定)";
  ui::Label* labels[] = {&Label2, &Label3, &Label4, &Label5};
  const ui::ColorRef colours[] = {ui::clLime, ui::clYellow, ui::clWhite, ui::clWhite};
  for (int i = 0; i < 4; ++i) {
    labels[i]->SetFont(ui::Font{"ＭＳ 明朝", 13, colours[i]});
    labels[i]->SetVisible(false);
  }
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Timer2.OnTimer = [this] { Timer2Timer(); };
  Timer3.OnTimer = [this] { Timer3Timer(); };
  SpeedButton22.OnClick = [this] { SpeedButton22Click(); };
  SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
  OnPaint = [this] { FormPaint(); };

  // 1. Text fields empty.
  ProgramFolder.clear();
  PuppetPath.clear();
  for (std::string& title : WindowTitles) title.clear();
  // 2. The screen saver never starts while the program runs.
  app.OnMessage = &TForm1::SuppressScreenSaver;
  // 3. The folder of the program's own executable.
  ProgramFolder = platform::ProgramFolder();
  // 4. The board and stone pictures, relative to the current directory.
  Image1.LoadFromFile(platform::NativePath(".\\bmp\\PlimGoBan.bmp"));
  Image3.LoadFromFile(platform::NativePath(".\\bmp\\PlimGoStone.bmp"));
  // 5. Top-right corner of the screen.
  SetBounds(sys.Desktop.ScreenWidth() - Width(), 0, Width(), Height());
  // 6.
  ResetGame();
  // 7.
  Canvas().FontName = "MS明朝";
  // 8.
  PassDialogHandled = false;
  // 9.
  SpeedButton22.SetBounds(3, 10, 72, 68);
  Image4.SetBounds(5, 91, 76, 64);
  Image4.LoadFromFile(platform::NativePath(".\\bmp\\MyTovarin.bmp"));
  // 10.
  RegisteredProfiles.fill(0);
  GamesTotal = GamesLeft = GameNo = ListChoice = 1;
  RegisteredCount = ProfileNo = TargetWidth = TargetHeight = 0;
  PuppetIsBlack = 0;
  // 11.
  FillWindowTitles();
  Show();
}

TForm1::~TForm1() = default;

void TForm1::ResetGame() {
  RunningTime = 0;
  TurnStartTick = 0;
  PartnerTime = 0;
  PuppetTime = 0;
  PassCheckDeadline = 0;
  MoveY = MoveX = 0;
  LastMoveCode = 0;
  MoveCount = 0;
  AbortRequested = false;
  GameFinished = false;
  PassCheckDue = false;
  CaptureFlag = false;
  LastSighting = Sighting::AllWell;
  RefusedLooks = 0;
  ClearBoard();
  SetCaption(MainCaption);
  App().SetTitle(Caption());
  Label1.SetCaption("手数= 0");
  Label4.SetCaption(FormatClock(0));
  Label5.SetCaption(FormatClock(0));
  DrawEmptyBoard();
}

void TForm1::ReportDisplayScale() {
  const int percent = Sys.Desktop.DisplayScalePercent();
  if (percent <= 100) return;
  LogLine("画面の拡大率が " + std::to_string(percent) + "% です！ 傀儡の座標がずれます");
  LogLine("Windows の画面設定で拡大率を 100% にしてから");
  LogLine("Tovarin を起動し直して下さい");
  LogLine(NoticeRule);
}

void TForm1::Timer1Timer() {
  if (!StartupDone) {
    Timer1.SetEnabled(false);
    ReadAndListRegistry();
    ReportDisplayScale();
    StartupDone = true;  // whatever the outcome: the start-up work is never retried
    Timer1.SetEnabled(true);
  }
  // The two game clocks. The running part counts whole ticks since the move count
  // last changed; the totals come from the relay's measurements.
  if (MoveCount <= 0) {
    RunningTime = 0;
    LastClockCount = 0;
    return;
  }
  if (MoveCount == LastClockCount) {
    RunningTime += 1000;
  } else {
    LastClockCount = MoveCount;
    RunningTime = 0;
  }
  bool blackToMove = MoveCount % 2 == 0;
  std::int64_t black = (blackToMove ? RunningTime : 0) +
                       static_cast<std::int64_t>(PuppetIsBlack == 1 ? PuppetTime : PartnerTime);
  std::int64_t white = (blackToMove ? 0 : RunningTime) +
                       static_cast<std::int64_t>(PuppetIsBlack == 1 ? PartnerTime : PuppetTime);
  Label4.SetCaption(FormatClock(black));
  Label5.SetCaption(FormatClock(white));
}

void TForm1::LogLine(const std::string& text) {
  if (Info) Info->Memo1.Append(text);
}

void TForm1::ClearLog() {
  if (Info) Info->Memo1.Clear();
}

bool TForm1::SuppressScreenSaver(const ui::Message& message) {
  return message.Id == ui::WM_SYSCOMMAND_ && message.WParam == ui::SC_SCREENSAVE_;
}

// ---- Board display ----

void TForm1::DrawEmptyBoard() {
  const ui::Picture& board = Image1.Picture();
  Canvas().CopyRect(platform::Rect{79, 4, 270, 195}, board,
                    platform::Rect{0, 0, board.Width(), board.Height()});
}

void TForm1::DrawStone(int px, int py, bool isBlack) {
  platform::Rect source = isBlack ? platform::Rect{0, 0, 9, 9} : platform::Rect{0, 10, 9, 19};
  Canvas().CopyRect(platform::Rect{px - 5, py - 5, px + 4, py + 4}, Image3.Picture(), source);
}

void TForm1::EraseStone(int px, int py) {
  Canvas().CopyRect(platform::Rect{px - 6, py - 6, px + 4, py + 4}, Image1.Picture(),
                    platform::Rect{px - 85, py - 10, px - 75, py});
}

void TForm1::FormPaint() {
  DrawEmptyBoard();
  for (int i = 1; i <= MoveCount && i < board::MoveRecordSize; ++i) {
    int p = MoveRecord[static_cast<std::size_t>(i)];
    if (Stones[static_cast<std::size_t>(p)] > 0)
      DrawStone(PointToPixelX(p), PointToPixelY(p), Stones[static_cast<std::size_t>(p)] == 1);
  }
}

// ---- What the board model asks of the window ----

void TForm1::OnStonePlaced(int code, bool isBlack) {
  DrawStone(PointToPixelX(code), PointToPixelY(code), isBlack);
}

void TForm1::OnStoneRemoved(int code) { EraseStone(PointToPixelX(code), PointToPixelY(code)); }

void TForm1::OnMoveCounted(int moveCount) {
  Label1.SetCaption("手数= " + std::to_string(moveCount));
  RecordMoveRelayed();
}

void TForm1::OnMoveRefused(board::Refusal why, const std::string& side, int x, int y) {
  // The game stops where it is: neither relay timer runs again.
  Timer2.SetEnabled(false);
  Timer3.SetEnabled(false);
  EndRecord(GameEnding::MoveRefused);
  if (why == board::Refusal::MoveListFull)
    App().MessageBox(side + "の今打った着手( " + std::to_string(x) + " , " + std::to_string(y) +
                     " )は\n" + "手数の上限(" + std::to_string(board::MaxMoves) +
                     "手)を超えます(通信を中断します)");
  else
    App().MessageBox(board::RuleViolationText(side, x, y));
}

}  // namespace tovarin
