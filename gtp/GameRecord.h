// What a program of ours keeps of a game, and its SGF form: duelcom-gtp's engine
// and Tovarin's puppet on this side of the line, the partner on the other.
#pragma once

#include <string>
#include <vector>

namespace gtp {

inline constexpr int Black = 1;
inline constexpr int White = 2;

struct GameMove {
  int Colour = Black;
  int X = 0;  // the line's coordinates; 0, 0 a pass
  int Y = 0;
};

struct GameRecord {
  std::string Program = "duelcom-gtp";  // the program that keeps the record (AP)
  std::string GameName;                 // GN, if any
  int Number = 1;                       // in the series
  int EngineColour = Black;
  std::string EngineName;  // from the engine's name and version
  std::string LineName;    // the player at the far end of the line
  std::string Komi;
  std::string Date;  // YYYY-MM-DD, if known
  std::vector<GameMove> Moves;
  std::string Result;      // SGF result ("B+R", "W+3.5"), empty if unknown
  int ResignedAtMove = 0;  // the engine resigned at this move number (0: never)
  std::string Stopped;     // why the game stopped before two passes, if it did
  std::string Ended;       // how the game ended, a comment on its last node
};

// FF[4] SGF of the game: root properties, then one node per move.
std::string FormatSgf(const GameRecord& record);

}  // namespace gtp
