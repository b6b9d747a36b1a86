#pragma once
// The operating-system services of the native build: shared libraries through the
// dynamic loader, file times through stat and the TZ-aware local time.
#include "platform/System.h"

namespace platform::posix {

class PosixLibraryLoader final : public LibraryLoader {
 public:
  // Libraries are taken from `folder` (with trailing '/'), by default the program's
  // own folder, as lib<name>.so: the current directory never supplies one.
  explicit PosixLibraryLoader(std::string folder = ProgramFolder()) : Folder_(std::move(folder)) {}
  LibraryHandle Load(std::string_view moduleName) override;
  void* Lookup(LibraryHandle library, const char* exportName) override;
  void Unload(LibraryHandle library) override;
  void SetFolder(std::string folder) { Folder_ = std::move(folder); }

 private:
  std::string Folder_;
};

class PosixFileTimes final : public FileTimes {
 public:
  bool LastWriteLocal(std::string_view path, LocalTime& out) override;
};

}  // namespace platform::posix
