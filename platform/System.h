#pragma once
// Services of the operating system other than the desktop: libraries and file times.
#include <string>
#include <string_view>

namespace platform {

using LibraryHandle = void*;

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // Loads a library by module name (no path, no extension), looking in the
  // program's own folder first and never in the current directory; nullptr when it
  // cannot be loaded.
  virtual LibraryHandle Load(std::string_view moduleName) = 0;
  // The address of an export, or nullptr.
  virtual void* Lookup(LibraryHandle library, const char* exportName) = 0;
  virtual void Unload(LibraryHandle library) = 0;
};

// A calendar time in the local time zone.
struct LocalTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

class FileTimes {
 public:
  virtual ~FileTimes() = default;
  // Last-write time of the file at `path` (ANSI code page) in local time; false when
  // the file cannot be opened.
  virtual bool LastWriteLocal(std::string_view path, LocalTime& out) = 0;
};

// The folder of the running program's executable, with its trailing separator.
std::string ProgramFolder();

// A relative path written the Windows way (".\\bmp\\x.bmp") in the form the platform's
// file functions take.
std::string NativePath(std::string_view windowsPath);

// Makes `folder` (ANSI code page) the process's current directory; false when it
// cannot be entered.
bool SetCurrentFolder(std::string_view folder);

}  // namespace platform
