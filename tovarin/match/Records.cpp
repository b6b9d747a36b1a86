// The records of the games: each game agreed on the line is kept in the folder
// kifu under the current directory as an SGF file, written again after every
// move through a temporary file that replaces it, so that whatever stops the
// program leaves a whole record of every move relayed so far. When a game ends,
// however it ends, its ending goes into the record as a comment on the last
// node, into the information window, and into the series' summary beside the
// records (tab-separated: game, puppet's colour, moves, ending, record). A
// record that cannot be written is said once a game in the information window;
// the relay goes on.
#include <cstdio>
#include <string>

#include "gtp/GameRecord.h"
#include "tovarin/shell/Unit1.h"

namespace tovarin {

namespace {

constexpr const char* RecordFolder = ".\\kifu";

struct EndingText {
  const char* Log;      // in the information window and the record's comment
  const char* Summary;  // in the series' summary, for tools
};

EndingText TextOf(GameEnding ending) {
  switch (ending) {
    case GameEnding::TwoPasses:
      return {"2 回のパスで終局しました", "two passes"};
    case GameEnding::Aborted:
      return {"中止されました", "aborted"};
    case GameEnding::LinkLost:
      return {"相棒との通信が切れました", "link lost"};
    case GameEnding::MoveRefused:
      return {"盤にない着手か打てない着手で止まりました", "refused move"};
    case GameEnding::BoardGuard:
      return {"盤面の監視で止まりました", "board guard"};
  }
  return {"", ""};
}

std::string TwoDigits(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

}  // namespace

std::string TForm1::RecordFileName() const {
  return SeriesStamp + "-game" + std::to_string(GameNo) + ".sgf";
}

void TForm1::BeginRecord() {
  const platform::LocalTime now = Sys.Files.Now();
  if (GameNo == 1 || SeriesStamp.empty()) {
    SeriesStamp = std::to_string(now.Year) + TwoDigits(now.Month) + TwoDigits(now.Day) + "-" +
                  TwoDigits(now.Hour) + TwoDigits(now.Minute) + TwoDigits(now.Second);
    SeriesSummary = "game\tpuppet's colour\tmoves\tended\trecord\n";
  }
  RecordDate = std::to_string(now.Year) + "-" + TwoDigits(now.Month) + "-" + TwoDigits(now.Day);
  Recording = true;
  RecordFailed = false;
  WriteRecord(nullptr);
}

void TForm1::WriteRecord(const char* ending) {
  gtp::GameRecord record;
  record.Program = "Tovarin";
  record.Number = GameNo;
  record.GameName = "game " + std::to_string(GameNo) + " of " + std::to_string(GamesTotal);
  record.EngineColour = PuppetIsBlack == 1 ? gtp::Black : gtp::White;
  // The names as the main window shows them, without their brackets.
  std::string tag = PuppetTag();
  if (tag.size() >= 2 && tag.front() == '[' && tag.back() == ']')
    tag = tag.substr(1, tag.size() - 2);
  record.EngineName = tag;
  record.LineName = "相棒";
  record.Date = RecordDate;
  for (int i = 1; i <= MoveCount; ++i) {
    const int code = MoveRecord[static_cast<std::size_t>(i)];
    record.Moves.push_back(
        {i % 2 == 1 ? gtp::Black : gtp::White, board::CodeX(code), board::CodeY(code)});
  }
  // The pass that ended the game is not on the board's list.
  if (GameFinished) record.Moves.push_back({MoveCount % 2 == 0 ? gtp::Black : gtp::White, 0, 0});
  if (ending) record.Ended = ending;
  Sys.Files.MakeFolder(platform::NativePath(RecordFolder));
  const std::string path = std::string(RecordFolder) + "\\" + RecordFileName();
  if (Sys.Files.WriteWhole(platform::NativePath(path), gtp::FormatSgf(record)) || RecordFailed)
    return;
  RecordFailed = true;
  LogLine("棋譜を書けません: " + path);
}

void TForm1::RecordMoveRelayed() {
  if (Recording) WriteRecord(nullptr);
}

void TForm1::EndRecord(GameEnding ending) {
  if (!Recording) return;
  Recording = false;
  const EndingText text = TextOf(ending);
  WriteRecord(text.Log);
  const std::string file = "kifu\\" + RecordFileName();
  LogLine("第 " + std::to_string(GameNo) + " 局: " + text.Log + "  棋譜 " + file);
  const int moves = MoveCount + (GameFinished ? 1 : 0);
  SeriesSummary += std::to_string(GameNo) + "\t" + (PuppetIsBlack == 1 ? "black" : "white") + "\t" +
                   std::to_string(moves) + "\t" + text.Summary + "\t" + RecordFileName() + "\n";
  const std::string summary = std::string(RecordFolder) + "\\series-" + SeriesStamp + ".txt";
  if (!Sys.Files.WriteWhole(platform::NativePath(summary), SeriesSummary) && !RecordFailed) {
    RecordFailed = true;
    LogLine("棋譜を書けません: " + summary);
  }
}

}  // namespace tovarin
