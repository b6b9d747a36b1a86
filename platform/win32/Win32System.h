#pragma once
// The operating-system services of the Windows build: the tick count and sleeps,
// libraries from the program's own folder, and file times in local time.
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
  // Libraries are taken from `folder` (with trailing separator), by default the
  // program's own folder, as <name>.dll. The current directory, which a file
  // dialog may change, never supplies one.
  explicit Win32LibraryLoader(std::string folder = ProgramFolder()) : Folder_(std::move(folder)) {}
  LibraryHandle Load(std::string_view moduleName) override;
  void* Lookup(LibraryHandle library, const char* exportName) override;
  void Unload(LibraryHandle library) override;

 private:
  std::string Folder_;
};

class Win32FileTimes final : public FileTimes {
 public:
  bool LastWriteLocal(std::string_view path, LocalTime& out) override;
};

}  // namespace platform::win32
