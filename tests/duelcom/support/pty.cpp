#include "pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace duelcom::testing {

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::perror(what);
    std::abort();
  }
}

// Reads what is there from fd; false once it is gone (hang-up or error).
bool Drain(int fd, std::vector<std::uint8_t>& out) {
  std::uint8_t buffer[256];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) out.assign(buffer, buffer + n);
  return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
}

}  // namespace

Pty::Pty() {
  Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  Check(Master >= 0 && grantpt(Master) == 0 && unlockpt(Master) == 0, "posix_openpt");
  char name[128];
  Check(ptsname_r(Master, name, sizeof name) == 0, "ptsname_r");
  SlavePath = name;
  Slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  Check(Slave >= 0, "open slave");
  termios tio{};
  Check(tcgetattr(Slave, &tio) == 0, "tcgetattr");
  cfmakeraw(&tio);
  Check(tcsetattr(Slave, TCSANOW, &tio) == 0, "tcsetattr");
  Check(fcntl(Master, F_SETFL, O_NONBLOCK) == 0, "fcntl");
}

Pty::~Pty() {
  CloseMaster();
  if (Slave >= 0) ::close(Slave);
}

void Pty::CloseMaster() {
  if (Master >= 0) ::close(Master);
  Master = -1;
}

void WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd out{fd, POLLOUT, 0};
      poll(&out, 1, 100);
      continue;
    }
    Check(n > 0, "write");
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

Bridge::Bridge(int masterA, int masterB) : Masters{masterA, masterB} {
  Check(pipe2(Wake, O_CLOEXEC) == 0, "pipe2");
  Relay = std::thread([this] { Run(); });
}

Bridge::~Bridge() {
  const char c = 1;
  Check(::write(Wake[1], &c, 1) == 1, "wake");
  Relay.join();
  ::close(Wake[0]);
  ::close(Wake[1]);
}

void Bridge::Run() {
  bool open[2] = {true, true};
  for (;;) {
    pollfd fds[3] = {{Masters[0], static_cast<short>(open[0] ? POLLIN : 0), 0},
                     {Masters[1], static_cast<short>(open[1] ? POLLIN : 0), 0},
                     {Wake[0], POLLIN, 0}};
    if (poll(fds, 3, -1) < 0 && errno != EINTR) return;
    if (fds[2].revents) return;
    for (int side = 0; side < 2; ++side) {
      if (!open[side] || !fds[side].revents) continue;
      std::vector<std::uint8_t> got;
      open[side] = Drain(Masters[side], got);
      if (got.empty()) continue;
      {
        std::lock_guard<std::mutex> lock(Lock);
        Seen[side].insert(Seen[side].end(), got.begin(), got.end());
      }
      WriteAll(Masters[1 - side], got.data(), got.size());
    }
  }
}

std::vector<std::uint8_t> Bridge::FromA() {
  std::lock_guard<std::mutex> lock(Lock);
  return Seen[0];
}

std::vector<std::uint8_t> Bridge::FromB() {
  std::lock_guard<std::mutex> lock(Lock);
  return Seen[1];
}

Partner::Partner(int master) : Master(master) {
  Check(pipe2(Wake, O_CLOEXEC) == 0, "pipe2");
  Context.SetWriter([this](const Packet& p) { WriteAll(Master, p); });
  Reader = std::thread([this] { Run(); });
}

Partner::~Partner() {
  const char c = 1;
  Check(::write(Wake[1], &c, 1) == 1, "wake");
  Reader.join();
  ::close(Wake[0]);
  ::close(Wake[1]);
}

void Partner::Run() {
  for (;;) {
    pollfd fds[2] = {{Master, POLLIN, 0}, {Wake[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents) return;
    std::vector<std::uint8_t> got;
    if (!Drain(Master, got)) return;
    {
      std::lock_guard<std::mutex> lock(Lock);
      for (auto b : got) {
        Bytes.push_back(b);
        Context.FeedByte(b);
      }
    }
    Changed.notify_all();
  }
}

std::vector<std::uint8_t> Partner::Received() {
  std::lock_guard<std::mutex> lock(Lock);
  return Bytes;
}

}  // namespace duelcom::testing
