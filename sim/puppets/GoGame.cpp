#include "sim/puppets/GoGame.h"

namespace refpuppet {

namespace {
constexpr int Dc[4] = {1, -1, 0, 0};
constexpr int Dr[4] = {0, 0, 1, -1};
}  // namespace

void GoGame::Reset() {
  Analysed_ = false;
  Board_.fill(Stone::None);
  ToMove_ = Stone::Black;
  KoC_ = KoR_ = 0;
  Captured_ = 0;
  History_.clear();
}

Stone GoGame::At(int c, int r) const {
  return OnBoard(c, r) ? Board_[static_cast<std::size_t>(Index(c, r))] : Stone::None;
}

int GoGame::Group(const std::array<Stone, Size * Size>& board, int c, int r,
                  std::vector<int>& stones) {
  stones.clear();
  Stone s = board[static_cast<std::size_t>(Index(c, r))];
  std::array<bool, Size * Size> seen{};
  std::array<bool, Size * Size> liberty{};
  int liberties = 0;
  stones.push_back(Index(c, r));
  seen[static_cast<std::size_t>(Index(c, r))] = true;
  for (std::size_t k = 0; k < stones.size(); ++k) {
    int sc = stones[k] % Size + 1, sr = stones[k] / Size + 1;
    for (int d = 0; d < 4; ++d) {
      int nc = sc + Dc[d], nr = sr + Dr[d];
      if (!OnBoard(nc, nr)) continue;
      auto n = static_cast<std::size_t>(Index(nc, nr));
      if (board[n] == Stone::None) {
        if (!liberty[n]) {
          liberty[n] = true;
          ++liberties;
        }
      } else if (board[n] == s && !seen[n]) {
        seen[n] = true;
        stones.push_back(static_cast<int>(n));
      }
    }
  }
  return liberties;
}

bool GoGame::Apply(std::array<Stone, Size * Size>& board, int c, int r, Stone s,
                   std::vector<int>* removed) {
  if (!OnBoard(c, r) || board[static_cast<std::size_t>(Index(c, r))] != Stone::None) return false;
  board[static_cast<std::size_t>(Index(c, r))] = s;
  std::vector<int> group;
  for (int d = 0; d < 4; ++d) {
    int nc = c + Dc[d], nr = r + Dr[d];
    if (!OnBoard(nc, nr) || board[static_cast<std::size_t>(Index(nc, nr))] != Opponent(s)) continue;
    if (Group(board, nc, nr, group) == 0) {
      for (int i : group) {
        board[static_cast<std::size_t>(i)] = Stone::None;
        if (removed) removed->push_back(i);
      }
    }
  }
  if (Group(board, c, r, group) == 0) return false;  // suicide
  return true;
}

void GoGame::Analyse() const {
  if (Analysed_) return;
  GroupOf_.fill(-1);
  std::vector<int> stones;
  std::int16_t next = 0;
  for (int i = 0; i < Size * Size; ++i) {
    if (Board_[static_cast<std::size_t>(i)] == Stone::None ||
        GroupOf_[static_cast<std::size_t>(i)] >= 0)
      continue;
    int liberties = Group(Board_, i % Size + 1, i / Size + 1, stones);
    for (int k : stones) GroupOf_[static_cast<std::size_t>(k)] = next;
    LibertiesOf_[static_cast<std::size_t>(next)] = static_cast<std::int16_t>(liberties);
    ++next;
  }
  Analysed_ = true;
}

bool GoGame::IsLegal(int c, int r) const {
  if (!OnBoard(c, r) || At(c, r) != Stone::None) return false;
  if (c == KoC_ && r == KoR_) return false;
  Analyse();
  // Legal when the new stone keeps a liberty: an empty neighbour, an opponent group
  // it takes, or an own group that has another liberty left.
  for (int d = 0; d < 4; ++d) {
    int nc = c + Dc[d], nr = r + Dr[d];
    if (!OnBoard(nc, nr)) continue;
    Stone n = At(nc, nr);
    if (n == Stone::None) return true;
    int libs =
        LibertiesOf_[static_cast<std::size_t>(GroupOf_[static_cast<std::size_t>(Index(nc, nr))])];
    if (n == ToMove_ ? libs >= 2 : libs == 1) return true;
  }
  return false;
}

bool GoGame::Play(int c, int r, std::vector<Move>* captured) {
  if (!IsLegal(c, r)) return false;
  std::vector<int> removed;
  Apply(Board_, c, r, ToMove_, &removed);
  for (int i : removed)
    if (captured) captured->push_back(Move{i % Size + 1, i / Size + 1});
  Captured_ += static_cast<int>(removed.size());
  // A single stone that took a single stone and now has that point as its only
  // liberty may not be taken back at once.
  KoC_ = KoR_ = 0;
  if (removed.size() == 1) {
    std::vector<int> group;
    if (Group(Board_, c, r, group) == 1 && group.size() == 1) {
      KoC_ = removed[0] % Size + 1;
      KoR_ = removed[0] / Size + 1;
    }
  }
  History_.push_back(Move{c, r});
  ToMove_ = Opponent(ToMove_);
  Analysed_ = false;
  return true;
}

void GoGame::Pass() {
  KoC_ = KoR_ = 0;
  History_.push_back(Move{});
  ToMove_ = Opponent(ToMove_);
}

int GoGame::TrailingPasses() const {
  int n = 0;
  for (auto it = History_.rbegin(); it != History_.rend() && it->IsPass(); ++it) ++n;
  return n;
}

bool GoGame::Captures(int c, int r) const {
  if (!IsLegal(c, r)) return false;
  for (int d = 0; d < 4; ++d) {
    int nc = c + Dc[d], nr = r + Dr[d];
    if (OnBoard(nc, nr) && At(nc, nr) == Opponent(ToMove_) &&
        LibertiesOf_[static_cast<std::size_t>(GroupOf_[static_cast<std::size_t>(Index(nc, nr))])] ==
            1)
      return true;
  }
  return false;
}

bool GoGame::IsEyeOf(int c, int r, Stone s) const {
  for (int d = 0; d < 4; ++d) {
    int nc = c + Dc[d], nr = r + Dr[d];
    if (OnBoard(nc, nr) && At(nc, nr) != s) return false;
  }
  return true;
}

int GoGame::Liberties(int c, int r) const {
  if (At(c, r) == Stone::None) return 0;
  std::vector<int> stones;
  return Group(Board_, c, r, stones);
}

std::uint64_t Random::Next() {
  State_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = State_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

Move ChooseMove(const GoGame& game, Random& random) {
  Stone me = game.ToMove();
  std::vector<Move> all, taking, contact;
  for (int c = 1; c <= GoGame::Size; ++c)
    for (int r = 1; r <= GoGame::Size; ++r) {
      if (!game.IsLegal(c, r) || game.IsEyeOf(c, r, me)) continue;
      all.push_back(Move{c, r});
      if (game.Captures(c, r)) taking.push_back(Move{c, r});
      for (int d = 0; d < 4; ++d)
        if (game.At(c + Dc[d], r + Dr[d]) == Opponent(me)) {
          contact.push_back(Move{c, r});
          break;
        }
    }
  if (all.empty()) return Move{};
  if (!taking.empty())
    return taking[static_cast<std::size_t>(random.Below(static_cast<int>(taking.size())))];
  bool close = random.Below(2) == 0;
  const std::vector<Move>& pool = close && !contact.empty() ? contact : all;
  return pool[static_cast<std::size_t>(random.Below(static_cast<int>(pool.size())))];
}

}  // namespace refpuppet
