#include "sim/WatchedLink.h"

#include <cstring>

namespace simworld {

WatchedLink* WatchedLink::Current_ = nullptr;

WatchedLink::WatchedLink(platform::LibraryLoader& real) : Real_(real) { Current_ = this; }

WatchedLink::~WatchedLink() {
  if (Current_ == this) Current_ = nullptr;
}

platform::LibraryHandle WatchedLink::Load(std::string_view moduleName) {
  return Real_.Load(moduleName);
}

void* WatchedLink::Lookup(platform::LibraryHandle library, const char* exportName) {
  void* real = Real_.Lookup(library, exportName);
  if (!real) return nullptr;
  if (std::strcmp(exportName, "initcom") == 0) {
    RealInitcom_ = reinterpret_cast<int (*)(int)>(real);
    return reinterpret_cast<void*>(&Initcom);
  }
  if (std::strcmp(exportName, "closecom") == 0) {
    RealClosecom_ = reinterpret_cast<int (*)()>(real);
    return reinterpret_cast<void*>(&Closecom);
  }
  return real;
}

void WatchedLink::Unload(platform::LibraryHandle library) { Real_.Unload(library); }

int WatchedLink::Initcom(int port) {
  WatchedLink& w = *Current_;
  if (w.BeforeOpen) w.BeforeOpen(port);
  const int result = w.RealInitcom_(port);
  if (w.AfterOpen) w.AfterOpen(port, result);
  return result;
}

int WatchedLink::Closecom() {
  WatchedLink& w = *Current_;
  const int result = w.RealClosecom_();
  if (w.AfterClose) w.AfterClose();
  return result;
}

}  // namespace simworld
