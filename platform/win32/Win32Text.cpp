#include "platform/win32/Win32Text.h"

#include <cstdio>

namespace platform::win32 {
namespace {

std::wstring WidenWith(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), n);
  return out;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return WidenWith(CP_UTF8, utf8); }

std::wstring WidenAnsi(std::string_view ansi) { return WidenWith(CP_ACP, ansi); }

std::string Utf8Of(std::wstring_view text) {
  if (text.empty()) return {};
  int size = static_cast<int>(text.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

bool ToAnsi(std::wstring_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, &lossy);
  if (n <= 0) return false;
  out.assign(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), n, nullptr, &lossy);
  return !lossy;
}

void ReportFailure(const char* call, DWORD code) {
  char text[512] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' '))
    text[--n] = '\0';
  char line[700];
  std::snprintf(line, sizeof line, "%s:(%lu) %s\n", call, static_cast<unsigned long>(code), text);
  std::fputs(line, stderr);
  std::fflush(stderr);
  OutputDebugStringA(line);
}

void ReportLastError(const char* call) { ReportFailure(call, GetLastError()); }

}  // namespace platform::win32
