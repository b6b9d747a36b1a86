#include "sim/GnuGoPartner.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace simworld {

namespace {

constexpr const char* GnuGo = "/usr/games/gnugo";

std::string Failed(const char* call) { return std::string(call) + ": " + std::strerror(errno); }

void SleepMs(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace

GnuGoPartner::~GnuGoPartner() { Finish(); }

bool GnuGoPartner::NewLine(std::string& port, std::string& error) {
  Finish();
  // GNU Go reads its input blocking.
  Line_ = std::make_unique<Pty>(Pty::Mode::Blocking);
  if (!Line_->IsOpen()) {
    error = Line_->Error();
    return false;
  }
  port = Line_->SlavePath;
  return true;
}

bool GnuGoPartner::Start(bool black, const std::string& sgfPath, std::string& error) {
  if (!Line_ || !Line_->IsOpen()) {
    error = "no line for GNU Go";
    return false;
  }
  if (!Launch(Line_->Master, Line_->Master, black ? Colour::Black : Colour::White, sgfPath, error))
    return false;
  // The line is GNU Go's now: once the library closes the port, nothing holds
  // the slave end and GNU Go reads the end of its input.
  Line_.reset();
  return true;
}

bool GnuGoPartner::StartOn(const std::string& device, Colour colour, const std::string& sgfPath,
                           std::string& error) {
  Finish();
  const int line = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (line < 0) {
    error = Failed(("open " + device).c_str());
    return false;
  }
  // What the line held before GNU Go came is not for it, as for a port
  // opened afresh.
  tcflush(line, TCIFLUSH);
  const bool started = Launch(line, line, colour, sgfPath, error);
  ::close(line);
  return started;
}

bool GnuGoPartner::StartOnPipes(int in, int out, Colour colour, const std::string& sgfPath,
                                std::string& error) {
  Finish();
  return Launch(in, out, colour, sgfPath, error);
}

bool GnuGoPartner::Launch(int in, int out, Colour colour, const std::string& sgfPath,
                          std::string& error) {
  const std::string level = std::to_string(Level_);
  const std::string seed = std::to_string(Seed_);
  std::vector<const char*> args = {GnuGo, "--mode", "gmp", "--quiet", "--level", level.c_str()};
  if (Seed_ != 0) {
    args.push_back("--seed");
    args.push_back(seed.c_str());
  }
  if (colour != Colour::Unnamed) {
    args.push_back("--color");
    args.push_back(colour == Colour::Black ? "black" : "white");
  }
  args.push_back("-o");
  args.push_back(sgfPath.c_str());
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    error = Failed("fork");
    return false;
  }
  if (pid == 0) {
    dup2(in, 0);
    dup2(out, 1);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    execv(GnuGo, const_cast<char* const*>(args.data()));
    _exit(127);
  }
  Pid_ = pid;
  return true;
}

void GnuGoPartner::Stop() {
  if (Pid_ <= 0) return;
  kill(Pid_, SIGKILL);
  waitpid(Pid_, nullptr, 0);
  Pid_ = 0;
}

bool GnuGoPartner::Finish(int waitMs) {
  if (Pid_ <= 0) return true;
  for (int waited = 0; waited < waitMs; waited += 10) {
    int status = 0;
    if (waitpid(Pid_, &status, WNOHANG) == Pid_) {
      Pid_ = 0;
      return WIFEXITED(status);
    }
    SleepMs(10);
  }
  kill(Pid_, SIGKILL);
  waitpid(Pid_, nullptr, 0);
  Pid_ = 0;
  return false;
}

}  // namespace simworld
