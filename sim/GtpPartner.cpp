#include "sim/GtpPartner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace simworld {

namespace {

std::string Failed(const char* call) { return std::string(call) + ": " + std::strerror(errno); }

// Writes all of `data` to a non-blocking descriptor, waiting for room.
void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd out{fd, POLLOUT, 0};
      poll(&out, 1, 100);
    } else {
      return;
    }
  }
}

}  // namespace

GtpPartner::GtpPartner(std::string program, std::vector<std::string> engine, std::string sgfFolder)
    : Program_(std::move(program)), Engine_(std::move(engine)), SgfFolder_(std::move(sgfFolder)) {}

GtpPartner::~GtpPartner() {
  std::string how;
  Finish(0, how);
  if (Relay_.joinable()) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(Wake_[1], &c, 1);
    Relay_.join();
  }
  for (int* fd : {&Masters_[0], &Masters_[1], &Slaves_[0], &Slaves_[1], &Wake_[0], &Wake_[1]}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

std::vector<std::string> GtpPartner::SplitCommand(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (char c : line) {
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else {
        word += c;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool GtpPartner::MakeLines(std::string& tovarinPort, std::string& error) {
  if (Relay_.joinable()) {
    error = "the lines are made already";
    return false;
  }
  for (int side = 0; side < 2; ++side) {
    Masters_[side] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (Masters_[side] < 0 || grantpt(Masters_[side]) != 0 || unlockpt(Masters_[side]) != 0 ||
        ptsname_r(Masters_[side], name, sizeof name) != 0) {
      error = Failed("posix_openpt");
      return false;
    }
    // Raw with echo off before either side writes.
    Slaves_[side] = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (Slaves_[side] < 0 || tcgetattr(Slaves_[side], &tio) != 0) {
      error = Failed("open the line");
      return false;
    }
    cfmakeraw(&tio);
    if (tcsetattr(Slaves_[side], TCSANOW, &tio) != 0 ||
        fcntl(Masters_[side], F_SETFL, O_NONBLOCK) != 0) {
      error = Failed("tcsetattr");
      return false;
    }
    SlavePaths_[side] = name;
  }
  if (pipe2(Wake_, O_CLOEXEC) != 0) {
    error = Failed("pipe2");
    return false;
  }
  Relay_ = std::thread([this] { Relay(); });
  tovarinPort = SlavePaths_[0];
  return true;
}

void GtpPartner::Relay() {
  for (;;) {
    pollfd fds[3] = {{Masters_[0], POLLIN, 0}, {Masters_[1], POLLIN, 0}, {Wake_[0], POLLIN, 0}};
    if (poll(fds, 3, -1) < 0 && errno != EINTR) return;
    if (fds[2].revents) return;
    for (int side = 0; side < 2; ++side) {
      if (!(fds[side].revents & POLLIN)) continue;
      char buffer[256];
      const ssize_t n = ::read(Masters_[side], buffer, sizeof buffer);
      if (n > 0) WriteAll(Masters_[1 - side], buffer, static_cast<std::size_t>(n));
    }
  }
}

bool GtpPartner::Start(bool engineBlack, int games, std::string& error) {
  if (!Relay_.joinable() || Started()) {
    error = "duelcom-gtp cannot be started here";
    return false;
  }
  std::vector<std::string> args = {Program_,
                                   "--port",
                                   SlavePaths_[1],
                                   "--colour",
                                   engineBlack ? "black" : "white",
                                   "--games",
                                   std::to_string(games),
                                   "--sgf",
                                   SgfFolder_,
                                   "--"};
  args.insert(args.end(), Engine_.begin(), Engine_.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = Failed("pipe2");
    return false;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    error = Failed("fork");
    ::close(out[0]);
    ::close(out[1]);
    return false;
  }
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, 0);
    dup2(out[1], 1);
    execv(argv[0], argv.data());
    std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(errno));
    _exit(127);
  }
  ::close(out[1]);
  Pid_ = pid;
  Reader_ = std::thread([this, fd = out[0]] { ReadOutput(fd); });
  return true;
}

void GtpPartner::ReadOutput(int fd) {
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
      std::printf("    [duelcom-gtp] %s\n", line.c_str());
      int game = 0;
      if (std::sscanf(line.c_str(), "game %d: line open", &game) == 1 &&
          line.find(": line open") != std::string::npos) {
        std::lock_guard<std::mutex> lock(Lock_);
        LinesOpen_ = game;
        Changed_.notify_all();
      }
    }
  }
  ::close(fd);
  std::lock_guard<std::mutex> lock(Lock_);
  Ended_ = true;
  Changed_.notify_all();
}

bool GtpPartner::WaitForLine(int game, int timeoutMs) {
  std::unique_lock<std::mutex> lock(Lock_);
  Changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                    [&] { return LinesOpen_ >= game || Ended_; });
  return LinesOpen_ >= game;
}

bool GtpPartner::Finish(int timeoutMs, std::string& how) {
  if (Pid_ > 0) {
    std::unique_lock<std::mutex> lock(Lock_);
    // Asked to stop when it does not end in time; it then ends its engine.
    for (int signal : {0, SIGTERM, SIGKILL}) {
      if (signal) kill(Pid_, signal);
      const int wait = signal == 0 ? timeoutMs : 5000;
      if (Changed_.wait_for(lock, std::chrono::milliseconds(wait), [&] { return Ended_; })) break;
    }
    lock.unlock();
    Reader_.join();
    int status = 0;
    while (waitpid(Pid_, &status, 0) < 0 && errno == EINTR) {
    }
    Pid_ = 0;
    if (WIFEXITED(status)) {
      How_ = "exit status " + std::to_string(WEXITSTATUS(status));
    } else {
      How_ = "ended by signal " + std::to_string(WTERMSIG(status));
    }
  }
  how = How_;
  // 3: every game ended, one of them after the engine's resignation.
  return How_ == "exit status 0" || How_ == "exit status 3";
}

}  // namespace simworld
