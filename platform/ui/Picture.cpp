// BMP files: the pictures the forms load at start-up, and the generator's output.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/ui/Ui.h"

namespace ui {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

Picture::Picture(int width, int height, ColorRef fill)
    : Width_(width),
      Height_(height),
      Pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

ColorRef Picture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return platform::InvalidColor;
  return Pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width_) +
                 static_cast<std::size_t>(x)];
}

void Picture::Set(int x, int y, ColorRef c) {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return;
  Pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width_) +
          static_cast<std::size_t>(x)] = c;
}

Picture Picture::LoadFromFile(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
  if (!f) throw FrameworkError("Cannot open file \"" + path + "\".");
  std::vector<std::uint8_t> data;
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) data.insert(data.end(), buf, buf + n);
  const std::string bad = "Bitmap image is not valid: \"" + path + "\".";
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') throw FrameworkError(bad);
  std::uint32_t offset = Le32(&data[10]);
  std::uint32_t header = Le32(&data[14]);
  if (header < 40 || 14 + static_cast<std::size_t>(header) > data.size()) throw FrameworkError(bad);
  std::int32_t width = static_cast<std::int32_t>(Le32(&data[18]));
  std::int32_t rawHeight = static_cast<std::int32_t>(Le32(&data[22]));
  std::uint16_t bits = Le16(&data[28]);
  std::uint32_t compression = Le32(&data[30]);
  std::uint32_t colours = Le32(&data[46]);
  if (width <= 0 || width > 16384 || rawHeight == 0 || rawHeight > 16384 || rawHeight < -16384 ||
      compression != 0 || (bits != 24 && bits != 8))
    throw FrameworkError(bad);
  bool bottomUp = rawHeight > 0;
  int height = bottomUp ? rawHeight : -rawHeight;
  std::size_t stride =
      (static_cast<std::size_t>(width) * bits / 8 + 3) & ~static_cast<std::size_t>(3);
  if (offset > data.size() || stride * static_cast<std::size_t>(height) > data.size() - offset)
    throw FrameworkError(bad);
  std::vector<ColorRef> palette;
  if (bits == 8) {
    std::size_t count = colours ? colours : 256;
    std::size_t at = 14 + header;
    if (count > 256 || at + count * 4 > offset) throw FrameworkError(bad);
    for (std::size_t i = 0; i < count; ++i)
      palette.push_back(
          platform::Rgb(data[at + 4 * i + 2], data[at + 4 * i + 1], data[at + 4 * i]));
  }
  Picture pic(width, height);
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* line = &data[offset + stride * static_cast<std::size_t>(row)];
    int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      ColorRef c;
      if (bits == 24) {
        const std::uint8_t* p = line + 3 * x;
        c = platform::Rgb(p[2], p[1], p[0]);
      } else {
        std::size_t i = line[x];
        c = i < palette.size() ? palette[i] : clBlack;
      }
      pic.Set(x, y, c);
    }
  }
  return pic;
}

bool Picture::SaveToFile(const std::string& path) const {
  std::size_t stride = (static_cast<std::size_t>(Width_) * 3 + 3) & ~static_cast<std::size_t>(3);
  std::size_t imageSize = stride * static_cast<std::size_t>(Height_);
  std::vector<std::uint8_t> out(54 + imageSize, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(Width_));
  put32(22, static_cast<std::uint32_t>(Height_));
  out[26] = 1;
  out[28] = 24;
  put32(34, static_cast<std::uint32_t>(imageSize));
  put32(38, 3780);  // 96 pixels per inch
  put32(42, 3780);
  for (int y = 0; y < Height_; ++y) {
    std::uint8_t* line = &out[54 + stride * static_cast<std::size_t>(Height_ - 1 - y)];
    for (int x = 0; x < Width_; ++x) {
      ColorRef c = At(x, y);
      line[3 * x] = static_cast<std::uint8_t>(platform::BlueOf(c));
      line[3 * x + 1] = static_cast<std::uint8_t>(platform::GreenOf(c));
      line[3 * x + 2] = static_cast<std::uint8_t>(platform::RedOf(c));
    }
  }
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
  if (!f) return false;
  return std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
}

}  // namespace ui
