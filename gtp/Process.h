// The engine as a child process with pipes on its standard input and output.
// One implementation per platform (process_posix.cpp, process_win32.cpp).
#pragma once

#include <cstddef>
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

  // Lines of its output, split here for every platform.
  bool ReadLine(std::string& line) final;

 protected:
  // Reads what the process has written, blocking until there is some; 0 at the
  // end of its output (or when it can no longer be read).
  virtual std::size_t ReadSome(char* buffer, std::size_t size) = 0;

 private:
  std::string Buffer;
  bool AtEnd = false;
};

// From here on an interrupt or a termination request ends this program's
// children before the program itself ends, and a child never outlives it.
void GuardChildren();

}  // namespace gtp
