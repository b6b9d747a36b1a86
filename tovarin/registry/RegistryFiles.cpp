#include "tovarin/registry/RegistryFiles.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/System.h"

namespace registry {
namespace {

std::FILE* Open(const char* windowsPath, const char* mode) {
  return std::fopen(platform::NativePath(windowsPath).c_str(), mode);
}

// Parses a leading decimal number the way "%d" does (blanks, sign, digits);
// false when there is none. Values beyond int range are clamped.
bool ParseInt(const char*& s, long long& value) {
  while (*s == ' ' || *s == '\t' || *s == '\r' || *s == '\n') ++s;
  const char* start = s;
  if (*s == '+' || *s == '-') ++s;
  if (!std::isdigit(static_cast<unsigned char>(*s))) {
    s = start;
    return false;
  }
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(start, &end, 10);
  if (errno == ERANGE || value > INT_MAX) value = value < 0 ? INT_MIN : INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  s = end;
  return true;
}

// Rewrites the count file whole; false when it cannot be written.
bool WriteCount(int count) {
  std::FILE* f = Open(CountFile, "w");
  if (!f) return false;
  bool written = std::fprintf(f, "%d", count) > 0;
  return std::fclose(f) == 0 && written;
}

// Whether the list's last line lacks its line end; `size` gets the list's length
// in bytes, or -1 when it cannot be read.
bool LastLineUnended(long& size) {
  size = -1;
  std::FILE* f = Open(ListFile, "rb");
  if (!f) return false;
  bool unended = false;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    size = std::ftell(f);
    if (size > 0 && std::fseek(f, -1, SEEK_END) == 0) {
      int last = std::fgetc(f);
      unended = last != EOF && last != '\n';
    }
  }
  std::fclose(f);
  return unended;
}

}  // namespace

void EnsureFiles() {
  if (std::FILE* f = Open(ListFile, "r")) {
    std::fclose(f);
  } else if (std::FILE* created = Open(ListFile, "a")) {
    std::fclose(created);
  }
  if (std::FILE* f = Open(CountFile, "r")) {
    std::fclose(f);
  } else if (std::FILE* created = Open(CountFile, "w")) {
    std::fprintf(created, "%d", 0);
    std::fclose(created);
  }
}

bool ReadCount(int& count) {
  std::FILE* f = Open(CountFile, "r");
  if (!f) return false;
  char buf[64] = {};
  std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return false;
  buf[n] = '\0';
  const char* s = buf;
  long long v = 0;
  count = ParseInt(s, v) && v > 0 ? static_cast<int>(v) : 0;
  return true;
}

ListReader::ListReader() : File_(Open(ListFile, "r")) {
  // A file that opens but cannot be read (a folder of that name) counts as missing.
  if (File_) {
    int c = std::fgetc(File_);
    if (std::ferror(File_)) {
      std::fclose(File_);
      File_ = nullptr;
    } else if (c != EOF) {
      std::ungetc(c, File_);
    }
  }
}

ListReader::~ListReader() {
  if (File_) std::fclose(File_);
}

bool ListReader::Next(Entry& entry) {
  if (!File_) return false;
  for (;;) {
    std::string line;
    int c;
    while ((c = std::fgetc(File_)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && line.empty()) return false;
    // A line end written on Windows may carry a carriage return.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const char* s = line.c_str();
    long long v = 0;
    bool numbered = ParseInt(s, v);
    if (!numbered) {
      while (*s == ' ' || *s == '\t') ++s;
      if (*s == '\0') continue;  // a blank line is no entry
    }
    // "%d " skips every blank after the number; the rest of the line is the path.
    while (*s == ' ' || *s == '\t') ++s;
    entry.Profile = numbered ? static_cast<int>(v) : 0;
    entry.Path = s;
    return true;
  }
}

bool Append(int profile, const std::string& path) {
  int count = 0;
  if (!ReadCount(count) || count == INT_MAX) return false;
  // The count first: a count that cannot be written stops the registration
  // before the list grows (a list line beyond the count would be listed in place
  // of a later registration once the count could be written again).
  if (!WriteCount(count + 1)) {
    WriteCount(count);  // "w" may have emptied it before the write failed
    return false;
  }
  long size = -1;
  bool unended = LastLineUnended(size);
  bool appended = false;
  if (std::FILE* list = Open(ListFile, "a")) {
    // A last line written by hand without a line end is ended first, or the new
    // entry would be glued onto it.
    bool written = (!unended || std::fputs("\n", list) >= 0) &&
                   std::fprintf(list, "%d %s\n", profile, path.c_str()) > 0;
    appended = std::fclose(list) == 0 && written;
  }
  if (appended) return true;
  // Both files as they were: the list without a partly written line, the old count.
  if (size >= 0) {
    std::error_code ignored;
    std::filesystem::resize_file(platform::NativePath(ListFile), static_cast<std::uintmax_t>(size),
                                 ignored);
  }
  WriteCount(count);
  return false;
}

}  // namespace registry
