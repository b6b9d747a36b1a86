// A GTP engine (version 2) whose moves come from the far end of a Go Modem
// Protocol line: to a GTP controller, the program at the far end (Tovarin and
// its puppet, or any program that speaks the protocol) is an engine like any
// other. `genmove` waits for the far end's move on the line; `play` sends the
// controller's move on the line and answers once the far end has taken it.
//
// Games and colours: the far end plays FarColour in the first game, and the
// colours swap with each game after it, as Tovarin's series swaps them and as
// match runners alternate them. A game is agreed on the line when `clear_board`
// starts it (the controller's komi and time settings follow it, and its clock
// runs only in `genmove`); if that fails (nobody at the far end yet), the first
// `play` or `genmove` tries again. Two passes in a row end the game on the
// line; the next game's line is opened at once, so that this side listens
// before the far end sends, and the next `clear_board` agrees it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gtp/GameRecord.h"
#include "gtp/Line.h"
#include "sim/puppets/GoGame.h"

namespace gtp {

struct LineEngineSettings {
  std::string Name = "duelcom-engine";  // the reply to `name`
  int FarColour = Black;                // the far end's colour in the first game
  std::uint32_t AgreeMs = 120000;       // how long a new game may take to be agreed
  std::uint32_t MoveWaitMs = 1800000;   // how long the far end may take over a move
  // The wait before this side's request of a later game.
  std::uint32_t NextRequestDelayMs = ::gtp::NextRequestDelayMs;
  std::string Date;  // YYYY-MM-DD, for the records
};

class LineEngine {
 public:
  LineEngine(GmpLine& line, LineEngineSettings settings);

  // Opens the line for the first game, so that this side listens from the start.
  void Start();
  // Answers one line of the controller's input: the whole reply, its empty line
  // included, or nothing for a line that holds no command.
  std::string Handle(const std::string& input);
  // `quit` was answered.
  bool QuitAsked() const { return Quit; }

  // Each game that ended on the line, on two passes or otherwise, with its moves.
  std::function<void(const GameRecord&)> OnGameEnd;
  // What the engine says of the line, for its log (standard error).
  std::function<void(const std::string&)> Say;

  // The commands it knows, in the order list_commands gives them.
  static const std::vector<std::string>& Commands();

 private:
  struct Reply {
    bool Ok = true;
    std::string Text;
  };
  Reply Run(const std::string& command, const std::vector<std::string>& args);
  Reply ClearBoard();
  Reply Play(const std::vector<std::string>& args);
  Reply GenMove(const std::vector<std::string>& args);
  Reply FinalScore() const;
  std::string ShowBoard() const;
  // The game on the line, agreed if it is not yet; false with the reason.
  bool EnsureAgreed(std::string& why);
  // The line broke: the game ends here, and the next clear_board tries again.
  Reply Broken(const std::string& why);
  void Record(int colour, int x, int y);
  void EndGame(const std::string& stopped);
  int LineColour() const { return FarColour == Black ? White : Black; }
  static int ColourOf(const std::string& word);  // 0 for none

  GmpLine& Line;
  LineEngineSettings Settings;
  bool Quit = false;

  int GameNumber = 0;       // the game on the line; 0 before the first
  int FarColour = Black;    // the far end's colour in this game
  bool LineOpen = false;    // opened for this game (or the next)
  bool Agreed = false;      // the game on the line is agreed
  bool Running = false;     // agreed and not yet ended
  int Passes = 0;           // in a row
  std::string Komi;         // as the controller gave it
  refpuppet::GoGame Board;  // the game as played, for legality, scoring and showing
  GameRecord Game;
  std::chrono::steady_clock::time_point LastEnd;  // of the last game on the line
};

}  // namespace gtp
