// The partner program's relay: a series of games between a GTP engine and the
// player at the far end of a Go Modem Protocol line.
//
// For each game it sets the engine up, opens the line (a later game's as soon as
// the game before it ends, before the engine counts that one), agrees a new game
// (sending the request when the engine plays black, waiting for it when white),
// then carries every move across: the engine's moves from `genmove` to the
// line, the line's moves to the engine with `play`, until two passes in a row
// end the game. Colours swap after each game. The engine's resignation cannot
// go over the line; it is recorded and the engine's side passes from then on.
// Anything else that goes wrong stops the series with the line closed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "gtp/GameRecord.h"
#include "gtp/Gtp.h"
#include "gtp/Line.h"

namespace gtp {

struct RelaySettings {
  int EngineColour = Black;  // in the first game
  int Games = 1;
  std::string Komi = "6.5";
  // Rounds of the line's new-game wait (one NewGame each) before giving up.
  int AgreeRounds = 12;
  // The wait before the engine's request of a later game, when it plays black.
  std::uint32_t NextRequestDelayMs = ::gtp::NextRequestDelayMs;
  // How long the far end, and the engine's `genmove`, may take over a move.
  std::uint32_t MoveWaitMs = 1800000;
  // How long the engine may take over any other command.
  std::uint32_t CommandWaitMs = 60000;
  // The engine passes at every turn once this many moves are made (0: never).
  int PassFrom = 0;
  std::string Date;  // for the records
};

class Relay {
 public:
  using Sink = std::function<void(const std::string&)>;

  // `say` gets the lines worth showing; `detail`, if given, every move too.
  Relay(GmpLine& line, GtpEngine& engine, RelaySettings settings, Sink say, Sink detail = nullptr);

  // Each game's record when it ends, on two passes or stopped by a failure.
  std::function<void(const GameRecord&)> OnGameEnd;

  // Plays the series. False when it stopped; Error() says why.
  bool Run();
  const std::string& Error() const { return Failure; }
  // The engine's output has ended, or a reply did not come in time: it is to
  // be ended, not asked to quit.
  bool EngineGone() const { return Gone; }

 private:
  // `nextColour` is the engine's colour in the game after this one, 0 if none.
  bool PlayGame(int number, int engineColour, int nextColour);
  bool OpenLine(int number, int engineColour, std::string& error);
  void CloseLine();
  bool Agree(int engineColour);
  bool EngineTurn(GameRecord& record, int colour, int& x, int& y);
  bool LineTurn(GameRecord& record, int colour, int& x, int& y);
  bool Command(const std::string& command, GtpReply& reply);
  bool Fail(const std::string& why);
  // Fails for a line that no longer works, naming what it was doing.
  bool FailLine(const std::string& failure, const std::string& doing);
  void Detail(const std::string& text) const;

  GmpLine& Line;
  GtpEngine& Engine;
  RelaySettings Settings;
  Sink Say;
  Sink DetailSink;
  std::string EngineName;
  std::string Failure;
  bool Gone = false;
  bool LineOpen = false;
  std::chrono::steady_clock::time_point LastEnd;  // of the last game on the line
};

}  // namespace gtp
