// A Windows program that loads duelcom by name, as the main program does, and
// plays a short game as black on COM1: a new game, a move, a pass, and the
// partner's reply to each, after a few calls out of order. Prints what it
// received; exit code 0 on success.
#include <windows.h>

#include <cstdio>

namespace {

using IntFn = int (*)(int);
using SendFn = int (*)(int, int);
using ReceiveFn = int (*)(int*, int*);
using CloseFn = int (*)();

template <typename T>
T Bind(HMODULE library, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
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
