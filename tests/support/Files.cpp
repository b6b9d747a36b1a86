#include "tests/support/Files.h"

#include <stdlib.h>

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

}  // namespace testing_world
