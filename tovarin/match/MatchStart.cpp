// The start of a match: the settings, the puppet prepared and placed, the proxy's
// windows laid out around it, the link opened and a new game agreed with the
// partner; then the relay takes over (Relay.cpp).
#include <string>

#include "tovarin/shell/Unit1.h"
#include "tovarin/shell/Unit2.h"
#include "tovarin/shell/Unit3.h"

namespace tovarin {

bool TForm1::WaitPumpingMessages(std::uint32_t waitMs) {
  return App().PumpMessagesFor(Sys.Clock, waitMs, [this] { return AbortRequested; }) &&
         !AbortRequested;
}

void TForm1::SpeedButton22Click() {
  if (RegisteredCount < 1) {
    App().MessageBox("未だ対戦ソフトは登録されていません！ 先に登録して下さい");
    return;
  }
  if (Settings->ShowModal() != ui::mrOk) return;
  Hide();
  Info->Hide();
  if (!PreparePuppet()) {
    Show();
    Info->Show();
    return;
  }
  Sys.Clock.Sleep(1000);
  PuppetIsBlack = Settings->PuppetIsBlack();
  StartPuppetGame();
  LayOutAroundPuppet();
  Show();
  Info->Show();
  SpeedButton22.SetVisible(false);
  SpeedButton1.SetCaption("中止");
  LabelSides();
  for (ui::Label* label : {&Label1, &Label2, &Label3, &Label4, &Label5}) label->SetVisible(true);
  ClearLog();

  if (!CalibratePuppet()) return;
  if (!OpenAgreedGame()) return;
  GamesTotal = GamesLeft = Settings->SeriesLength();
  if (GamesTotal > 1) UpdateSeriesCaptions();
  // Some programs show their first stone late.
  const puppet::Profile* profile = puppet::ProfileOf(ProfileNo);
  HandOverToRelay(profile ? profile->FirstMovePauseMs : 0);
}

bool TForm1::OpenAgreedGame() {
  if (!OpenLinkAndHandshake()) {
    // An abort (or the program's end) during the handshake has said what happened.
    if (AbortRequested || App().Terminated()) return false;
    App().MessageBox("通信接続がうまくできません！");
    ResetGame();
    return false;
  }
  BeginRecord();
  App().ProcessMessages();
  return !AbortRequested && !App().Terminated();
}

void TForm1::HandOverToRelay(std::uint32_t pauseMs) {
  if (PuppetIsBlack == 0) {
    TurnStartTick = Sys.Clock.TickCount();
    Timer2.SetEnabled(true);
    return;
  }
  Sys.Desktop.ActivateWindow(PuppetWindow);
  if (pauseMs > 0) Sys.Clock.Sleep(pauseMs);
  RelayPuppetsFirstMove();
}

void TForm1::LayOutAroundPuppet() {
  const int width = Sys.Desktop.ScreenWidth();
  const int height = Sys.Desktop.ScreenHeight();
  const puppet::Profile* profile = puppet::ProfileOf(ProfileNo);
  if (profile && profile->Layout == puppet::Arrangement::LogInCorner) {
    // This puppet fills the screen's left; the log goes to the bottom right corner.
    Sys.Clock.Sleep(1500);
    Info->SetBounds(width - 280, height - Info->Height(), 280, Info->Height());
    return;
  }
  // The main window moves next to the puppet when the puppet would reach under it.
  if (width - TargetWidth < 282) SetLeft(TargetWidth + 1);
  Info->SetBounds(0, PuppetRect.Bottom, TargetWidth, height - PuppetRect.Bottom);
}

void TForm1::LabelSides() {
  const std::string tag = PuppetTag();
  if (PuppetIsBlack == 1) {
    Label2.SetCaption("黒" + tag);
    Label3.SetCaption("白[相棒]");
  } else {
    Label2.SetCaption("黒[相棒]");
    Label3.SetCaption("白" + tag);
  }
}

bool TForm1::OpenLinkAndHandshake() {
  if (!BindLinkLibrary()) {
    LogLine("通信初期化 Error!");
    return false;
  }
  if (Link.initcom(Settings->PortNumber()) == 0) {
    LogLine("ポート初期化 Error!");
    Link.closecom();
    Link.Unload();
    return false;
  }
  LogLine("通信初期化 ＯＫ");
  LogLine("");
  const bool black = PuppetIsBlack == 1;
  if (GameNo == 1) {
    // The operators at both ends start their sides: white listens first.
    if (black) {
      LogLine("白番側の通信待機を始めて下さい");
      if (!WaitPumpingMessages(5000)) {
        // An abort has closed the link already and nothing more goes to the
        // library; a program that is ending closes its port on the way out.
        if (!AbortRequested) {
          Link.closecom();
          Link.Unload();
        }
        return false;
      }
    } else {
      LogLine("黒番側の NewGame送信 を始めて下さい");
    }
    LogLine("");
  }
  const int mode = black ? 1 : 2;
  const int tries = black ? 5 : 7;
  for (int i = 0; i < tries; ++i) {
    LogLine(black ? "NewGame Send" : "NewGame Recv");
    if (Link.newgame(mode) != 0) {
      LogLine("NewGame OK");
      LogLine(GameRule);
      return true;
    }
    LogLine(black ? "NewGame Send Error !" : "NewGame Recv Error !");
  }
  LogLine("NewGame Error !");
  Link.closecom();
  Link.Unload();
  return false;
}

void TForm1::UpdateSeriesCaptions() {
  SetCaption(Caption() + "  第 " + std::to_string(GameNo) + " 局");
  App().SetTitle(Caption());
  Info->SetCaption(" Tovarin   < 連続対戦 " + std::to_string(GamesTotal) + " 局 ： 第 " +
                   std::to_string(GameNo) + " 回 >");
}

void TForm1::RelayPuppetsFirstMove() {
  const bool found = DetectPuppetMove(MoveX, MoveY);
  ClearPassSign();
  if (!found) {
    // A screen that is not the puppet's board is named as such.
    if (LastSighting != Sighting::AllWell) {
      StopOnSighting();
      return;
    }
    App().MessageBox("傀儡の一手目が見付かりません!");
    return;
  }
  bool sent;
  if (MoveX == 0 && MoveY == 0) {
    // A pass is relayed as the pass it is: nothing is placed on the board.
    if (!RecordRelayedPass()) return;
    sent = SendMoveToPartner(0, 0);
  } else {
    LastMoveCode = board::PointCode(MoveX, MoveY);
    PlaceStone(true);
    sent = SendMoveToPartner(board::CodeX(LastMoveCode), board::CodeY(LastMoveCode));
  }
  if (!sent) {
    StopOnLostLink();
    return;
  }
  TurnStartTick = Sys.Clock.TickCount();
  Timer2.SetEnabled(true);
}

}  // namespace tovarin
