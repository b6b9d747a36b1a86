#pragma once
// Files for the tests: a whole file read at once, temporary folders, and SGF
// records read by an SGF reader that no one here wrote.
#include <filesystem>
#include <string>
#include <vector>

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

// An SGF record as @sabaki/sgf reads it and @sabaki/go-board replays it
// (tests/support/node/sgf-check.js): its moves ("B pd", "W dp", "B" for a
// pass) and the comment of its last node, or why it could not be read or
// replayed (a move on a stone, a suicide, a ko retaken, a move out of turn).
struct OutsideSgf {
  std::vector<std::string> Moves;
  std::string Comment;
  std::string Error;  // empty when it was read and replayed
};
OutsideSgf ReadWithOutsideSgfReader(const std::filesystem::path& file);

// The record in `folder` whose name ends with `suffix` ("-game1.sgf"); empty
// when there is none.
std::filesystem::path FindFile(const std::filesystem::path& folder, const std::string& suffix);

}  // namespace testing_world
