// A Windows program that loads duelcom by name, as the main program does, and
// plays a short game as black on COM1: a new game, a move, a pass, and the
// partner's reply to each, after a few calls out of order and after the
// library's waiting read has been cancelled from another thread. Prints what
// it received; exit code 0 on success.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using IntFn = int (*)(int);
using SendFn = int (*)(int, int);
using ReceiveFn = int (*)(int*, int*);
using CloseFn = int (*)();

template <typename T>
T Bind(HMODULE library, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The library's port: the one handle of this process that answers as a
// serial port.
HANDLE FindPort() {
  for (UINT_PTR value = 4; value < 0x10000; value += 4) {
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(reinterpret_cast<HANDLE>(value), &timeouts)) {
      return reinterpret_cast<HANDLE>(value);
    }
  }
  return nullptr;
}

// Cancels the port's pending I/O (the library reader's waiting read) from this
// thread until the library has reported the abort, then goes on cancelling for
// a while, as a cause that repeats would. The library writes its report to this
// process's standard output, diverted into a pipe meanwhile; returns what it
// wrote there, or "" if it never reported.
std::string CancelTheWaitingRead(HANDLE port) {
  using CancelIoExFn = BOOL(WINAPI*)(HANDLE, OVERLAPPED*);  // looked up: the builds target XP
  const auto cancelIoEx = reinterpret_cast<CancelIoExFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "CancelIoEx")));
  int ends[2];
  if (!cancelIoEx || !port || _pipe(ends, 4096, _O_BINARY) != 0) return "";
  std::fflush(stdout);
  const int saved = _dup(1);
  _dup2(ends[1], 1);
  const HANDLE reports = reinterpret_cast<HANDLE>(_get_osfhandle(ends[0]));
  DWORD waiting = 0;
  for (int tries = 0; tries < 10000 && !waiting; ++tries) {
    cancelIoEx(port, nullptr);
    Sleep(1);
    PeekNamedPipe(reports, nullptr, 0, nullptr, &waiting, nullptr);
  }
  for (int tries = 0; waiting && tries < 50; ++tries) {
    cancelIoEx(port, nullptr);
    Sleep(1);
  }
  std::fflush(stdout);
  _dup2(saved, 1);
  _close(saved);
  _close(ends[1]);
  std::string text;
  char buffer[256];
  for (int n; (n = _read(ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  _close(ends[0]);
  return text;
}

}  // namespace

int main() {
  HMODULE library = LoadLibraryA("duelcom");
  if (!library) {
    std::printf("peer: duelcom not loaded (%lu)\n", GetLastError());
    return 2;
  }
  const auto initcom = Bind<IntFn>(library, "initcom");
  const auto newgame = Bind<IntFn>(library, "newgame");
  const auto sendxy = Bind<SendFn>(library, "sendxy");
  const auto receivexy = Bind<ReceiveFn>(library, "receivexy");
  const auto closecom = Bind<CloseFn>(library, "closecom");
  if (!initcom || !newgame || !sendxy || !receivexy || !closecom) {
    std::printf("peer: an export is missing\n");
    return 2;
  }
  // No COM3: the library reports why and holds nothing.
  std::printf("peer: initcom(3) %d closecom %d\n", initcom(3), closecom());
  std::fflush(stdout);
  if (!initcom(1)) return 3;
  std::printf("peer: initcom(1) again %d\n", initcom(1));
  // The reader waits on the silent line; its wait is cancelled under it.
  std::printf("%s", CancelTheWaitingRead(FindPort()).c_str());
  int agreed = 0;
  for (int attempt = 0; attempt < 5 && !agreed; ++attempt) agreed = newgame(1);
  std::printf("peer: newgame %d\n", agreed);
  int failures = agreed ? 0 : 1;
  const int moves[][2] = {{4, 16}, {0, 0}};
  for (const auto& move : moves) {
    const int answered = sendxy(move[0], move[1]);
    int x = -1;
    int y = -1;
    int got = 0;
    for (int waited = 0; waited < 20000 && !got; waited += 10) {
      got = receivexy(&x, &y);
      if (!got) Sleep(10);
    }
    std::printf("peer: sent %d,%d answered %d received %d %d,%d\n", move[0], move[1], answered, got,
                x, y);
    failures += !answered + !got;
  }
  std::fflush(stdout);
  closecom();
  closecom();
  FreeLibrary(library);
  return failures == 0 ? 0 : 1;
}
