#include "sim/Sgf.h"

namespace simworld {

namespace {

// Text values escape ']' and '\'.
std::string Text(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == ']' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string FormatSgf(const SgfRecord& record) {
  std::string sgf = "(;FF[4]GM[1]CA[UTF-8]SZ[19]AP[tovarin-sim]PB[" + Text(record.Black) + "]PW[" +
                    Text(record.White) + "]DT[" + record.Date + "]";
  bool black = true;
  for (const SgfMove& m : record.Moves) {
    sgf += black ? "\n;B[" : "\n;W[";
    if (m.X != 0 || m.Y != 0) {
      sgf += static_cast<char>('a' + m.X - 1);
      sgf += static_cast<char>('a' + m.Y - 1);
    }
    sgf += ']';
    black = !black;
  }
  return sgf + ")\n";
}

}  // namespace simworld
