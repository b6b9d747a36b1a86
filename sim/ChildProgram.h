#pragma once
// A program that tovarin-sim starts as its partner: its standard output (and,
// if asked, its standard error) is read on a thread of its own, each line
// printed with a mark in front and handed to OnLine. It is not left running:
// it is stopped when it outlives Finish's wait, and the system stops it if
// tovarin-sim itself ends.
#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace simworld {

class ChildProgram {
 public:
  struct StartOptions {
    std::string Folder;         // its working folder; empty: this one
    unsigned DelaySeconds = 0;  // it starts that much later
    bool WithErrors = false;    // its standard error is read as well
  };

  ChildProgram() = default;
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  // Called on the reading thread for each line, after it is printed.
  std::function<void(const std::string&)> OnLine;
  // Called on the reading thread when the output has ended.
  std::function<void()> OnEnd;

  // Starts `args[0]` with the arguments after it, each line of its output
  // printed after `mark`. False with the reason in `error`.
  bool Start(const std::vector<std::string>& args, const std::string& mark,
             const StartOptions& options, std::string& error);
  bool Started() const { return Pid_ > 0 || !How_.empty(); }
  // Waits up to `timeoutMs` for it to end by itself; it is then asked to stop,
  // and killed 5 s later. Returns its exit status (-1 when a signal ended it or
  // it was never started); `how` says how it ended.
  int Finish(int timeoutMs, std::string& how);

 private:
  void ReadOutput(int fd, std::string mark);

  pid_t Pid_ = 0;
  std::thread Reader_;
  std::mutex Lock_;
  std::condition_variable Ended_;
  bool OutputEnded_ = false;
  int Status_ = -1;
  std::string How_;
};

}  // namespace simworld
