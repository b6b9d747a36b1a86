#include "gtp/GameRecord.h"

namespace gtp {

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

void Property(std::string& sgf, const char* name, const std::string& value) {
  if (!value.empty()) sgf += std::string(name) + "[" + Text(value) + "]";
}

}  // namespace

std::string FormatSgf(const GameRecord& r) {
  const bool engineBlack = r.EngineColour == Black;
  std::string sgf = "(;FF[4]GM[1]CA[UTF-8]SZ[19]";
  Property(sgf, "AP", r.Program);
  Property(sgf, "GN", r.GameName);
  Property(sgf, "KM", r.Komi);
  Property(sgf, "PB", engineBlack ? r.EngineName : r.LineName);
  Property(sgf, "PW", engineBlack ? r.LineName : r.EngineName);
  Property(sgf, "DT", r.Date);
  Property(sgf, "RE", r.Result);
  Property(sgf, "GC", r.Stopped.empty() ? "" : "stopped: " + r.Stopped);
  for (std::size_t i = 0; i < r.Moves.size(); ++i) {
    const GameMove& m = r.Moves[i];
    sgf += m.Colour == Black ? "\n;B[" : "\n;W[";
    // Columns and rows as letters from the top left; an empty value is a pass.
    if (m.X != 0 || m.Y != 0) {
      sgf += static_cast<char>('a' + m.X - 1);
      sgf += static_cast<char>('a' + m.Y - 1);
    }
    sgf += ']';
    if (static_cast<int>(i) + 1 == r.ResignedAtMove)
      sgf += "C[" + std::string(engineBlack ? "Black" : "White") +
             " resigned here; the line has no resignation, so a pass was sent]";
  }
  Property(sgf, "C", r.Ended);
  return sgf + ")\n";
}

}  // namespace gtp
