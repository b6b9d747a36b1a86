// Time of one look at the puppet's board on the simulated desktop, per profile: a
// reference puppet at its play position with an empty board, so that the look
// reads all 361 points. For comparison, the same points read one screen pixel at a
// time. Then what the board's guard costs: the look with it against the look as
// it was before it, on the empty board and in the middle of a game. Prints
// numbers; asserts nothing.
#include <chrono>
#include <cstdio>

#include "bench/puppet/LookBench.h"
#include "sim/puppets/PuppetLauncher.h"
#include "tests/support/World.h"
#include "tovarin/puppet/Profiles.h"

namespace {

double MicrosecondsPer(int rounds, auto&& body) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) body();
  std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  return took.count() / rounds;
}

// A profile's reference puppet at its play position, found by Tovarin, thinking
// for ever after a move so that nothing changes on its own.
struct Placed {
  explicit Placed(int profile) : Launcher(W.Desktop), F(W.Form1()) {
    W.Form3().Hide();
    Launcher.Options.ThinkMs = 1000000;
    Launcher.PreferEdition(profile);
    Puppet = &Launcher.Start(profile);
    F.FindPuppet(profile);
    const puppet::Geometry& g = *puppet::GeometryOf(profile);
    W.Desktop.SetWindowPos(F.PuppetWindow, platform::InsertBottom, g.PlayLeft, 0, F.TargetWidth,
                           F.TargetHeight, platform::SwpShowWindow);
    W.Desktop.GetWindowRect(F.PuppetWindow, F.PuppetRect);
  }
  testing_world::World W;
  refpuppet::PuppetLauncher Launcher;
  tovarin::TForm1& F;
  refpuppet::ReferencePuppet* Puppet = nullptr;
};

}  // namespace

int main() {
  std::printf("One full-board look (361 empty points) on the simulated desktop\n");
  std::printf("%-8s %-20s %14s %18s\n", "profile", "snapshot area", "look (us)", "per pixel (us)");
  const int rounds = 200;
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    Placed s(p);
    std::int32_t x = 0, y = 0;
    int found = 0;
    double look = MicrosecondsPer(rounds, [&] { found += s.F.DetectPuppetMove(x, y) ? 1 : 0; });
    // The same points, one screen read each.
    const puppet::Reading& reading = *puppet::ReadingOf(p);
    double perPixel = MicrosecondsPer(rounds, [&] {
      for (int c = 1; c <= 19; ++c)
        for (int r = 1; r <= 19; ++r)
          found += puppet::LooksOccupied(puppet::PointTestFor(reading, c, r),
                                         [&](int px, int py) { return s.W.Desktop.Pixel(px, py); })
                       ? 1
                       : 0;
    });
    platform::Rect a = puppet::SampleArea(reading);
    char area[32];
    std::snprintf(area, sizeof area, "%dx%d", a.Width(), a.Height());
    std::printf("%-8d %-20s %14.1f %18.1f%s\n", p, area, look, perPixel,
                found ? "  (a point read as taken!)" : "");
  }

  // The guard reads every point, the held ones too, where the look before it read
  // only the empty ones: the game of 60 moves shows the cost of that.
  std::printf("\n");
  lookbench::PrintHeader("on the simulated desktop", rounds);
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    Placed s(p);
    lookbench::TimeProfile(s.F, rounds, [&] {
      // The puppet answers at once; the moves go in as Tovarin enters them.
      s.Puppet->Options().ThinkMs = 1;
      return lookbench::PlayGame(
          s.F, 60, [&](int c, int r) { s.F.EnterMove(c, r); }, [&] { s.W.Clock.Advance(10); });
    });
  }
  return 0;
}
