#include "platform/win32/Win32System.h"

#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Text.h"

namespace platform {

std::string ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) {
      win32::ReportLastError("GetModuleFileNameA");
      return ".\\";
    }
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
  std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string(".\\") : path.substr(0, cut + 1);
}

std::string NativePath(std::string_view windowsPath) { return std::string(windowsPath); }

bool SetCurrentFolder(std::string_view folder) {
  return SetCurrentDirectoryA(std::string(folder).c_str()) != 0;
}

}  // namespace platform

namespace platform::win32 {

std::uint32_t Win32Clock::TickCount() { return GetTickCount(); }

void Win32Clock::Sleep(std::uint32_t ms) { ::Sleep(ms); }

Win32LibraryLoader::Win32LibraryLoader() {
  // Any DLL directory takes the current directory out of the search order. The
  // program's own folder (by its wide path) is the one set: an empty one would do
  // on Windows, but Wine takes an empty one for none. The folder is searched
  // first anyway, so the order is otherwise the system's.
  std::wstring folder(MAX_PATH, L'\0');
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, folder.data(), static_cast<DWORD>(folder.size()))) ==
         folder.size())
    folder.resize(folder.size() * 2);  // truncated: try a larger buffer
  folder.resize(n);
  // The folder without its last separator, unless it is the root of a drive.
  std::size_t cut = folder.find_last_of(L"\\/");
  if (cut == 2 && folder[1] == L':') ++cut;
  folder.resize(cut == std::wstring::npos ? 0 : cut);
  // Looked up rather than imported: Windows XP before its first service pack lacks
  // it, and the program must start there all the same.
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  void* proc =
      kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW")) : nullptr;
  if (proc && !reinterpret_cast<SetDllDirectoryFn>(proc)(folder.c_str()))
    ReportLastError("SetDllDirectoryW");
}

LibraryHandle Win32LibraryLoader::Load(std::string_view moduleName) {
  // By module name, so that the system finds the program's folder by the wide
  // path it was started from, whatever characters that path holds.
  HMODULE module = LoadLibraryA(std::string(moduleName).c_str());
  if (!module) ReportLastError("LoadLibraryA");
  return reinterpret_cast<LibraryHandle>(module);
}

void* Win32LibraryLoader::Lookup(LibraryHandle library, const char* exportName) {
  if (!library) return nullptr;
  FARPROC proc = GetProcAddress(static_cast<HMODULE>(library), exportName);
  if (!proc) ReportLastError("GetProcAddress");
  return reinterpret_cast<void*>(proc);
}

void Win32LibraryLoader::Unload(LibraryHandle library) {
  if (library && !FreeLibrary(static_cast<HMODULE>(library))) ReportLastError("FreeLibrary");
}

bool Win32Files::LastWriteLocal(std::string_view path, LocalTime& out) {
  HANDLE file =
      CreateFileA(std::string(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ReportLastError("CreateFileA");
    return false;
  }
  FILETIME written{}, local{};
  SYSTEMTIME time{};
  bool ok = GetFileTime(file, nullptr, nullptr, &written) != 0;
  if (!ok) ReportLastError("GetFileTime");
  CloseHandle(file);
  if (ok && !FileTimeToLocalFileTime(&written, &local)) {
    ReportLastError("FileTimeToLocalFileTime");
    ok = false;
  }
  if (ok && !FileTimeToSystemTime(&local, &time)) {
    ReportLastError("FileTimeToSystemTime");
    ok = false;
  }
  if (!ok) return false;
  out = LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
  return true;
}

LocalTime Win32Files::Now() {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

bool Win32Files::MakeFolder(std::string_view path) {
  const std::string p(path);
  if (CreateDirectoryA(p.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(p.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::WriteWhole(std::string_view path, std::string_view text) {
  const std::string target(path);
  const std::string temporary = target + ".tmp";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size();
  // On the disk before it takes the old file's place.
  ok = ok && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (ok && MoveFileExA(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(temporary.c_str());
  return false;
}

}  // namespace platform::win32
