#include "tovarin/registry/RegistryFiles.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

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
  if (!ReadCount(count)) return false;
  std::FILE* list = Open(ListFile, "a");
  if (!list) return false;
  bool written = std::fprintf(list, "%d %s\n", profile, path.c_str()) > 0;
  if (std::fclose(list) != 0 || !written) return false;
  std::FILE* counter = Open(CountFile, "w");
  if (!counter) return false;
  written = std::fprintf(counter, "%d", count + 1) > 0;
  return std::fclose(counter) == 0 && written;
}

}  // namespace registry
