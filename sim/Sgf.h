#pragma once
// A game record in SGF (FF[4]) for a 19 x 19 game: points as column and row
// letters from the top left, a pass as an empty value.
#include <string>
#include <vector>

namespace simworld {

struct SgfMove {
  int X = 0;  // column from the left, 1 to 19; 0 with Y 0 is a pass
  int Y = 0;  // row from the top
};

struct SgfRecord {
  std::string Black;  // players' names, UTF-8
  std::string White;
  std::string Date;            // YYYY-MM-DD
  std::vector<SgfMove> Moves;  // black first, then alternately
};

std::string FormatSgf(const SgfRecord& record);

}  // namespace simworld
