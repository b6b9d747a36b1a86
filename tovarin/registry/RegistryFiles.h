#pragma once
// The two registry files in the current directory: the list (".\touroku.txt", one
// line per registration: the profile number, a blank, the executable's full path)
// and the count (".\tourokusuu.txt", the number of registrations with no line
// end). Both are text in the system's ANSI code page; paths are kept as the bytes
// the file dialog gave. The list only ever grows; the count says how many entries
// of it are read.
#include <cstdio>
#include <string>

namespace registry {

inline constexpr const char* ListFile = ".\\touroku.txt";
inline constexpr const char* CountFile = ".\\tourokusuu.txt";

// One registration read from the list.
struct Entry {
  int Profile = 0;
  std::string Path;
};

// Creates a missing list file empty and a missing count file holding "0".
void EnsureFiles();

// Reads the count file. Returns false when it cannot be opened. A count that is
// not a decimal number, or is negative, reads as 0.
bool ReadCount(int& count);

// Reads the list file from the start, one entry per call.
class ListReader {
 public:
  ListReader();
  ~ListReader();
  ListReader(const ListReader&) = delete;
  ListReader& operator=(const ListReader&) = delete;
  bool Opened() const { return File_ != nullptr; }
  // The next entry; false at the end of the file. A line of any length is read
  // whole (older readers split paths of 199 bytes or more and then misread every
  // following entry). Blank lines are skipped; a line that does not start with a
  // number gives profile 0.
  bool Next(Entry& entry);

 private:
  std::FILE* File_;
};

// Rewrites the count as count + 1 and then appends "p path\n" to the list, ending
// a last line that has no line end first. False on any failure, with both files
// as they were: a line that cannot be appended puts the old count back.
bool Append(int profile, const std::string& path);

}  // namespace registry
