#include "gtp/Vertex.h"

#include <cctype>

namespace gtp {

namespace {

// I is left out so that it cannot be taken for J or 1.
constexpr std::string_view Columns = "ABCDEFGHJKLMNOPQRST";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

}  // namespace

std::string ToVertex(int x, int y) {
  if (IsPass(x, y)) return "pass";
  if (!OnBoard(x, y)) return "";
  return Columns[static_cast<std::size_t>(x - 1)] + std::to_string(BoardSize + 1 - y);
}

bool FromVertex(std::string_view vertex, int& x, int& y) {
  if (EqualsIgnoringCase(vertex, "pass")) {
    x = y = 0;
    return true;
  }
  if (vertex.size() < 2 || vertex.size() > 3) return false;
  const auto column =
      Columns.find(static_cast<char>(std::toupper(static_cast<unsigned char>(vertex[0]))));
  if (column == std::string_view::npos) return false;
  int row = 0;
  for (char c : vertex.substr(1)) {
    if (c < '0' || c > '9') return false;
    row = row * 10 + (c - '0');
  }
  if (vertex[1] == '0' || row < 1 || row > BoardSize) return false;
  x = static_cast<int>(column) + 1;
  y = BoardSize + 1 - row;
  return true;
}

}  // namespace gtp
