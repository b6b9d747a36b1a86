#include "tests/support/Files.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_world {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TempFolder::TempFolder(Mode mode) {
  std::string name = (std::filesystem::temp_directory_path() / "tovarin-test-XXXXXX").string();
  if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a folder like " + name);
  Path_ = name;
  if (mode == Current) {
    Previous_ = std::filesystem::current_path();
    std::filesystem::current_path(Path_);
  }
}

TempFolder::~TempFolder() {
  std::error_code ec;
  if (!Previous_.empty()) std::filesystem::current_path(Previous_, ec);
  std::filesystem::remove_all(Path_, ec);
}

OutsideSgf ReadWithOutsideSgfReader(const std::filesystem::path& file) {
  OutsideSgf result;
  const std::string source = TOVARIN_SOURCE_DIR;
  const std::string command = "NODE_PATH='" + source + "/build/node/node_modules' node '" + source +
                              "/tests/support/node/sgf-check.js' '" + file.string() + "' 2>&1";
  FILE* out = popen(command.c_str(), "r");
  if (!out) {
    result.Error = "node could not be started";
    return result;
  }
  std::string text;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
  pclose(out);
  // One line: "moves: B pd;W dp;B", then "comment: ...", or "error: ...".
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("moves: ", 0) == 0) {
      std::istringstream moves(line.substr(7));
      for (std::string move; std::getline(moves, move, ';');) result.Moves.push_back(move);
    } else if (line.rfind("comment: ", 0) == 0) {
      result.Comment = line.substr(9);
    } else if (line.rfind("error: ", 0) == 0) {
      result.Error = line.substr(7);
    }
  }
  if (result.Error.empty() && text.find("moves: ") == std::string::npos)
    result.Error = "no answer from the SGF reader: " + text;
  return result;
}

std::filesystem::path FindFile(const std::filesystem::path& folder, const std::string& suffix) {
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(folder, failed)) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      return entry.path();
  }
  return {};
}

}  // namespace testing_world
