// A series of games against the same partner: after each game the colours are
// swapped, a new game is started in the running puppet, and the link is opened
// afresh for it; after the last game the log sums the series up.
#include <string>

#include "tovarin/shell/Unit1.h"

namespace tovarin {

void TForm1::NextGame() {
  Link.closecom();  // the library stays loaded
  if (GamesLeft < 2) {
    LogLine("");
    LogLine(GameRule);
    LogLine("囲碁連続通信対戦 代理 Tovarin :");
    LogLine("全 " + std::to_string(GameNo) + " 局 が終了しました。");
    LogLine(GameRule);
    GameNo = 1;
    GamesTotal = 1;
    ListChoice = 1;
    ProfileNo = TargetWidth = TargetHeight = PuppetIsBlack = 0;
    SpeedButton1.SetCaption("終了");
    return;
  }
  ClearLog();
  ResetGame();
  ++GameNo;
  --GamesLeft;
  PuppetIsBlack = 1 - PuppetIsBlack;
  LogLine("第 " + std::to_string(GameNo) + " 回通信に入ります");
  LogLine("");
  LogLine("30 秒お待ち.....");
  LogLine(PauseRule);
  UpdateSeriesCaptions();
  LabelSides();
  StartPuppetGame();
  ParkCursor();
  Timer1.SetEnabled(true);
  // The side that sends the new-game request waits longer, so that the other
  // side is listening when it comes.
  if (!WaitPumpingMessages(PuppetIsBlack == 1 ? 30000 : 15000)) return;
  if (!CalibratePuppet()) return;
  if (!OpenAgreedGame()) return;
  HandOverToRelay(0);
}

}  // namespace tovarin
