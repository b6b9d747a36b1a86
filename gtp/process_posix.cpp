// The engine as a child process on POSIX systems: fork and exec with pipes.
//
// The child leads a process group of its own, so that stopping it also ends
// whatever it started (an engine behind a wrapper script). A guardian process
// sees to that group when this program dies without a chance to clean up (a
// SIGKILL, a crash): it holds one end of a socket pair whose other end only
// this program holds, and when that end closes unannounced it ends the
// engine's whole group. On Linux the engine itself is also killed by the
// system when this program dies. Writing to an engine that has closed its
// input fails with EPIPE instead of raising SIGPIPE.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include "gtp/Process.h"

namespace gtp {

namespace {

// The children a termination signal must end: plain atomics, so that the
// signal handler may read them. Each engine comes with its guardian and the
// end of the socket pair that keeps the guardian waiting.
constexpr int MaxChildren = 8;
struct Slot {
  std::atomic<pid_t> Pid{0};
  std::atomic<pid_t> Guardian{0};
  std::atomic<int> GuardEnd{-1};
};
Slot Children[MaxChildren];

void Remember(pid_t pid) {
  for (auto& slot : Children) {
    pid_t empty = 0;
    if (slot.Pid.compare_exchange_strong(empty, pid)) return;
  }
}

// Its guardian, or none (0, -1).
void SetGuardian(pid_t pid, pid_t guardian, int guardEnd) {
  for (auto& slot : Children) {
    if (slot.Pid.load() != pid) continue;
    slot.Guardian.store(guardian);
    slot.GuardEnd.store(guardEnd);
  }
}

void Forget(pid_t pid) {
  SetGuardian(pid, 0, -1);
  for (auto& slot : Children) {
    pid_t expected = pid;
    slot.Pid.compare_exchange_strong(expected, 0);
  }
}

void EndGroup(pid_t pid) {
  kill(-pid, SIGKILL);
  kill(pid, SIGKILL);
}

// The guardian is told that the group is ended here, and leaves without
// touching it; it is reaped before the engine is, so that it never signals a
// group number that the system has handed out again.
void Dismiss(pid_t guardian, int guardEnd) {
  if (guardEnd >= 0) {
    const char done = 1;
    [[maybe_unused]] const ssize_t n = send(guardEnd, &done, 1, MSG_NOSIGNAL);
    ::close(guardEnd);
  }
  if (guardian > 0) {
    while (waitpid(guardian, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}

// How long the guardian lets the engine's group end on SIGTERM before SIGKILL.
constexpr int GuardianGraceMs = 2000;

void SleepMs(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

// The guardian's whole life, in the forked process (async-signal-safe calls
// only: the program may have other threads). It keeps nothing of the
// program's open but its end of the pair, so that it holds no pipe, port or
// terminal; it leaves the program's terminal and process group (setsid) with
// every signal held, so that a signal meant for the program's group or
// terminal does not reach it.
[[noreturn]] void Guard(int end, pid_t group) {
  setsid();
  if (end != STDIN_FILENO) {
    dup2(end, STDIN_FILENO);
  }
  if (close_range(1, ~0u, 0) != 0) {
    for (int fd = 1; fd < 4096; ++fd) ::close(fd);
  }
  char byte = 0;
  ssize_t n;
  while ((n = ::read(STDIN_FILENO, &byte, 1)) < 0 && errno == EINTR) {
  }
  if (n == 1) _exit(0);  // dismissed: the program ends the group itself
  // The program is gone without a word.
  kill(-group, SIGTERM);
  for (int waited = 0; waited < GuardianGraceMs; waited += 10) {
    if (kill(-group, 0) != 0) _exit(0);
    SleepMs(10);
  }
  kill(-group, SIGKILL);
  _exit(0);
}

extern "C" void OnTermination(int signal) {
  for (auto& slot : Children) {
    const pid_t pid = slot.Pid.load();
    if (pid <= 0) continue;
    EndGroup(pid);
    Dismiss(slot.Guardian.load(), slot.GuardEnd.load());
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  static const char text[] = "stopped by a signal; the engine has been ended\n";
  [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text, sizeof text - 1);
  _exit(128 + signal);
}

const int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

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
  // Starts the guardian of the engine's group; without one (fork failed) the
  // engine is still ended by Stop and by a termination signal.
  void StartGuardian();
  ~PosixChild() override { Stop(0); }

  bool WriteLine(const std::string& line) override;
  std::string Stop(unsigned graceMs) override;

 protected:
  long ReadSome(char* buffer, std::size_t size, long waitMs) override;

 private:
  pid_t Pid;
  int Input;
  int Output;
  pid_t Guardian = 0;
  int GuardEnd = -1;  // this program's end of the guardian's pair
  std::string Ended;
};

void PosixChild::StartGuardian() {
  int pair[2] = {-1, -1};
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return;
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t guardian = fork();
  if (guardian == 0) Guard(pair[1], Pid);
  if (guardian > 0) {
    Guardian = guardian;
    GuardEnd = pair[0];
  } else {
    ::close(pair[0]);
  }
  SetGuardian(Pid, Guardian, GuardEnd);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ::close(pair[1]);
}

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

long PosixChild::ReadSome(char* buffer, std::size_t size, long waitMs) {
  if (Output < 0) return 0;
  if (waitMs >= 0) {
    pollfd in{Output, POLLIN, 0};
    const int ready = poll(&in, 1, static_cast<int>(std::min<long>(waitMs, INT_MAX)));
    if (ready == 0 || (ready < 0 && errno == EINTR)) return -1;
  }
  for (;;) {
    const ssize_t n = ::read(Output, buffer, size);
    if (n >= 0) return static_cast<long>(n);
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
  SetGuardian(Pid, 0, -1);
  Dismiss(Guardian, GuardEnd);
  Guardian = 0;
  GuardEnd = -1;
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
  child->StartGuardian();
  return child;
}

void GuardChildren() {
  struct sigaction action {};
  action.sa_handler = OnTermination;
  sigfillset(&action.sa_mask);
  for (int s : HandledSignals) sigaction(s, &action, nullptr);
}

}  // namespace gtp
