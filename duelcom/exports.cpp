// The five exported functions over the one link of the process.
#include <new>

#include "duelcom/duelcom.h"
#include "duelcom/link.h"

namespace {

// Only one link per process. A plain pointer on purpose: the link is never torn
// down by a static destructor (on Windows that would join the reader thread
// under the loader lock); closecom releases it.
duelcom::Link* OpenLink = nullptr;

// No exception leaves the library: a failure becomes the 0 result.
template <typename F>
int Guarded(F&& f) {
  try {
    return f() ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace

extern "C" {

DUELCOM_API int initcom(int port) {
  if (OpenLink) return 0;
  return Guarded([port] {
    auto* link = new (std::nothrow) duelcom::Link();
    if (!link) return false;
    if (!link->Open(port)) {
      delete link;
      return false;
    }
    OpenLink = link;
    return true;
  });
}

DUELCOM_API int newgame(int colour) {
  if (!OpenLink) return 0;
  return Guarded([colour] { return OpenLink->NewGame(colour); });
}

DUELCOM_API int sendxy(int x, int y) {
  if (!OpenLink) return 0;
  return Guarded([x, y] { return OpenLink->SendMove(x, y); });
}

DUELCOM_API int receivexy(int* x, int* y) {
  if (!OpenLink || !x || !y) return 0;
  return OpenLink->TakeMove(*x, *y) ? 1 : 0;
}

DUELCOM_API int closecom(void) {
  if (OpenLink) {
    OpenLink->Close();
    delete OpenLink;
    OpenLink = nullptr;
  }
  return 1;
}

}  // extern "C"
