#pragma once
// Reading the moves of a game record (SGF), to compare records kept by two
// programs.
#include <ostream>
#include <string>
#include <vector>

namespace gtp {

struct SgfMove {
  char Colour;
  std::string Point;  // column and row letters from the top left; empty for a pass
  bool operator==(const SgfMove&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const SgfMove& m) {
  return out << m.Colour << "[" << m.Point << "]";
}

// The moves of an SGF record; "tt" is an older way to write a pass.
inline std::vector<SgfMove> SgfMoves(const std::string& sgf) {
  std::vector<SgfMove> moves;
  for (std::size_t i = 0; i + 2 < sgf.size(); ++i) {
    if (sgf[i] != ';' || (sgf[i + 1] != 'B' && sgf[i + 1] != 'W') || sgf[i + 2] != '[') continue;
    std::string value = sgf.substr(i + 3, sgf.find(']', i + 3) - i - 3);
    moves.push_back({sgf[i + 1], value == "tt" ? "" : value});
  }
  return moves;
}

// The value of the first property `name` of a record, or "".
inline std::string SgfProperty(const std::string& sgf, const std::string& name) {
  const std::size_t at = sgf.find(name + "[");
  if (at == std::string::npos) return "";
  const std::size_t start = at + name.size() + 1;
  return sgf.substr(start, sgf.find(']', start) - start);
}

}  // namespace gtp
