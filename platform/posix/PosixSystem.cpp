#include "platform/posix/PosixSystem.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

namespace platform {

std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? std::string("./") : path.substr(0, cut + 1);
}

std::string NativePath(std::string_view windowsPath) {
  std::string p(windowsPath);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

bool SetCurrentFolder(std::string_view folder) { return chdir(std::string(folder).c_str()) == 0; }

}  // namespace platform

namespace platform::posix {

LibraryHandle PosixLibraryLoader::Load(std::string_view moduleName) {
  std::string path = Folder_ + "lib" + std::string(moduleName) + ".so";
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* PosixLibraryLoader::Lookup(LibraryHandle library, const char* exportName) {
  if (!library) return nullptr;
  return dlsym(library, exportName);
}

void PosixLibraryLoader::Unload(LibraryHandle library) {
  if (library) dlclose(library);
}

bool PosixFileTimes::LastWriteLocal(std::string_view path, LocalTime& out) {
  struct stat st {};
  if (stat(std::string(path).c_str(), &st) != 0) return false;
  tzset();
  struct tm tm {};
  time_t t = st.st_mtime;
  if (!localtime_r(&t, &tm)) return false;
  out = LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  return true;
}

}  // namespace platform::posix
