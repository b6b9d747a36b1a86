#pragma once
// The link library as tovarin-sim serves it to Tovarin: the real library, with
// the opening and the closing of the port told to the world around it, so that a
// partner program can be put on the line for each game and each game's record
// kept when the line closes.
#include <functional>

#include "platform/System.h"

namespace simworld {

class WatchedLink final : public platform::LibraryLoader {
 public:
  // One at a time: the entry points handed out are plain functions.
  explicit WatchedLink(platform::LibraryLoader& real);
  ~WatchedLink() override;
  WatchedLink(const WatchedLink&) = delete;
  WatchedLink& operator=(const WatchedLink&) = delete;

  std::function<void(int port)> BeforeOpen;
  std::function<void(int port, int result)> AfterOpen;
  std::function<void()> AfterClose;

  platform::LibraryHandle Load(std::string_view moduleName) override;
  void* Lookup(platform::LibraryHandle library, const char* exportName) override;
  void Unload(platform::LibraryHandle library) override;

 private:
  static int Initcom(int port);
  static int Closecom();
  static WatchedLink* Current_;
  platform::LibraryLoader& Real_;
  int (*RealInitcom_)(int) = nullptr;
  int (*RealClosecom_)() = nullptr;
};

}  // namespace simworld
