#include "sim/ChildProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace simworld {

ChildProgram::~ChildProgram() {
  std::string how;
  Finish(0, how);
}

bool ChildProgram::Start(const std::vector<std::string>& args, const std::string& mark,
                         const StartOptions& options, std::string& error) {
  if (Started() || args.empty()) {
    error = "the partner program cannot be started here";
    return false;
  }
  // Everything the child needs is made before the fork: between the fork and
  // the start of the program only system calls may run.
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string folder = options.Folder;
  const timespec delay{static_cast<time_t>(options.DelaySeconds), 0};
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = std::string("pipe2: ") + std::strerror(errno);
    return false;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    error = std::string("fork: ") + std::strerror(errno);
    ::close(out[0]);
    ::close(out[1]);
    return false;
  }
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, 0);
    dup2(out[1], 1);
    if (options.WithErrors) dup2(out[1], 2);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (delay.tv_sec > 0) {
      timespec left = delay;
      while (nanosleep(&left, &left) != 0 && errno == EINTR) {
      }
    }
    execv(argv[0], argv.data());
    static const char failed[] = "cannot start the partner program\n";
    [[maybe_unused]] const ssize_t n = ::write(1, failed, sizeof failed - 1);
    _exit(127);
  }
  ::close(out[1]);
  Pid_ = pid;
  Reader_ = std::thread([this, fd = out[0], mark] { ReadOutput(fd, mark); });
  return true;
}

void ChildProgram::ReadOutput(int fd, std::string mark) {
  std::string pending;
  char buffer[512];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      std::printf("%s%s\n", mark.c_str(), line.c_str());
      if (OnLine) OnLine(line);
    }
  }
  ::close(fd);
  if (OnEnd) OnEnd();
  std::lock_guard<std::mutex> lock(Lock_);
  OutputEnded_ = true;
  Ended_.notify_all();
}

int ChildProgram::Finish(int timeoutMs, std::string& how) {
  if (Pid_ > 0) {
    std::unique_lock<std::mutex> lock(Lock_);
    // Asked to stop when it does not end in time, killed when it does not stop.
    for (int signal : {0, SIGTERM, SIGKILL}) {
      if (signal) kill(Pid_, signal);
      const int wait = signal == 0 ? timeoutMs : 5000;
      if (Ended_.wait_for(lock, std::chrono::milliseconds(wait), [&] { return OutputEnded_; }))
        break;
    }
    lock.unlock();
    Reader_.join();
    int status = 0;
    while (waitpid(Pid_, &status, 0) < 0 && errno == EINTR) {
    }
    Pid_ = 0;
    if (WIFEXITED(status)) {
      Status_ = WEXITSTATUS(status);
      How_ = "exit status " + std::to_string(Status_);
    } else {
      Status_ = -1;
      How_ = "ended by signal " + std::to_string(WTERMSIG(status));
    }
  }
  how = How_;
  return Status_;
}

}  // namespace simworld
