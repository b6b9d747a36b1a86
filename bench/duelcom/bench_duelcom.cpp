// Prints what the link library costs while it waits: the CPU time used by
// newgame(2) against a silent partner for its whole wait, the time from the
// partner's OK reaching the line to sendxy returning, and the time a lost
// packet costs a game.
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "duelcom/duelcom.h"
#include "duelcom/engine.h"
#include "support/VirtualLine.h"
#include "support/pty.h"

namespace {

using Clock = std::chrono::steady_clock;
using duelcom::testing::Pty;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void SilentNewGame() {
  Pty line;
  setenv("DUELCOM_COM1", line.SlavePath.c_str(), 1);
  if (!initcom(1)) return;
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  const int result = newgame(2);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double used = CpuSeconds() - cpu;
  closecom();
  std::printf(
      "newgame(2), silent partner: result %d after %.3f s, CPU %.4f s = %.3f %% of one core\n",
      result, wall, used, 100.0 * used / wall);
}

// The partner: an engine on the master end that answers at once and notes
// when each OK has been written to the line.
struct Answerer {
  explicit Answerer(int master) : Master(master) {
    Context.SetWriter([this](const duelcom::Packet& p) {
      duelcom::testing::WriteAll(Master, p);
      if (p[2] == 0x87) LastOk.store(Clock::now().time_since_epoch().count());
    });
    Context.StartNewGame(duelcom::White);
    Reader = std::thread([this] {
      std::uint8_t buffer[64];
      while (!Stop.load()) {
        pollfd in{Master, POLLIN, 0};
        if (poll(&in, 1, 50) <= 0) continue;
        const ssize_t n = read(Master, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i) Context.FeedByte(buffer[i]);
      }
    });
  }
  ~Answerer() {
    Stop.store(true);
    Reader.join();
  }
  int Master;
  duelcom::LinkContext Context;
  std::atomic<Clock::rep> LastOk{0};
  std::atomic<bool> Stop{false};
  std::thread Reader;
};

void OkToSendxyReturn() {
  Pty line;
  setenv("DUELCOM_COM1", line.SlavePath.c_str(), 1);
  if (!initcom(1)) return;
  std::vector<double> micros;
  {
    Answerer partner(line.Master);
    if (!newgame(1)) {
      std::printf("newgame(1) failed\n");
      closecom();
      return;
    }
    for (int i = 0; i < 1000; ++i) {
      if (!sendxy(i % 19 + 1, i / 19 % 19 + 1)) break;
      const auto returned = Clock::now().time_since_epoch().count();
      const Clock::duration d(returned - partner.LastOk.load());
      micros.push_back(std::chrono::duration<double, std::micro>(d).count());
    }
  }
  closecom();
  if (micros.empty()) return;
  std::sort(micros.begin(), micros.end());
  auto at = [&](double q) { return micros[static_cast<std::size_t>(q * (micros.size() - 1))]; };
  std::printf(
      "partner's OK written -> sendxy returned, %zu moves: median %.1f us, p90 %.1f us, "
      "p99 %.1f us, max %.1f us\n",
      micros.size(), at(0.5), at(0.9), at(0.99), micros.back());
}

// What one lost packet costs a whole game between two copies, in virtual time:
// each packet of the game lost in turn, against the same game on a clean line.
void LostPacketCost() {
  duelcom::testing::VirtualLine clean(5000, 0, {});
  clean.Play();
  std::vector<int> costs;
  for (int lost = 0; lost < clean.PacketsWritten(); ++lost) {
    duelcom::testing::VirtualLine line(5000, 0, {lost});
    line.Play();
    costs.push_back(line.EndedAtMs() - clean.EndedAtMs());
  }
  std::sort(costs.begin(), costs.end());
  std::printf(
      "one lost packet, each of the %zu of a game in turn: the game ends later by median %d ms, "
      "p90 %d ms, max %d ms\n",
      costs.size(), costs[costs.size() / 2], costs[costs.size() * 9 / 10], costs.back());
}

// Games between two copies on a line that damages bytes, in virtual time, many
// seeds a rate: how many end alike on both sides, and how often a damaged packet
// passes the checksum (the protocol's limit).
void DamagedLine() {
  for (const double rate : {0.005, 0.02, 0.05}) {
    constexpr int Games = 1000;
    int finished = 0, wrong = 0, passed = 0;
    long packets = 0;
    for (int seed = 1; seed <= Games; ++seed) {
      duelcom::testing::VirtualLine line(5000, 0, {-1, rate, static_cast<std::uint32_t>(seed)});
      finished += line.Play();
      wrong += line.WrongMove();
      passed += line.UndetectedDamage();
      packets += line.PacketsWritten();
    }
    std::printf(
        "%.1f %% of bytes damaged, %d games: %d finished alike, %d with a wrong move; damaged "
        "packets that passed the checksum: %.2f per 10 000 packets\n",
        rate * 100, Games, finished, wrong, 10000.0 * passed / static_cast<double>(packets));
  }
}

}  // namespace

int main() {
  LostPacketCost();
  DamagedLine();
  OkToSendxyReturn();
  SilentNewGame();
  return 0;
}
