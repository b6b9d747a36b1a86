#include "gtp/Process.h"

namespace gtp {

void ChildProcess::LimitReads(std::uint32_t limitMs) {
  Limited = limitMs > 0;
  Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
}

TextChannel::Read ChildProcess::ReadLine(std::string& line) {
  for (;;) {
    const std::size_t end = Buffer.find('\n');
    if (end != std::string::npos) {
      line = Buffer.substr(0, end);
      Buffer.erase(0, end + 1);
      return Read::Line;
    }
    if (AtEnd) {
      // A last line without its line end still counts.
      if (Buffer.empty()) return Read::End;
      line.swap(Buffer);
      Buffer.clear();
      return Read::Line;
    }
    long waitMs = -1;
    if (Limited) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          Deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return Read::Late;
      waitMs = static_cast<long>(left.count());
    }
    char chunk[4096];
    // Nothing in time: the deadline is looked at again above.
    const long n = ReadSome(chunk, sizeof chunk, waitMs);
    if (n == 0)
      AtEnd = true;
    else if (n > 0)
      Buffer.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace gtp
