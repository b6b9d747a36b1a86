#include "platform/headless/Png.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace platform::headless {

bool WritePng(const std::string& path, int width, int height, const std::vector<ColorRef>& pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  // Rows are converted one at a time from the 0x00BBGGRR pixel values.
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  if (setjmp(png_jmpbuf(png))) {  // libpng reports its errors by jumping back here
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      ColorRef c = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)];
      png_byte* p = &row[static_cast<std::size_t>(x) * 3];
      p[0] = static_cast<png_byte>(c & 0xFF);
      p[1] = static_cast<png_byte>((c >> 8) & 0xFF);
      p[2] = static_cast<png_byte>((c >> 16) & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fflush(file.get()) == 0;
}

}  // namespace platform::headless
