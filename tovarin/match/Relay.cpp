// The turn relay. Two timers take turns while a game runs: Timer2 asks the link
// for the partner's move and clicks it into the puppet, Timer3 looks at the
// puppet's board for its answer and sends it. Each handler first disables its own
// timer and enables at most one of the two when it ends, so a long tick (clicks,
// the end-of-game dialogs, a send waiting for its acknowledgement) is never
// re-entered. Two passes in a row end the game.
#include <string>

#include "tovarin/shell/Unit1.h"

namespace tovarin {

std::string TForm1::PositionLine(int x, int y) const {
  std::string line = std::to_string(MoveCount + 1) + "手目  位置は[ " + std::to_string(x) + " , " +
                     std::to_string(y) + " ]";
  if (x == 0 && y == 0) line += " (パス)";
  return line;
}

bool TForm1::RecordRelayedPass() {
  if (RecordPass()) {
    RecordMoveRelayed();
    return true;
  }
  // The move record is full: the game stops here, as after a refused move.
  OnMoveRefused(board::Refusal::MoveListFull, board::MoverWord(MoveCount, PuppetIsBlack), 0, 0);
  return false;
}

void TForm1::NoteMove(std::int32_t& thinkingTime, const char* heading) {
  const std::uint32_t now = Sys.Clock.TickCount();
  thinkingTime += static_cast<std::int32_t>(now - TurnStartTick);
  TurnStartTick = now;
  LogLine(heading);
  LogLine(PositionLine(MoveX, MoveY));
  LogLine("");
}

bool TForm1::RecordMove() {
  if (MoveX == 0 && MoveY == 0) return RecordRelayedPass();
  // A point outside the board (the link delivers what the wire carries) is
  // refused here like an occupied one: it never reaches the board.
  if (CheckMovePoint() == 0) return false;
  PlaceStone(MoveCount % 2 == 0);
  return true;
}

void TForm1::FinishGameOnPasses(bool partnerPassedLast) {
  GameFinished = true;
  LogLine("２回目のパスをキャッチ！");
  LogLine("");
  LogLine(std::to_string(MoveCount - 1) + " 手まで 終局しました！");
  EndRecord(GameEnding::TwoPasses);
  Timer1.SetEnabled(false);
  if (partnerPassedLast) EnterMove(0, 0);
  DismissGameEnd(partnerPassedLast);
}

void TForm1::Timer2Timer() {
  Timer2.SetEnabled(false);
  if (Link.receivexy(&MoveX, &MoveY) == 0) {
    Timer2.SetEnabled(true);
    return;
  }
  NoteMove(PartnerTime, "来た！ 相棒の着手 受信！");
  if (MoveX == 0 && MoveY == 0 && LastMoveWasPass()) {
    FinishGameOnPasses(true);
    EndGame();
    return;
  }
  if (!RecordMove()) return;
  EnterMove(MoveX, MoveY);
  LogLine("傀儡が考えています.....");
  LogLine("");
  const puppet::Reading* reading = puppet::ReadingOf(ProfileNo);
  if (reading && reading->PassTrustMs > 0) {
    // This puppet's pass sign is trusted only after a while, and it redraws its
    // board slowly after a capture.
    PassCheckDeadline = Sys.Clock.TickCount() + reading->PassTrustMs;
    if (CaptureFlag) Sys.Clock.Sleep(reading->RedrawAfterCaptureMs);
  }
  CaptureFlag = false;
  Timer3.SetEnabled(true);
}

void TForm1::Timer3Timer() {
  Timer3.SetEnabled(false);
  if (!PassCheckDue && platform::TickAfter(Sys.Clock.TickCount(), PassCheckDeadline))
    PassCheckDue = true;
  const bool found = DetectPuppetMove(MoveX, MoveY);
  ClearPassSign();
  if (!found) {
    // A look the guard refused sends nothing; one that stays refused over the
    // grace stops the relay.
    RefusedLooks = LastSighting == Sighting::AllWell ? 0 : RefusedLooks + 1;
    if (RefusedLooks >= GuardGraceLooks) {
      StopOnSighting();
      return;
    }
    Timer3.SetEnabled(true);
    return;
  }
  RefusedLooks = 0;
  NoteMove(PuppetTime, "おー！ 傀儡の着手 発見 !");
  PassCheckDue = false;
  if (MoveX == 0 && MoveY == 0 && LastMoveWasPass()) {
    FinishGameOnPasses(false);
    // The game is over whether or not the partner acknowledges this pass; a
    // lost link has been closed and unloaded by the send.
    SendMoveToPartner(0, 0);
    EndGame();
    return;
  }
  if (!RecordMove()) return;
  if (!SendMoveToPartner(board::CodeX(LastMoveCode), board::CodeY(LastMoveCode))) {
    StopOnLostLink();
    return;
  }
  LogLine("相棒を待っています.....");
  LogLine("");
  Timer2.SetEnabled(true);
}

void TForm1::EndGame() {
  if (GamesTotal >= 2) {
    NextGame();
    return;
  }
  SpeedButton1.SetCaption("終了");
  Link.closecom();  // the library stays loaded
}

void TForm1::StopOnLostLink() {
  // Without the link the partner's moves can never arrive: no relay timer runs
  // again, the clocks stop, and the button finishes the program.
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  Timer3.SetEnabled(false);
  SpeedButton1.SetCaption("終了");
}

}  // namespace tovarin
