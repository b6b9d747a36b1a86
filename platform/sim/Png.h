#pragma once
// A small PNG writer for screenshots of the simulated desktop (stored deflate
// blocks: no compression library needed).
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform::sim {

bool WritePng(const std::string& path, int width, int height, const std::vector<ColorRef>& pixels);

}  // namespace platform::sim
