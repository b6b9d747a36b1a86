#include "platform/posix/PosixSystem.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
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

namespace {

bool Local(time_t t, LocalTime& out) {
  tzset();
  struct tm tm {};
  if (!localtime_r(&t, &tm)) return false;
  out = LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  return true;
}

}  // namespace

bool PosixFiles::LastWriteLocal(std::string_view path, LocalTime& out) {
  struct stat st {};
  if (stat(std::string(path).c_str(), &st) != 0) return false;
  return Local(st.st_mtime, out);
}

LocalTime PosixFiles::Now() {
  LocalTime now;
  Local(time(nullptr), now);
  return now;
}

bool PosixFiles::MakeFolder(std::string_view path) {
  const std::string p(path);
  struct stat st {};
  return mkdir(p.c_str(), 0777) == 0 || (stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

bool PosixFiles::WriteWhole(std::string_view path, std::string_view text) {
  const std::string target(path);
  const std::string temporary = target + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  // On the disk before it takes the old file's place.
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), target.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

}  // namespace platform::posix
