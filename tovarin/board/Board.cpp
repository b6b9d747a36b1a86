#include "tovarin/board/Board.h"

namespace board {
namespace {

constexpr int Neighbour[4] = {GridSize, -GridSize, 1, -1};

bool OnBoard(int code) {
  int x = CodeX(code), y = CodeY(code);
  return code >= 0 && code < PointCount && x >= 1 && x <= BoardSize && y >= 1 && y <= BoardSize;
}

}  // namespace

std::string RuleViolationText(const std::string& side, int x, int y) {
  return side + "の今打った着手( " + std::to_string(x) + " , " + std::to_string(y) + " )は\n" +
         "ルール違反のようです(通信を中断します)";
}

const char* MoverWord(int moveCount, int puppetIsBlack) {
  // The move being checked is move moveCount + 1: black's when moveCount is even.
  // moveCount mod 2 equals puppetIsBlack exactly when that is the partner's colour.
  return moveCount % 2 == puppetIsBlack ? "相棒" : "傀儡";
}

void Board::ClearBoard() {
  Stones.fill(Empty);
  Visited.fill(0);
  for (int x = 0; x < GridSize; ++x)
    for (int y = 0; y < GridSize; ++y)
      if (x == 0 || y == 0 || x == GridSize - 1 || y == GridSize - 1)
        Stones[static_cast<std::size_t>(PointCode(x, y))] = OffBoard;
  MoveRecord.fill(0);
}

std::int32_t Board::CheckMovePoint(int puppetIsBlack) {
  const std::string side = MoverWord(MoveCount, puppetIsBlack);
  // Coordinates outside the grid would give a code that names another point (or
  // none at all); they are refused like a move onto the frame.
  if (MoveX < 0 || MoveX >= GridSize || MoveY < 0 || MoveY >= GridSize) {
    OnMoveRefused(Refusal::OutOfRange, side, MoveX, MoveY);
    return 0;
  }
  int p = PointCode(MoveX, MoveY);
  if (Stones[static_cast<std::size_t>(p)] != Empty) {
    OnMoveRefused(Refusal::Occupied, side, CodeX(p), CodeY(p));
    return 0;
  }
  if (MoveListFull()) {
    OnMoveRefused(Refusal::MoveListFull, side, CodeX(p), CodeY(p));
    return 0;
  }
  LastMoveCode = p;
  return p;
}

bool Board::PlaceStone(bool isBlack) {
  if (!OnBoard(LastMoveCode) || Stones[static_cast<std::size_t>(LastMoveCode)] != Empty ||
      MoveListFull())
    return false;
  std::int32_t v = isBlack ? StoneBlack : StoneWhite;
  OnStonePlaced(LastMoveCode, isBlack);
  Stones[static_cast<std::size_t>(LastMoveCode)] = v;
  ++MoveCount;
  MoveRecord[static_cast<std::size_t>(MoveCount)] = LastMoveCode;
  OnMoveCounted(MoveCount);
  ResolveCaptures(6 - v);
  return true;
}

bool Board::RecordPass() {
  if (MoveListFull()) return false;
  ++MoveCount;
  LastMoveCode = 0;
  MoveRecord[static_cast<std::size_t>(MoveCount)] = 0;
  return true;
}

void Board::ResolveCaptures(std::int32_t opponent) {
  int q = MoveRecord[static_cast<std::size_t>(MoveCount)];
  if (q <= 0) return;
  for (int dq : Neighbour) {
    int n = q + dq;
    // A group removed at an earlier neighbour no longer holds the opponent value.
    if (Stones[static_cast<std::size_t>(n)] != opponent) continue;
    bool hasFriend = false, hasLiberty = false;
    for (int dn : Neighbour) {
      std::int32_t v = Stones[static_cast<std::size_t>(n + dn)];
      if (v == opponent) hasFriend = true;
      if (v == Empty) hasLiberty = true;
    }
    if (!hasFriend) {
      // A lone stone: captured when all four neighbours are stones or frame.
      if (!hasLiberty) {
        CaptureFlag = true;
        RemoveStone(n);
      }
    } else if (HasNoLiberty(n)) {
      CaptureFlag = true;
      RemoveMarked(n);
    } else {
      ClearMarks(n);
    }
  }
}

bool Board::HasNoLiberty(int d) {
  Visited[static_cast<std::size_t>(d)] = 1;
  for (int dn : Neighbour)
    if (Stones[static_cast<std::size_t>(d + dn)] == Empty) return false;
  for (int dn : Neighbour) {
    int n = d + dn;
    if (Visited[static_cast<std::size_t>(n)] == 0 &&
        Stones[static_cast<std::size_t>(n)] == Stones[static_cast<std::size_t>(d)] &&
        !HasNoLiberty(n))
      return false;
  }
  return true;
}

void Board::ClearMarks(int d) {
  Visited[static_cast<std::size_t>(d)] = 0;
  for (int dn : Neighbour)
    if (Visited[static_cast<std::size_t>(d + dn)] != 0) ClearMarks(d + dn);
}

void Board::RemoveMarked(int d) {
  RemoveStone(d);
  Visited[static_cast<std::size_t>(d)] = 0;
  for (int dn : Neighbour)
    if (Visited[static_cast<std::size_t>(d + dn)] != 0) RemoveMarked(d + dn);
}

void Board::RemoveStone(int d) {
  OnStoneRemoved(d);
  Stones[static_cast<std::size_t>(d)] = Empty;
}

}  // namespace board
