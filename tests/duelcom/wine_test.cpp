// The 64-bit Windows build of the library under Wine, its COM1 mapped to a
// pseudo-terminal, against this build's library on the other end.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "duelcom/duelcom.h"
#include "duelcom/engine.h"
#include "sim/NullModem.h"
#include "support/pty.h"

namespace duelcom {
namespace {

namespace fs = std::filesystem;

TEST(DuelcomWine, NewGameAndMoveExchangeWithTheWindowsLibrary) {
  const std::string windowsBuild = TOVARIN_WIN64_DIR;
  if (windowsBuild.empty()) GTEST_SKIP() << "no x86_64 MinGW build given (TOVARIN_WIN64_DIR)";
  const fs::path peer = fs::path(windowsBuild) / "tests/duelcom/duelcom_wine_peer.exe";
  ASSERT_TRUE(fs::exists(peer)) << peer;

  const testing::WinePrefix wine = testing::DuelcomWinePrefix();
  ASSERT_TRUE(wine.Ready) << wine.Prefix;
  const fs::path prefix = wine.Prefix;
  const fs::path com1 = wine.Com1;

  simworld::NullModem wire;
  std::string error;
  ASSERT_TRUE(wire.Open(error)) << error;
  fs::remove(com1);
  fs::create_symlink(wire.Port(1), com1);
  setenv("DUELCOM_COM1", wire.Port(0).c_str(), 1);
  ASSERT_EQ(initcom(1), 1);  // the white side is up before the black one starts

  const std::string command = "WINEPREFIX=" + prefix.string() +
                              " WINEDEBUG=-all /usr/lib/wine/wine64 " + peer.string() + " 2>&1";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr);

  int agreed = 0;
  for (int attempt = 0; attempt < 6 && !agreed; ++attempt) agreed = newgame(2);
  EXPECT_EQ(agreed, 1);
  const int replies[][3] = {{416, 16, 4}, {0, 0, 0}};  // what arrives, what we answer
  for (const auto& reply : replies) {
    int x = -1;
    int y = -1;
    const auto start = std::chrono::steady_clock::now();
    while (!receivexy(&x, &y) &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(x * 100 + y, reply[0]);
    EXPECT_EQ(sendxy(reply[1], reply[2]), 1);
  }

  std::string printed;
  char line[256];
  while (fgets(line, sizeof line, output)) {
    for (char* c = line; *c; ++c) {
      if (*c != '\r') printed += *c;  // the console's line ends
    }
  }
  EXPECT_EQ(pclose(output), 0) << printed;
  EXPECT_EQ(printed,
            "Failed to open port:(2) File not found.\n\n"  // the system text ends its own line
            "peer: initcom(3) 0 closecom 1\n"
            "peer: initcom(1) again 0\n"
            "WaitComEvent Error:(995) I/O operation aborted.\n\n"  // once for a run of aborts
            "peer: newgame 1\n"
            "peer: sent 4,16 answered 1 received 1 16,4\n"
            "peer: sent 0,0 answered 1 received 1 0,0\n");
  closecom();
  const auto fromWindows = wire.Written(1);
  ASSERT_GE(fromWindows.size(), 4u);
  EXPECT_EQ(Packet({fromWindows[0], fromWindows[1], fromWindows[2], fromWindows[3]}),
            Packet({0x01, 0xA1, 0xA0, 0x80}));
}

}  // namespace
}  // namespace duelcom
