#pragma once
// The operating-system services of the native build: shared libraries through the
// dynamic loader, files through the system calls and the TZ-aware local time.
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

class PosixFiles : public Files {
 public:
  bool LastWriteLocal(std::string_view path, LocalTime& out) override;
  LocalTime Now() override;
  bool MakeFolder(std::string_view path) override;
  bool WriteWhole(std::string_view path, std::string_view text) override;
};

}  // namespace platform::posix
