#pragma once
// The Windows API as the backend includes it. The toolkit has a MessageBox of its
// own, so the API's macro of that name (for MessageBoxW) is dropped: the backend
// calls MessageBoxW by its own name.
#include <windows.h>
#undef MessageBox

// The header of a 32-bit top-down bitmap of width x height pixels in memory: the
// form in which screen snapshots are taken and pictures are drawn.
inline BITMAPINFO TopDownBitmapInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}
