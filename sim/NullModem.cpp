#include "sim/NullModem.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
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

NullModem::~NullModem() {
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

bool NullModem::Open(std::string& error) {
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
  return true;
}

void NullModem::Relay() {
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

}  // namespace simworld
