#include "gtp/Process.h"

namespace gtp {

bool ChildProcess::ReadLine(std::string& line) {
  for (;;) {
    const std::size_t end = Buffer.find('\n');
    if (end != std::string::npos) {
      line = Buffer.substr(0, end);
      Buffer.erase(0, end + 1);
      return true;
    }
    if (AtEnd) {
      // A last line without its line end still counts.
      if (Buffer.empty()) return false;
      line.swap(Buffer);
      Buffer.clear();
      return true;
    }
    char chunk[4096];
    const std::size_t n = ReadSome(chunk, sizeof chunk);
    if (n == 0)
      AtEnd = true;
    else
      Buffer.append(chunk, n);
  }
}

}  // namespace gtp
