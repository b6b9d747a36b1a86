#pragma once
// The operating-system services Tovarin's logic reaches through the platform seam.
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/System.h"

namespace tovarin {

struct Services {
  platform::Desktop& Desktop;
  platform::Clock& Clock;
  platform::LibraryLoader& Libraries;
  platform::Files& Files;
};

}  // namespace tovarin
