#pragma once
// The main window: it owns all state of a match for the life of the program and
// hosts the handlers that do the program's work (the two buttons, the three timers
// and painting). The board model is part of it.
//
// The windows and controls keep their designer names. What each one is:
//   TForm1         the main window: the board, the two sides, the clocks, the buttons
//   TForm2         the match settings dialog (colour, port, series length, program)
//   TForm3         the information window: the log (Memo1)
//   SpeedButton22  「通信対局」: starts a match (settings, puppet, handshake, relay)
//   SpeedButton1   「登録」 registers a program; during a match 「中止」 aborts it; after the
//                  match or a lost link 「終了」 ends the program
//   Timer1         once a second: the start-up step, then the thinking clocks
//   Timer2         the relay waiting for the partner's move on the line
//   Timer3         the relay waiting for the puppet's move on the screen
//   Label1         the move count 「手数= n」
//   Label2, Label3 black's and white's names: 「黒…」 and 「白…」
//   Label4, Label5 black's and white's thinking clocks
//   Image1, Image3 the board and the stones pictures the board is painted from
//   Image4         the program's own picture
//   puppet         the Go program driven by clicks; its profile (1 to 18) is in
//                  tovarin/puppet/profiles
//   partner        the opponent at the far end of the serial line
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Desktop.h"
#include "platform/ui/Ui.h"
#include "tovarin/board/Board.h"
#include "tovarin/match/LinkBinding.h"
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Services.h"

namespace tovarin {

class TForm2;
class TForm3;

inline constexpr const char* MainCaption = " 囲碁通信代理 Tovarin";
inline constexpr const char* StartupTitle = "囲碁通信代理  Tovarin";
inline constexpr int RegisteredMax = 50;
inline constexpr int WindowTitleCount = puppet::TitleCount;

// Separator lines of the log: under an agreed game and round the series' end, under
// the pause before the next game, and round the lists and notices of the registry
// and the launch.
inline constexpr const char* GameRule = "----------------------------";
inline constexpr const char* PauseRule = "------------------------";
inline constexpr const char* NoticeRule = "----------------------------------------------";

// Clock text: hours, minutes and seconds, each with a blank in front when below 10.
std::string FormatClock(std::int64_t ms);

// How a game that was agreed on the line ended.
enum class GameEnding { TwoPasses, Aborted, LinkLost, MoveRefused, BoardGuard };

class TForm1 : public ui::Form, public board::Board {
 public:
  TForm1(ui::Application& app, Services& sys);
  ~TForm1() override;

  // Controls, in their declaration order.
  ui::Timer Timer1;
  ui::Image Image1;
  ui::SpeedButton SpeedButton22;
  ui::Image Image3;
  ui::Timer Timer2;
  ui::Timer Timer3;
  ui::Label Label1;
  ui::Image Image4;
  ui::SpeedButton SpeedButton1;
  ui::OpenDialog OpenDialog1;
  ui::Label Label2;
  ui::Label Label3;
  ui::Label Label4;
  ui::Label Label5;

  // Match state (the board model's fields come from board::Board).
  std::int32_t PuppetIsBlack = 0;
  std::int32_t ProfileNo = 0;
  std::int32_t ListChoice = 1;
  std::int32_t RegisteredCount = 0;
  std::int32_t TargetWidth = 0;
  std::int32_t TargetHeight = 0;
  std::int32_t PuppetTime = 0;
  std::int32_t PartnerTime = 0;
  std::uint32_t TurnStartTick = 0;
  std::int32_t RunningTime = 0;
  std::uint32_t PassCheckDeadline = 0;
  bool PassCheckDue = false;
  bool PassDialogHandled = false;
  platform::WindowHandle PuppetWindow = 0;
  platform::Rect PuppetRect;
  std::array<std::int32_t, RegisteredMax> RegisteredProfiles{};
  std::string ProgramFolder;
  std::string PuppetPath;
  std::array<std::string, WindowTitleCount> WindowTitles;
  LinkBinding Link;  // the link library
  bool AbortRequested = false;
  bool GameFinished = false;  // the game ended on two passes; cleared for the next
  std::int32_t GamesTotal = 1;
  std::int32_t GamesLeft = 1;
  std::int32_t GameNo = 1;

  // The record of the game on the line (kifu\SeriesStamp-gameN.sgf) and the
  // series' summary (kifu\series-SeriesStamp.txt).
  std::string SeriesStamp;  // the local time the series' first game was agreed
  std::string SeriesSummary;
  std::string RecordDate;
  bool Recording = false;     // from the agreement to the end of the game
  bool RecordFailed = false;  // a write failed and was said, this game

  // Kept by Timer1Timer for the life of the process.
  bool StartupDone = false;
  std::int32_t LastClockCount = 0;

  // The other two windows, once created.
  TForm2* Settings = nullptr;
  TForm3* Info = nullptr;

  void ResetGame();
  void Timer1Timer();
  void LogLine(const std::string& text);
  void ClearLog();
  // The application-wide message hook: swallows the screen-saver command.
  static bool SuppressScreenSaver(const ui::Message& message);

  // Board display.
  static int PointToPixelX(int code) { return 10 * (code / board::GridSize) + 75; }
  static int PointToPixelY(int code) { return 10 * (code % board::GridSize); }
  void DrawEmptyBoard();
  void DrawStone(int px, int py, bool isBlack);
  void EraseStone(int px, int py);
  void FormPaint();

  // ---- Puppet driving: defined in tovarin/puppet ----
  // Copies the window titles of the puppet profiles into WindowTitles.
  void FillWindowTitles();
  // Looks for the running puppet of `profile` by its window title(s); when found,
  // makes it the active puppet (ProfileNo, PuppetWindow, TargetWidth/Height).
  void FindPuppet(int profile);
  // The tag of the active profile, "[不明]" when there is none.
  const char* PuppetTag() const;
  // Synthetic input: a left click at a screen point (100 ms down, 300 ms after),
  // one key press (100 ms down, 100 ms after), the cursor parked on this window.
  void ClickAt(int x, int y);
  void PressKey(std::uint8_t virtualKey);
  void ParkCursor();
  // Clicks the move (x, y), or a pass for (0, 0), into the puppet.
  void EnterMove(int x, int y);
  // One look at the puppet's board: true with (x, y) when the puppet has played
  // there, true with (0, 0) when it has passed, false when nothing new shows.
  // It clicks nothing: a box it saw (a pass, a notice) is cleared by the
  // ClearPassSign that follows it.
  bool DetectPuppetMove(std::int32_t& x, std::int32_t& y);
  // The pass signs a look can see, one kind of profile each (PassSign).
  enum class PassShown { None, Notice, Dialog, Panel, DialogSeries };
  PassShown LastPassShown = PassShown::None;
  // Clicks away what the last look saw: a notice box (the look goes on at the
  // next poll), a pass dialog, or the pass dialogs one after the other.
  void ClearPassSign();
  // What a look's scan of the board found against the proxy's board.
  struct BoardScan {
    int NewStones = 0;  // points empty here that show a stone
    int NewX = 0;       // the first of them, column by column from the left
    int NewY = 0;
    int GoneCount = 0;  // white stones held here that the screen shows empty
    std::array<std::int16_t, board::BoardSize * board::BoardSize> Gone{};
  };
  // The parts of a look: one snapshot of the board's region with the pass
  // sign's pixels, the sign it shows, the scan, the guard (false when it refuses
  // the scan, with LastSighting), and the mark on the stone played last.
  void TakeLook(const puppet::Reading& reading);
  PassShown ReadPassSign(const puppet::Reading& reading) const;
  BoardScan ScanBoard(const puppet::Reading& reading) const;
  bool PassesGuard(const BoardScan& scan);
  bool LastMarkGone(const puppet::Reading& reading) const;
  // The pixels of the board region, reused from look to look.
  platform::ScreenSnapshot BoardShot;
  // What the last look found that no move of the puppet explains: its window
  // gone or no longer where it was placed (PuppetRect), more than one new stone,
  // or stones gone that no capture took. Such a
  // look reads as nothing new; a redraw clears itself within a few looks, a
  // screen that is not the puppet's board does not.
  enum class Sighting { AllWell, WindowGone, WindowMoved, ManyNewStones, StonesGone };
  Sighting LastSighting = Sighting::AllWell;
  std::int32_t SightingPoints = 0;  // the points concerned
  std::int32_t RefusedLooks = 0;    // looks in a row that the guard refused
  static constexpr std::int32_t GuardGraceLooks = 10;
  // The box and log lines for LastSighting; the relay stands still, the link open.
  void StopOnSighting();
  // The look before a game's handshake, with the puppet's new game set up: its
  // window stands at its play position, none of Tovarin's windows covers a point
  // the profile reads or clicks, and every board point reads empty (one stone at
  // most when the puppet plays black). False after a box and log lines that name
  // what is wrong; PuppetRect holds the window's rectangle when true.
  bool CalibratePuppet();
  // True when a visible window of Tovarin's covers the screen point.
  bool OwnWindowAt(platform::Point point) const;
  // ---- end of puppet driving ----

  // ---- Launch, placement and set-up scripts (tovarin/puppet) ----
  // Checks the screen, starts the registered puppet, finds and places its window.
  bool PreparePuppet();
  bool LaunchPuppet(int profile);
  // True when the puppet window stands at the origin. A window that keeps a size of
  // its own is accepted here; the look before the first game judges its board.
  bool PlacePuppetWindow();
  void ShiftPuppetWindow(int x);
  // Sets the puppet's options once per match; starts a new game before each game.
  void SetPuppetOptions();
  void StartPuppetGame();
  // Runs one of the profile's scripts, step by step, for the game at hand.
  void RunScript(puppet::Script script, bool partnerPassedLast = false);
  bool PixelIs(int x, int y, platform::ColorRef colour);
  bool IsBlackAt(int x, int y);
  // Drags the record pane's divider of the profile to the window's right edge.
  void DragPuppetDivider();
  // The entry of the program's player list the puppet shows chosen (profile 6).
  int ReadPuppetListChoice();

  // ---- Registry (tovarin/registry) ----
  void EnsureRegistryFiles();
  // Reads the registry, lists it in the log and the settings dialog, and places
  // the mouse pointer; false after a message when a file cannot be read.
  bool ReadAndListRegistry();
  // Tells in the log when the display is scaled: the puppets' points are fixed
  // pixels, which a scaled puppet no longer draws where they are looked for.
  void ReportDisplayScale();
  bool ListRegisteredPrograms();
  void ListRegistrablePrograms();
  // Finds the executable registered for `profile` into PuppetPath.
  bool LookUpRegisteredPath(int profile);
  bool AppendRegistration(int profile, const std::string& path);
  // The profile of a chosen executable by its file name (and its year), or 0.
  int IdentifyProgram(const std::string& fileName, const std::string& fullPath);
  // The calendar year of a file's last write in local time; 0 when unreadable.
  int FileYear(const std::string& path);
  // Register, abort or finish, by the state of the window.
  void SpeedButton1Click();

  // ---- Link (tovarin/match) ----
  bool BindLinkLibrary();
  // Sends a move; on failure logs "Send Error !", closes the link and unloads it.
  bool SendMoveToPartner(int x, int y);

  // ---- Match start, turn relay and game series (tovarin/match) ----
  // The start button: settings, puppet, window layout, link and handshake, and the
  // hand-over to the relay.
  void SpeedButton22Click();
  // Binds the link library, opens the chosen port and agrees a new game with the
  // partner; false with the link closed and unloaded when no game was agreed, or
  // when the match was aborted meanwhile (the abort has closed the link).
  bool OpenLinkAndHandshake();
  // Writes the game number into the captions of the main and information windows.
  void UpdateSeriesCaptions();
  // The relay: Timer2 waits for the partner's move, Timer3 for the puppet's.
  void Timer2Timer();
  void Timer3Timer();
  // Clicks away the puppet's end-of-game dialogs; a game that ended on the
  // partner's pass has given the puppet that pass first.
  void DismissGameEnd(bool partnerPassedLast);
  // The end of a game of a series: the next game with the colours swapped, or the
  // summary after the last one.
  void NextGame();
  // Handles messages for `waitMs`; false when the match was aborted or the program
  // is ending meanwhile.
  bool WaitPumpingMessages(std::uint32_t waitMs);
  // The puppet plays black: its first move of a game is read, recorded and sent,
  // and the relay waits for the partner.
  void RelayPuppetsFirstMove();

  // Checks (MoveX, MoveY) for the side whose move it is.
  std::int32_t CheckMovePoint() { return Board::CheckMovePoint(PuppetIsBlack); }

  Services& Sys;

 private:
  // The proxy's windows around the placed puppet.
  void LayOutAroundPuppet();
  // "黒…" and "白…": the puppet's tag on its side, the partner on the other.
  void LabelSides();
  // The log line of a move: its number, the point and a pass mark.
  std::string PositionLine(int x, int y) const;
  // True when the move recorded last is a pass: a further pass ends the game.
  bool LastMoveWasPass() const { return MoveCount >= 1 && LastMove() == 0; }
  // Records a pass of the side to move; false, with the game stopped, when the
  // move record is full.
  bool RecordRelayedPass();
  // A move in MoveX, MoveY has come from one side: its thinking time is counted
  // and the move is logged under `heading`.
  void NoteMove(std::int32_t& thinkingTime, const char* heading);
  // Records the move in MoveX, MoveY: a pass, or a stone on a free point; false
  // when it is refused, which stops the game.
  bool RecordMove();
  // Two passes in a row: logged, the clock stopped, the puppet given the
  // partner's pass and its end-of-game dialogs cleared.
  void FinishGameOnPasses(bool partnerPassedLast);
  // Opens the link for a game and agrees it with the partner; false when the
  // match goes no further (the reason has been shown).
  bool OpenAgreedGame();
  // The relay takes over: the puppet's first move is sent when it plays black
  // (after `pauseMs`), then the relay waits for the partner.
  void HandOverToRelay(std::uint32_t pauseMs);
  // After the second pass: the next game of a series, or the end of the match.
  void EndGame();
  // The game's record: begun when the game is agreed, written after each move
  // relayed, ended with how the game ended (once; later calls do nothing).
  void BeginRecord();
  void RecordMoveRelayed();
  void EndRecord(GameEnding ending);
  void WriteRecord(const char* ending);
  std::string RecordFileName() const;
  // A move went unanswered and the link is gone: the relay stops for good.
  void StopOnLostLink();

 protected:
  void OnStonePlaced(int code, bool isBlack) override;
  void OnStoneRemoved(int code) override;
  void OnMoveCounted(int moveCount) override;
  void OnMoveRefused(board::Refusal why, const std::string& side, int x, int y) override;
};

}  // namespace tovarin
