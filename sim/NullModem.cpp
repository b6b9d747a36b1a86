#include "sim/NullModem.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
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
  for (int* fd : {&Wake_[0], &Wake_[1]}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

bool NullModem::Open(std::string& error) {
  if (Relay_.joinable()) {
    error = "the lines are made already";
    return false;
  }
  for (auto& line : Lines_) {
    line = std::make_unique<Pty>();
    if (!line->IsOpen()) {
      error = line->Error();
      return false;
    }
  }
  if (pipe2(Wake_, O_CLOEXEC) != 0) {
    error = Failed("pipe2");
    return false;
  }
  for (int side = 0; side < 2; ++side)
    Directions_[side].Random = Faults_.Seed * 0x9E3779B97F4A7C15ull + static_cast<unsigned>(side);
  Relay_ = std::thread([this] { Relay(); });
  return true;
}

std::vector<std::uint8_t> NullModem::Written(int side) {
  std::lock_guard<std::mutex> lock(Lock_);
  return Directions_[side].Written;
}

std::vector<std::uint8_t> NullModem::Delivered(int side) {
  std::lock_guard<std::mutex> lock(Lock_);
  return Directions_[side].Delivered;
}

std::uint32_t NullModem::Draw(Direction& d) {
  d.Random = d.Random * 6364136223846793005ull + 1442695040888963407ull;
  return static_cast<std::uint32_t>(d.Random >> 33);
}

void NullModem::Take(int side, const std::uint8_t* bytes, std::size_t count, std::uint64_t now) {
  Direction& d = Directions_[side];
  auto put = [&](std::uint8_t b) { d.Queue.push_back({std::max(now, d.StallUntil), b}); };
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    d.Written.push_back(b);
    if (b <= 3 && Packets_++ == Faults_.LostPacket) d.Swallow = 4;
    if (d.Swallow > 0) {
      --d.Swallow;
      continue;
    }
    if (Faults_.Rate <= 0 || Draw(d) % 1000000 >= Faults_.Rate * 1000000) {
      put(b);
      continue;
    }
    switch (Draw(d) % 5) {
      case 0:  // dropped
        break;
      case 1:
        put(static_cast<std::uint8_t>(b ^ (1u << (Draw(d) % 8))));
        break;
      case 2:
        put(static_cast<std::uint8_t>(Draw(d)));
        put(b);
        break;
      case 3:
        d.StallUntil = std::max(now, d.StallUntil) + (50 + Draw(d) % 451) * 1000ull;
        put(b);
        break;
      default:
        put(b);
        put(b);
    }
  }
}

void NullModem::Relay() {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto micros = [&] {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
  };
  for (;;) {
    // Wake for input, or when the first held byte is due.
    int timeoutMs = -1;
    {
      std::lock_guard<std::mutex> lock(Lock_);
      const std::uint64_t now = micros();
      for (const Direction& d : Directions_) {
        if (d.Queue.empty()) continue;
        const std::uint64_t due = d.Queue.front().first;
        const int wait = due <= now ? 0 : static_cast<int>((due - now) / 1000 + 1);
        timeoutMs = timeoutMs < 0 ? wait : std::min(timeoutMs, wait);
      }
    }
    pollfd fds[3] = {
        {Lines_[0]->Master, POLLIN, 0}, {Lines_[1]->Master, POLLIN, 0}, {Wake_[0], POLLIN, 0}};
    if (poll(fds, 3, timeoutMs) < 0 && errno != EINTR) return;
    if (fds[2].revents) return;
    std::lock_guard<std::mutex> lock(Lock_);
    const std::uint64_t now = micros();
    for (int side = 0; side < 2; ++side) {
      if (fds[side].revents & POLLIN) {
        std::uint8_t buffer[256];
        const ssize_t n = ::read(Lines_[side]->Master, buffer, sizeof buffer);
        if (n > 0) Take(side, buffer, static_cast<std::size_t>(n), now);
      }
      Direction& d = Directions_[side];
      std::size_t due = 0;
      while (due < d.Queue.size() && d.Queue[due].first <= now) ++due;
      if (due == 0) continue;
      std::vector<std::uint8_t> out;
      for (std::size_t i = 0; i < due; ++i) out.push_back(d.Queue[i].second);
      d.Queue.erase(d.Queue.begin(), d.Queue.begin() + static_cast<std::ptrdiff_t>(due));
      d.Delivered.insert(d.Delivered.end(), out.begin(), out.end());
      WriteAll(Lines_[1 - side]->Master, reinterpret_cast<const char*>(out.data()), out.size());
    }
  }
}

}  // namespace simworld
