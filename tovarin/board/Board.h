#pragma once
// The proxy's own copy of a game: a 19 x 19 board inside a one-point frame, the
// move list and the move count. A move must go to an empty point of the board;
// opponent stones that a move leaves without a liberty are removed. Nothing else is
// enforced: no suicide test, no ko, no turn test, as the partner and the puppet are
// trusted to play legally and the proxy only needs to mirror what they do.
//
// Points are stored by point code p = 21 * x + y (x the column from the left, y the
// row from the top, both 1..19 on the board, 0 and 20 on the frame). The four
// neighbours of p are visited in the order p + 21, p - 21, p + 1, p - 1.
#include <array>
#include <cstdint>
#include <string>

namespace board {

inline constexpr int BoardSize = 19;
inline constexpr int GridSize = 21;  // the board plus its frame
inline constexpr int PointCount = GridSize * GridSize;
inline constexpr int MoveRecordSize = 500;
inline constexpr int MaxMoves = MoveRecordSize - 1;  // entry 0 is never written

inline constexpr std::int32_t Empty = 0;
inline constexpr std::int32_t StoneBlack = 1;
inline constexpr std::int32_t StoneWhite = 5;
inline constexpr std::int32_t OffBoard = -50;

constexpr int PointCode(int x, int y) { return GridSize * x + y; }
constexpr int CodeX(int code) { return code / GridSize; }
constexpr int CodeY(int code) { return code % GridSize; }

// Why a move was refused.
enum class Refusal {
  Occupied,      // a stone or the frame is on the point
  OutOfRange,    // x or y outside 0..20: not a point of the grid at all
  MoveListFull,  // the game already has MaxMoves moves
};

// The text of the rule-violation message box: `side` is "相棒" or "傀儡".
std::string RuleViolationText(const std::string& side, int x, int y);
// The side word for a move checked while `moveCount` moves stand recorded:
// "相棒" when it is the partner's move, "傀儡" when it is the puppet's.
const char* MoverWord(int moveCount, int puppetIsBlack);

class Board {
 public:
  Board() { ClearBoard(); }
  virtual ~Board() = default;

  std::array<std::int32_t, PointCount> Stones{};
  std::array<std::int32_t, PointCount> Visited{};
  std::array<std::int32_t, MoveRecordSize> MoveRecord{};
  std::int32_t MoveCount = 0;
  std::int32_t LastMoveCode = 0;
  std::int32_t MoveX = 0;
  std::int32_t MoveY = 0;
  bool CaptureFlag = false;

  // Empties the board inside its frame and the move list.
  void ClearBoard();
  // Checks the move (MoveX, MoveY): its point code when the point is free (and
  // LastMoveCode is set to it); 0 when it is refused, after OnMoveRefused.
  std::int32_t CheckMovePoint(int puppetIsBlack);
  // Puts a stone of the given colour on LastMoveCode, counts and records the move
  // and removes the opponent stones it captures. False, changing nothing, when
  // LastMoveCode is not an empty board point or the move list is full.
  bool PlaceStone(bool isBlack);
  // Counts a pass: MoveCount + 1, LastMoveCode 0, MoveRecord[MoveCount] 0. False,
  // changing nothing, when the move list is full.
  bool RecordPass();
  // Removes the stones of colour `opponent` next to the last placed stone that
  // have no liberty.
  void ResolveCaptures(std::int32_t opponent);
  // Depth-first search of the group at `d`: true when it has no empty neighbour,
  // with every stone of the group marked in Visited.
  bool HasNoLiberty(int d);

  // The point code of the last move (0 for a pass and before the first move).
  std::int32_t LastMove() const { return MoveRecord[static_cast<std::size_t>(MoveCount)]; }
  bool BlackToMove() const { return MoveCount % 2 == 0; }
  bool MoveListFull() const { return MoveCount >= MaxMoves; }

 protected:
  // What the display and the match do around the model; defaults do nothing.
  virtual void OnStonePlaced(int /*code*/, bool /*isBlack*/) {}
  virtual void OnStoneRemoved(int /*code*/) {}
  virtual void OnMoveCounted(int /*moveCount*/) {}
  virtual void OnMoveRefused(Refusal /*why*/, const std::string& /*side*/, int /*x*/, int /*y*/) {}

 private:
  void ClearMarks(int d);
  void RemoveMarked(int d);
  void RemoveStone(int d);
};

}  // namespace board
