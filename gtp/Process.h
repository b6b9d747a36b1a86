// The engine as a child process with pipes on its standard input and output.
// One implementation per platform (process_posix.cpp, process_win32.cpp).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gtp/Gtp.h"

namespace gtp {

class ChildProcess : public TextChannel {
 public:
  // Starts `argv[0]` (looked up on the PATH when it names no folder) with
  // `argv` as its arguments. Its standard error is this program's. Null, with
  // the reason in `error`, if it cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv,
                                             std::string& error);

  // Ends the process (and whatever it started) if it still runs.
  ~ChildProcess() override = default;

  // Closes its standard input, waits up to `graceMs` for it to end by itself,
  // then ends it and whatever it started. Returns how it ended, for messages
  // ("exit status 0", "killed").
  virtual std::string Stop(unsigned graceMs) = 0;
  // Ends it and whatever it started at once, as Stop(0) does.
  std::string Kill() { return Stop(0); }

  // Lines of its output, split here for every platform, within the time
  // given by LimitReads.
  void LimitReads(std::uint32_t limitMs) final;
  Read ReadLine(std::string& line) final;

 protected:
  // Reads what the process has written, waiting up to `waitMs` for some (no
  // limit when negative): the count read, 0 at the end of its output (or when
  // it can no longer be read), -1 when nothing came in time.
  virtual long ReadSome(char* buffer, std::size_t size, long waitMs) = 0;

 private:
  std::string Buffer;
  bool AtEnd = false;
  bool Limited = false;
  std::chrono::steady_clock::time_point Deadline;
};

// From here on an interrupt or a termination request ends this program's
// children before the program itself ends, and a child never outlives it.
void GuardChildren();

}  // namespace gtp
