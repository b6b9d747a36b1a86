#pragma once
// The reference puppets' own game of Go: a 19 x 19 board played by the usual rules
// (captures, no suicide, no immediate retaking of a ko) and a small deterministic
// policy that picks moves from a seeded random sequence and ends in passes.
#include <array>
#include <cstdint>
#include <vector>

namespace refpuppet {

enum class Stone : std::int8_t { None = 0, Black = 1, White = 2 };
constexpr Stone Opponent(Stone s) { return s == Stone::Black ? Stone::White : Stone::Black; }

// A point (column from the left, row from the top, 1 to 19), or a pass as (0, 0).
struct Move {
  int C = 0;
  int R = 0;
  bool IsPass() const { return C == 0 && R == 0; }
  friend bool operator==(const Move&, const Move&) = default;
};

class GoGame {
 public:
  static constexpr int Size = 19;

  GoGame() { Reset(); }
  void Reset();

  Stone At(int c, int r) const;
  Stone ToMove() const { return ToMove_; }
  // True when the side to move may play at (c, r).
  bool IsLegal(int c, int r) const;
  // Plays (c, r) for the side to move; false, changing nothing, when illegal. The
  // points of the stones it captures are added to `captured` when given.
  bool Play(int c, int r, std::vector<Move>* captured = nullptr);
  void Pass();

  // Moves made so far, passes included.
  int MovesMade() const { return static_cast<int>(History_.size()); }
  const std::vector<Move>& History() const { return History_; }
  // Passes at the end of the history (2 ends the game).
  int TrailingPasses() const;
  int StonesCaptured() const { return Captured_; }
  // True when (c, r) would take at least one opponent stone for the side to move.
  bool Captures(int c, int r) const;
  // True when every neighbour of (c, r) is a stone of `s`.
  bool IsEyeOf(int c, int r, Stone s) const;
  // The liberties of the group at (c, r); 0 for an empty point.
  int Liberties(int c, int r) const;

 private:
  std::array<Stone, Size * Size> Board_{};
  Stone ToMove_ = Stone::Black;
  int KoC_ = 0;  // the point the side to move may not retake, 0 when none
  int KoR_ = 0;
  int Captured_ = 0;
  std::vector<Move> History_;
  // Each point's group and each group's liberties, worked out once per position
  // for the legality questions of the policy.
  mutable bool Analysed_ = false;
  mutable std::array<std::int16_t, Size * Size> GroupOf_{};
  mutable std::array<std::int16_t, Size * Size> LibertiesOf_{};
  void Analyse() const;

  static int Index(int c, int r) { return (r - 1) * Size + (c - 1); }
  static bool OnBoard(int c, int r) { return c >= 1 && c <= Size && r >= 1 && r <= Size; }
  // Collects the group at (c, r) on `board`; returns its number of liberties.
  static int Group(const std::array<Stone, Size * Size>& board, int c, int r,
                   std::vector<int>& stones);
  // Plays on `board` for `s` without the ko rule; false when the point is taken or
  // the move would be suicide.
  static bool Apply(std::array<Stone, Size * Size>& board, int c, int r, Stone s,
                    std::vector<int>* removed);
};

// splitmix64: a tiny, well-spread, fully deterministic sequence.
class Random {
 public:
  explicit Random(std::uint64_t seed) : State_(seed) {}
  std::uint64_t Next();
  // A number in 0 .. n - 1 (n > 0).
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t State_;
};

// The policy: take stones when possible; otherwise half of the time play next to
// an opponent stone, else anywhere; never fill an own eye. Passes when no such
// move is left.
Move ChooseMove(const GoGame& game, Random& random);

}  // namespace refpuppet
