// The Windows program: the real desktop, clock, libraries and file times, and the
// toolkit's Win32 backend. The current directory is left as the program was
// started with: the pictures and registry files are found relative to it.
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Ui.h"
#include "tovarin/shell/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The loader first: it takes the current directory out of the library search
  // before anything is loaded.
  platform::win32::Win32LibraryLoader libraries;
  platform::win32::Win32Desktop desktop;
  platform::win32::Win32Clock clock;
  platform::win32::Win32Files files;
  tovarin::Services services{desktop, clock, libraries, files};
  try {
    platform::win32::Win32Application app(instance);
    return tovarin::RunProgram(app, services);
  } catch (const ui::FrameworkError& e) {
    // The toolkit itself could not start.
    MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR);
    return 1;
  }
}
