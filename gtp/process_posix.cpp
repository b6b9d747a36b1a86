// The engine as a child process on POSIX systems: fork and exec with pipes.
//
// The child leads a process group of its own, so that stopping it also ends
// whatever it started (an engine behind a wrapper script). On Linux it is also
// killed by the system when this program dies without a chance to clean up.
// Writing to an engine that has closed its input fails with EPIPE instead of
// raising SIGPIPE.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <atomic>
#include <cerrno>
#include <cstring>

#include "gtp/Process.h"

namespace gtp {

namespace {

// The children a termination signal must end: plain atomics, so that the
// signal handler may read them.
constexpr int MaxChildren = 8;
std::atomic<pid_t> Children[MaxChildren];

void Remember(pid_t pid) {
  for (auto& slot : Children) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) return;
  }
}

void Forget(pid_t pid) {
  for (auto& slot : Children) {
    pid_t expected = pid;
    slot.compare_exchange_strong(expected, 0);
  }
}

void EndGroup(pid_t pid) {
  kill(-pid, SIGKILL);
  kill(pid, SIGKILL);
}

extern "C" void OnTermination(int signal) {
  for (auto& slot : Children) {
    const pid_t pid = slot.load();
    if (pid <= 0) continue;
    EndGroup(pid);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  static const char text[] = "stopped by a signal; the engine has been ended\n";
  [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text, sizeof text - 1);
  _exit(128 + signal);
}

const int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void SleepMs(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

std::string Describe(int status) {
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    if (WTERMSIG(status) == SIGKILL) return "killed";
    return std::string("ended by signal ") + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  }
  return "ended";
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

class PosixChild final : public ChildProcess {
 public:
  PosixChild(pid_t pid, int input, int output) : Pid(pid), Input(input), Output(output) {}
  ~PosixChild() override { Stop(0); }

  bool WriteLine(const std::string& line) override;
  std::string Stop(unsigned graceMs) override;

 protected:
  std::size_t ReadSome(char* buffer, std::size_t size) override;

 private:
  pid_t Pid;
  int Input;
  int Output;
  std::string Ended;
};

bool PosixChild::WriteLine(const std::string& line) {
  if (Input < 0) return false;
  const std::string text = line + "\n";
  // SIGPIPE is held back during the write and a SIGPIPE of this write taken
  // away again, so that only EPIPE tells of a closed pipe.
  sigset_t pipe;
  sigset_t previous;
  sigset_t pending;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &previous);
  sigpending(&pending);
  const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
  bool ok = true;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(Input, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      ok = false;
      break;
    }
  }
  if (!ok && errno == EPIPE && !pendingBefore) {
    const timespec zero{0, 0};
    while (sigtimedwait(&pipe, nullptr, &zero) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return ok;
}

std::size_t PosixChild::ReadSome(char* buffer, std::size_t size) {
  if (Output < 0) return 0;
  for (;;) {
    const ssize_t n = ::read(Output, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return 0;
  }
}

std::string PosixChild::Stop(unsigned graceMs) {
  if (Pid <= 0) return Ended;
  CloseFd(Input);  // the end of its input: a GTP engine quits
  bool exited = false;
  for (unsigned waited = 0;; waited += 10) {
    // Looked at, not reaped: the group keeps its number until the leader is reaped.
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(Pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == Pid) {
      exited = true;
      break;
    }
    if (waited >= graceMs) break;
    SleepMs(10);
  }
  // Whatever it started, and the process itself if it did not end.
  EndGroup(Pid);
  int status = 0;
  while (waitpid(Pid, &status, 0) < 0 && errno == EINTR) {
  }
  Forget(Pid);
  Pid = 0;
  CloseFd(Output);
  Ended = Describe(status);
  if (!exited && Ended == "killed") Ended = "stopped";
  return Ended;
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv,
                                                  std::string& error) {
  if (argv.empty()) {
    error = "no program given";
    return nullptr;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
  int report[2] = {-1, -1};
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0) {
    error = std::string("cannot make pipes: ") + std::strerror(errno);
    for (int fd : {in[0], in[1], out[0], out[1], report[0], report[1]})
      if (fd >= 0) ::close(fd);
    return nullptr;
  }

  // No signal handler of this program may run in the child before exec.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
#ifdef __linux__
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
#endif
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int s : HandledSignals) sigaction(s, &standard, nullptr);
    sigaction(SIGPIPE, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    pthread_sigmask(SIG_SETMASK, &none, nullptr);
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    execvp(args[0], args.data());
    const int code = errno;
    [[maybe_unused]] const ssize_t n = write(report[1], &code, sizeof code);
    _exit(127);
  }
  const int forkError = errno;
  if (pid > 0) {
    setpgid(pid, pid);  // also here, so that the group exists before the first Stop
    Remember(pid);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ::close(in[0]);
  ::close(out[1]);
  ::close(report[1]);
  if (pid < 0) {
    error = std::string("cannot start ") + argv[0] + ": " + std::strerror(forkError);
    for (int fd : {in[1], out[0], report[0]}) ::close(fd);
    return nullptr;
  }
  // exec closes the report pipe; a code on it is exec's failure.
  int code = 0;
  ssize_t n;
  while ((n = ::read(report[0], &code, sizeof code)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  auto child = std::make_unique<PosixChild>(pid, in[1], out[0]);
  if (n == static_cast<ssize_t>(sizeof code)) {
    child->Kill();
    error = std::string("cannot start ") + argv[0] + ": " + std::strerror(code);
    return nullptr;
  }
  return child;
}

void GuardChildren() {
  struct sigaction action {};
  action.sa_handler = OnTermination;
  sigfillset(&action.sa_mask);
  for (int s : HandledSignals) sigaction(s, &action, nullptr);
}

}  // namespace gtp
