// Time of one look at the puppet's board on the simulated desktop, per profile: a
// reference puppet at its play position with an empty board, so that the look
// reads all 361 points. For comparison, the same points read one screen pixel at a
// time. Prints numbers; asserts nothing.
#include <chrono>
#include <cstdio>

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

}  // namespace

int main() {
  std::printf("One full-board look (361 empty points) on the simulated desktop\n");
  std::printf("%-8s %-20s %14s %18s\n", "profile", "snapshot area", "look (us)", "per pixel (us)");
  const int rounds = 200;
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    testing_world::World w;
    w.Form3().Hide();
    refpuppet::PuppetLauncher launcher(w.Desktop);
    launcher.Options.ThinkMs = 1000000;
    launcher.Kando4Profile = p == 16 ? 16 : 6;
    launcher.Start(p);
    tovarin::TForm1& f = w.Form1();
    f.FindPuppet(p);
    const puppet::Geometry& g = *puppet::GeometryOf(p);
    w.Desktop.SetWindowPos(f.PuppetWindow, platform::InsertBottom, g.PlayLeft, g.PlayTop,
                           f.TargetWidth, f.TargetHeight, platform::SwpShowWindow);
    std::int32_t x = 0, y = 0;
    int found = 0;
    double look = MicrosecondsPer(rounds, [&] { found += f.DetectPuppetMove(x, y) ? 1 : 0; });
    // The same points, one screen read each.
    const puppet::Reading& reading = *puppet::ReadingOf(p);
    double perPixel = MicrosecondsPer(rounds, [&] {
      for (int c = 1; c <= 19; ++c)
        for (int r = 1; r <= 19; ++r)
          found += puppet::LooksOccupied(puppet::PointTestFor(reading, c, r),
                                         [&](int px, int py) { return w.Desktop.Pixel(px, py); })
                       ? 1
                       : 0;
    });
    platform::Rect a = puppet::SampleArea(reading);
    char area[32];
    std::snprintf(area, sizeof area, "%dx%d", a.Width(), a.Height());
    std::printf("%-8d %-20s %14.1f %18.1f%s\n", p, area, look, perPixel,
                found ? "  (a point read as taken!)" : "");
  }
  return 0;
}
