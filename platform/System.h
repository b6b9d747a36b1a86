#pragma once
// Services of the operating system other than the desktop: libraries, files and
// the calendar.
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

// Files and the calendar. Paths are in the ANSI code page.
class Files {
 public:
  virtual ~Files() = default;
  // Last-write time of the file at `path` in local time; false when the file
  // cannot be opened.
  virtual bool LastWriteLocal(std::string_view path, LocalTime& out) = 0;
  // The local time now.
  virtual LocalTime Now() = 0;
  // Makes the folder `path` unless it is there; false when it is not there after.
  virtual bool MakeFolder(std::string_view path) = 0;
  // Writes `text` to a temporary file beside `path`, then puts it in the place
  // of `path` in one step, so that a reader finds the old file or the new one,
  // never part of one. False, with `path` as it was, when a step fails.
  virtual bool WriteWhole(std::string_view path, std::string_view text) = 0;
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
