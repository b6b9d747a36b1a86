// Points of the board in the two protocols the partner program joins.
//
// The line gives and takes points as the link library does: x is the column
// 1..19 from the left, y the row 1..19 from the top, and 0, 0 is a pass. A GTP
// engine names a point by a vertex: a column letter A..T without I, then the
// row number 1..19 counted from the bottom ("D4", "Q16"), or "pass".
#pragma once

#include <string>
#include <string_view>

namespace gtp {

inline constexpr int BoardSize = 19;

inline bool IsPass(int x, int y) { return x == 0 && y == 0; }
inline bool OnBoard(int x, int y) { return x >= 1 && x <= BoardSize && y >= 1 && y <= BoardSize; }

// The vertex of a point on the board or of a pass ("pass"); empty for anything else.
std::string ToVertex(int x, int y);

// Reads a vertex or "pass", in either case. False (x and y untouched) for
// anything else, "resign" included.
bool FromVertex(std::string_view vertex, int& x, int& y);

}  // namespace gtp
