// A minimal Go board for choosing legal moves against a real partner.
#pragma once

#include <array>
#include <vector>

namespace duelcom::testing {

class Board {
 public:
  // x column, y row, both 1..19; colour 1 black, 2 white. Removes captured
  // stones. Returns false (and changes nothing) for an occupied point.
  bool Play(int x, int y, int colour) {
    if (At(x, y) != 0) return false;
    At(x, y) = colour;
    for (auto [nx, ny] : Neighbours(x, y)) {
      if (At(nx, ny) == 3 - colour && Liberties(nx, ny) == 0) Remove(nx, ny);
    }
    return true;
  }

  // A point where the colour may play without suicide and without retaking a
  // ko: the new stone's group keeps at least two liberties.
  bool IsSafe(int x, int y, int colour) const {
    if (At(x, y) != 0) return false;
    Board after = *this;
    after.Play(x, y, colour);
    return after.Liberties(x, y) >= 2;
  }

  int At(int x, int y) const { return Points[Index(x, y)]; }

 private:
  static int Index(int x, int y) { return (y - 1) * 19 + (x - 1); }
  int& At(int x, int y) { return Points[Index(x, y)]; }

  static std::vector<std::array<int, 2>> Neighbours(int x, int y) {
    std::vector<std::array<int, 2>> out;
    if (x > 1) out.push_back({x - 1, y});
    if (x < 19) out.push_back({x + 1, y});
    if (y > 1) out.push_back({x, y - 1});
    if (y < 19) out.push_back({x, y + 1});
    return out;
  }

  // Flood fill of the group at x, y: its liberties, and its stones in `group`.
  int Liberties(int x, int y, std::vector<std::array<int, 2>>* group = nullptr) const {
    std::array<bool, 361> seen{};
    std::vector<std::array<int, 2>> todo = {{x, y}};
    seen[Index(x, y)] = true;
    int liberties = 0;
    std::array<bool, 361> counted{};
    while (!todo.empty()) {
      auto [cx, cy] = todo.back();
      todo.pop_back();
      if (group) group->push_back({cx, cy});
      for (auto [nx, ny] : Neighbours(cx, cy)) {
        const int i = Index(nx, ny);
        if (At(nx, ny) == 0 && !counted[i]) {
          counted[i] = true;
          ++liberties;
        } else if (At(nx, ny) == At(x, y) && !seen[i]) {
          seen[i] = true;
          todo.push_back({nx, ny});
        }
      }
    }
    return liberties;
  }

  void Remove(int x, int y) {
    std::vector<std::array<int, 2>> group;
    Liberties(x, y, &group);
    for (auto [gx, gy] : group) At(gx, gy) = 0;
  }

  std::array<int, 361> Points{};
};

}  // namespace duelcom::testing
