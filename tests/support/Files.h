#pragma once
// Files for the tests: a whole file read at once, and temporary folders.
#include <filesystem>
#include <string>

namespace testing_world {

// The bytes of the file at `path`; empty when it cannot be read.
std::string Slurp(const std::filesystem::path& path);

// A fresh empty folder under the system's temporary folder, removed with all it
// holds when the object goes. With `Current` it is also the current directory
// for the life of the object, and the previous one is restored afterwards.
class TempFolder {
 public:
  enum Mode { Apart, Current };
  explicit TempFolder(Mode mode = Apart);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return Path_; }

 private:
  std::filesystem::path Path_;
  std::filesystem::path Previous_;  // empty unless the folder became the current one
};

}  // namespace testing_world
