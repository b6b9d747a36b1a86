#pragma once
// Text conversions at the edge of the Windows API, and the one way Win32 failures
// are reported. The toolkit's texts are UTF-8 and go to the wide API; paths and
// stored files stay in the system's ANSI code page.
#include <string>
#include <string_view>

#include "platform/win32/Win32Api.h"

namespace platform::win32 {

// UTF-8 to UTF-16.
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8.
std::string Utf8Of(std::wstring_view text);
// ANSI code page to UTF-16.
std::wstring WidenAnsi(std::string_view ansi);
// UTF-16 to the ANSI code page. False when a character has no ANSI form (the
// result then holds the code page's default character in its place).
bool ToAnsi(std::wstring_view text, std::string& out);

// Writes "call:(code) message" for a failed call to standard error and the
// debugger, `code` being the GetLastError value.
void ReportFailure(const char* call, DWORD code);
// The same, taking GetLastError itself.
void ReportLastError(const char* call);

}  // namespace platform::win32
