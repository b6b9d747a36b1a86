// Prints what duelcom-gtp and duelcom-engine themselves cost per move.
//
// duelcom-gtp, beyond the engine's thinking
// and the time on the wire: it plays a game against the protocol engine on a
// pseudo-terminal (which has no baud rate, so no wire time), with an engine
// that answers at once. Per move it measures the time from the far end's move
// reaching the line to the engine's answer leaving it, and the time the same
// engine takes for the same two commands asked directly; the difference is the
// relay's own share. It also reads the CPU time of all of duelcom-gtp's
// threads over the moves.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/engine.h"
#include "gtp/Gtp.h"
#include "gtp/Process.h"
#include "gtp/Vertex.h"
#include "support/pty.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int FarMoves = 150;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Summary {
  double Median, P90, Max;
};

Summary Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v[v.size() * 9 / 10], v.back()};
}

// CPU time of every thread of a process, in microseconds.
double CpuMicros(pid_t pid) {
  double total = 0;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream in(task.path() / "schedstat");
    double onCpuNs = 0;
    if (in >> onCpuNs) total += onCpuNs / 1000.0;
  }
  return total;
}

// The far end: the protocol engine on the master end of the line, white. It
// answers each move of the engine with one of its own from the bottom of the
// board, then passes.
class FarEnd {
 public:
  explicit FarEnd(int master) : Master(master) {
    Context.SetWriter([this](const duelcom::Packet& p) {
      duelcom::testing::WriteAll(Master, p);
      if ((p[2] & 0x70) == 0x50) SentAt = Clock::now();
    });
    Context.StartNewGame(duelcom::White);
    Reader = std::thread([this] { Run(); });
  }
  ~FarEnd() {
    Stop.store(true);
    Reader.join();
  }

  std::vector<double> RoundTrips;  // our move written -> the engine's move read
  pid_t Watched = 0;
  double CpuAtFirst = 0, CpuAtLast = 0;
  std::atomic<bool> Done{false};

 private:
  void Run() {
    std::set<std::pair<int, int>> taken;
    int sent = 0;
    std::uint8_t buffer[64];
    while (!Stop.load()) {
      pollfd in{Master, POLLIN, 0};
      if (poll(&in, 1, 50) <= 0) continue;
      const ssize_t n = read(Master, buffer, sizeof buffer);
      for (ssize_t i = 0; i < n; ++i) {
        const Clock::time_point at = Clock::now();
        Context.FeedByte(buffer[i]);
        int x, y;
        if (!Context.TakeMove(x, y)) continue;
        if (sent > 0 && sent <= FarMoves) RoundTrips.push_back(Micros(at - SentAt));
        if (sent == 1) CpuAtFirst = CpuMicros(Watched);
        if (sent == FarMoves) CpuAtLast = CpuMicros(Watched);
        taken.insert({x, y});
        int rx = 0, ry = 0;
        if (sent < FarMoves) {
          for (int p = 361; p >= 1 && rx == 0; --p) {
            const int cx = (p - 1) % 19 + 1, cy = (p - 1) / 19 + 1;
            if (!taken.count({cx, cy})) rx = cx, ry = cy;
          }
          taken.insert({rx, ry});
        }
        ++sent;
        Context.SendMove(rx, ry);
        if (x == 0 && rx == 0) Done.store(true);
      }
    }
  }

  int Master;
  duelcom::LinkContext Context;
  Clock::time_point SentAt;
  std::atomic<bool> Stop{false};
  std::thread Reader;
};

// The engine alone: `play` and `genmove` asked directly over its pipes, as
// duelcom-gtp asks them for each move.
std::vector<double> EngineAlone() {
  std::string error;
  auto engine = gtp::ChildProcess::Start({FAKE_ENGINE}, error);
  if (!engine) return {};
  gtp::GtpClient client(*engine);
  std::vector<double> times;
  for (int i = 0; i < FarMoves; ++i) {
    const int p = 361 - i;
    const std::string vertex = gtp::ToVertex((p - 1) % 19 + 1, (p - 1) / 19 + 1);
    const auto start = Clock::now();
    client.Ask("play white " + vertex);
    client.Ask("genmove black");
    times.push_back(Micros(Clock::now() - start));
  }
  client.Ask("quit");
  engine->Stop(2000);
  return times;
}

// duelcom-engine the other way round: the bench is its GTP controller, the far
// end is the protocol engine above (white, answering each move at once). Per
// move: `play black V` (sent on the line, the far end's OK) and `genmove white`
// (the far end's move, already in), against the same two commands asked of the
// engine that answers at once.
void LineEngineCost(const std::vector<double>& alone) {
  duelcom::testing::Pty line;
  FarEnd far(line.Master);
  std::string error;
  auto engine = gtp::ChildProcess::Start(
      {DUELCOM_ENGINE, "--port", line.SlavePath, "--colour", "white"}, error);
  if (!engine) {
    std::printf("duelcom-engine benchmark: %s\n", error.c_str());
    return;
  }
  gtp::GtpClient client(*engine);
  client.Ask("clear_board");
  std::vector<double> times;
  for (int i = 0; i < FarMoves - 1; ++i) {
    const std::string vertex = gtp::ToVertex(i % 19 + 1, i / 19 + 1);
    const auto start = Clock::now();
    const bool played = client.Ask("play black " + vertex).Ok();
    const bool answered = client.Ask("genmove white").Ok();
    if (!played || !answered) break;
    times.push_back(Micros(Clock::now() - start));
  }
  client.Ask("quit");
  engine->Stop(2000);
  if (times.empty() || alone.empty()) {
    std::printf("duelcom-engine benchmark: no move went through\n");
    return;
  }
  const Summary both = Summarise(times);
  std::printf(
      "duelcom-engine as a GTP engine, %zu moves each way against a far end that answers at "
      "once, on a pseudo-terminal (no wire time):\n"
      "  play + genmove: median %.0f us, p90 %.0f us, max %.0f us\n"
      "  its own share per move beyond an engine that answers at once: median %.0f us\n",
      times.size(), both.Median, both.P90, both.Max, both.Median - Summarise(alone).Median);
}

}  // namespace

int main() {
  const std::vector<double> alone = EngineAlone();
  LineEngineCost(alone);

  duelcom::testing::Pty line;
  std::vector<std::string> args = {
      DUELCOM_GTP, "--port",   line.SlavePath, "--pass-from", std::to_string(2 * FarMoves),
      "--",        FAKE_ENGINE};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  FarEnd far(line.Master);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  far.Watched = pid;
  for (int i = 0; i < 60000 && !far.Done.load(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  int status = 0;
  waitpid(pid, &status, 0);
  if (!far.Done.load() || far.RoundTrips.empty() || alone.empty()) {
    std::printf("duelcom-gtp benchmark: the game did not finish (status %d)\n", status);
    return 1;
  }

  const Summary trip = Summarise(far.RoundTrips);
  const Summary engine = Summarise(alone);
  const double cpu = (far.CpuAtLast - far.CpuAtFirst) / (FarMoves - 1);
  std::printf(
      "duelcom-gtp, %zu moves of the far end answered by an engine that answers at once, on a "
      "pseudo-terminal (no wire time):\n"
      "  far end's move in -> engine's move out: median %.0f us, p90 %.0f us, max %.0f us\n"
      "  the engine alone, play + genmove over its pipes: median %.0f us, p90 %.0f us\n"
      "  duelcom-gtp's own share per move: median %.0f us; CPU of all its threads %.0f us a "
      "move\n"
      "  (at 2400 baud the wire adds 33.3 ms a move: its MOVE and the far end's OK, 4 bytes "
      "each)\n",
      far.RoundTrips.size(), trip.Median, trip.P90, trip.Max, engine.Median, engine.P90,
      trip.Median - engine.Median, cpu);
  return 0;
}
