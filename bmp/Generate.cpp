// Draws the four pictures the program loads at start-up into the folder given as
// the argument. The pictures are committed; run this after changing the drawing.
//
//   PlimGoBan.bmp    191 x 191 empty board: intersection (x, y) at pixel (10x-5, 10y-5)
//   PlimGoStone.bmp  9 x 19: black stone in (0,0)-(9,9), white stone in (0,10)-(9,19)
//   MyTovarin.bmp    76 x 64 picture of the main window
//   sswaku.bmp       372 x 340 background of the settings dialog
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/ui/Ui.h"

namespace {

using platform::Rgb;
using ui::Picture;

constexpr ui::ColorRef Wood = Rgb(222, 184, 98);
constexpr ui::ColorRef Line = Rgb(0, 0, 0);

void Disc(Picture& p, int cx2, int cy2, int r2, ui::ColorRef fill, ui::ColorRef rim) {
  // Centre and radius in half pixels, so that a 9-pixel square gets a centred disc.
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
      int d = dx * dx + dy * dy;
      if (d <= r2 * r2) p.Set(x, y, d >= (r2 - 2) * (r2 - 2) ? rim : fill);
    }
}

Picture Board() {
  Picture p(191, 191, Wood);
  for (int i = 1; i <= 19; ++i) {
    int c = 10 * i - 5;
    for (int t = 5; t <= 185; ++t) {
      p.Set(c, t, Line);
      p.Set(t, c, Line);
    }
  }
  for (int sx : {4, 10, 16})
    for (int sy : {4, 10, 16})
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) p.Set(10 * sx - 5 + dx, 10 * sy - 5 + dy, Line);
  return p;
}

Picture Stones() {
  Picture p(9, 19, Wood);
  Picture black(9, 9, Wood), white(9, 9, Wood);
  Disc(black, 9, 9, 9, Rgb(16, 16, 16), Rgb(0, 0, 0));
  Disc(white, 9, 9, 9, Rgb(250, 250, 250), Rgb(96, 96, 96));
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      p.Set(x, y, black.At(x, y));
      p.Set(x, 10 + y, white.At(x, y));
    }
  for (int x = 0; x < 9; ++x) p.Set(x, 9, Wood);
  return p;
}

Picture Logo() {
  Picture p(76, 64, Rgb(0, 128, 128));
  for (int y = 6; y < 58; ++y)
    for (int x = 10; x < 66; ++x) p.Set(x, y, Wood);
  for (int i = 0; i < 5; ++i) {
    for (int t = 10; t < 66; ++t) p.Set(t, 12 + 10 * i, Line);
    for (int t = 6; t < 58; ++t) p.Set(16 + 11 * i, t, Line);
  }
  Disc(p, 2 * 27 + 1, 2 * 22 + 1, 14, Rgb(16, 16, 16), Rgb(0, 0, 0));
  Disc(p, 2 * 49 + 1, 2 * 42 + 1, 14, Rgb(250, 250, 250), Rgb(96, 96, 96));
  return p;
}

Picture Frame() {
  Picture p(372, 340, Rgb(192, 192, 192));
  for (int y = 0; y < 340; ++y)
    for (int x = 0; x < 372; ++x) {
      int edge = std::min(std::min(x, 371 - x), std::min(y, 339 - y));
      if (edge < 6) p.Set(x, y, edge % 2 ? Rgb(128, 64, 0) : Rgb(224, 160, 64));
    }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? std::string(argv[1]) + "/" : std::string("./");
  bool ok = Board().SaveToFile(dir + "PlimGoBan.bmp") &&
            Stones().SaveToFile(dir + "PlimGoStone.bmp") &&
            Logo().SaveToFile(dir + "MyTovarin.bmp") && Frame().SaveToFile(dir + "sswaku.bmp");
  if (!ok) std::fprintf(stderr, "cannot write the pictures into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
