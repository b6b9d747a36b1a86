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

WinePrefix DuelcomWinePrefix() {
  WinePrefix wine;
  wine.Prefix = std::string(DUELCOM_BUILD_DIR) + "/wine-duelcom";
  wine.Com1 = wine.Prefix + "/com1-pty";
  const std::string setup =
      std::string(DUELCOM_TEST_DIR "/wine_prefix.sh ") + wine.Prefix + " " + wine.Com1;
  wine.Ready = std::system(setup.c_str()) == 0;
  return wine;
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
