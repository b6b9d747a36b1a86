// What the relay itself costs, and how long a whole game takes.
//
// 1. On the simulated desktop in virtual time, a whole game per profile between
//    the reference puppet and the scripted partner: the real time spent inside
//    the two relay handlers, per move. Their sleeps and the partner's waits cost
//    no real time there, so this is the relay's own work: board looks, the board
//    model, the log and the clicks (with the simulated puppet's reactions).
// 2. tovarin-sim against GNU Go (level 1) on a pseudo-terminal: the wall time of
//    a whole game, with the partner's thinking, the line and the 200 ms polls.
// Prints numbers; asserts nothing.
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/MatchWorld.h"

namespace {

using Clock = std::chrono::steady_clock;

void RelayCostPerProfile() {
  std::printf("Relay handlers per move, virtual time, scripted partner\n");
  std::printf("%-8s %8s %16s %16s %14s\n", "profile", "moves", "handlers (us)", "per move (us)",
              "game (ms)");
  double sum = 0;
  int moves = 0;
  for (int p = 1; p <= 18; ++p) {
    testing_world::MatchSetup s;
    s.Profile = p;
    s.PuppetIsBlack = p % 2 == 1;
    s.Puppet.PassFromMove = 100;
    testing_world::MatchWorld m(s);
    m.Partner.PassFromMove = 100;
    double inHandlers = 0;
    for (ui::Timer* t : {&m.F.Timer2, &m.F.Timer3}) {
      t->OnTimer = [&m, t, &inHandlers] {
        const auto start = Clock::now();
        t == &m.F.Timer2 ? m.F.Timer2Timer() : m.F.Timer3Timer();
        inHandlers += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
      };
    }
    const auto start = Clock::now();
    const bool over = m.Play();
    const double game = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const int n = m.F.MoveCount + 1;
    std::printf("%-8d %8d %16.0f %16.1f %14.1f%s\n", p, n, inHandlers, inHandlers / n, game,
                over ? "" : "  (did not end!)");
    sum += inHandlers;
    moves += n;
  }
  std::printf("%-8s %8d %16.0f %16.1f\n\n", "all", moves, sum, sum / moves);
}

void GameAgainstGnuGo() {
  if (!std::filesystem::exists("/usr/games/gnugo")) {
    std::printf("GNU Go is not installed: no game against it\n");
    return;
  }
  std::printf("tovarin-sim against GNU Go (level 1), profile 1, puppet black\n");
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tovarin-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder / "bmp");
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"})
    std::filesystem::copy_file(testing_world::SourceDir() / "bmp" / name, folder / "bmp" / name);
  const std::string command =
      "cd '" + folder.string() + "' && " TOVARIN_SIM " --out . > run.log 2>&1";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  const double cpu =
      static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
      static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e6;
  int moves = 0;
  if (FILE* log = std::fopen((folder / "run.log").c_str(), "r")) {
    char line[512];
    while (std::fgets(line, sizeof line, log)) std::sscanf(line, "[game 1: %d moves", &moves);
    std::fclose(log);
  }
  std::printf(
      "  exit %d, %d moves, %.1f s wall (%.0f ms a move), %.1f s of processor time\n"
      "  (tovarin-sim and GNU Go together)\n",
      WIFEXITED(status) ? WEXITSTATUS(status) : -1, moves, wall, moves ? 1000 * wall / moves : 0.0,
      cpu);
  std::filesystem::remove_all(folder);
}

}  // namespace

int main() {
  RelayCostPerProfile();
  GameAgainstGnuGo();
  return 0;
}
