#pragma once
// The operating-system services of the Windows build: the tick count and sleeps,
// libraries by module name, files, and the local time.
#include "platform/Clock.h"
#include "platform/System.h"

namespace platform::win32 {

class Win32Clock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t ms) override;
};

class Win32LibraryLoader final : public LibraryLoader {
 public:
  // Takes the current directory, which a file dialog may change, out of the
  // process's library search; made once at start-up, before anything is loaded.
  Win32LibraryLoader();
  // <name>.dll by the system's search order: the program's own folder first, then
  // the system folders and PATH, never the current directory.
  LibraryHandle Load(std::string_view moduleName) override;
  void* Lookup(LibraryHandle library, const char* exportName) override;
  void Unload(LibraryHandle library) override;
};

class Win32Files final : public Files {
 public:
  bool LastWriteLocal(std::string_view path, LocalTime& out) override;
  LocalTime Now() override;
  bool MakeFolder(std::string_view path) override;
  bool WriteWhole(std::string_view path, std::string_view text) override;
};

}  // namespace platform::win32
