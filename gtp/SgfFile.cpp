#include "gtp/SgfFile.h"

#include <ctime>
#include <filesystem>
#include <fstream>

namespace gtp {

bool WriteGameSgf(const std::string& folder, const GameRecord& record, std::string& path,
                  std::string& error) {
  namespace fs = std::filesystem;
  std::error_code code;
  fs::create_directories(fs::path(folder), code);
  const fs::path file = fs::path(folder) / ("game-" + std::to_string(record.Number) + ".sgf");
  path = file.string();
  std::ofstream out(file, std::ios::binary);
  out << FormatSgf(record);
  out.close();
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  const std::tm* tm = std::localtime(&now);
  char text[16] = "";
  if (tm) std::strftime(text, sizeof text, "%Y-%m-%d", tm);
  return text;
}

}  // namespace gtp
