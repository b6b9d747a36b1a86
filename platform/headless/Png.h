#pragma once
// Screenshots of the simulated desktop as PNG files, written with libpng.
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform::headless {

// Writes `pixels` (row-major, top row first) as a 24-bit PNG; false when the file
// cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<ColorRef>& pixels);

}  // namespace platform::headless
