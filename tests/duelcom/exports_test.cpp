// Two copies of the shared library talking through their exports over a pair
// of pseudo-terminals joined at their masters.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

#include "duelcom/engine.h"
#include "sim/NullModem.h"
#include "support/pty.h"

namespace duelcom {
namespace {

namespace fs = std::filesystem;

// One loaded copy of the library, from its own file so that it has its own link.
struct Library {
  explicit Library(const std::string& name) {
    const fs::path dir =
        fs::temp_directory_path() / ("duelcom-exports-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path copy = dir / (name + ".so");
    fs::copy_file(DUELCOM_LIBRARY, copy, fs::copy_options::overwrite_existing);
    Handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!Handle) ADD_FAILURE() << dlerror();
    initcom = reinterpret_cast<int (*)(int)>(dlsym(Handle, "initcom"));
    newgame = reinterpret_cast<int (*)(int)>(dlsym(Handle, "newgame"));
    sendxy = reinterpret_cast<int (*)(int, int)>(dlsym(Handle, "sendxy"));
    receivexy = reinterpret_cast<int (*)(int*, int*)>(dlsym(Handle, "receivexy"));
    closecom = reinterpret_cast<int (*)()>(dlsym(Handle, "closecom"));
    fs::remove(copy);
    std::error_code ignored;
    fs::remove(dir, ignored);  // once empty: the other copy may still be in it
  }
  ~Library() {
    closecom();
    dlclose(Handle);
  }
  // The move waiting, as 100 x + y, or -1 when there is none.
  int Received() {
    int x = -9;
    int y = -9;
    return receivexy(&x, &y) ? x * 100 + y : -1;
  }
  // The receiver acknowledges a move before it stores it, so the sender's sendxy
  // can return a moment before the move is there to fetch: poll for it briefly.
  int Arrived() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int got;
    while ((got = Received()) == -1 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return got;
  }

  void* Handle = nullptr;
  int (*initcom)(int) = nullptr;
  int (*newgame)(int) = nullptr;
  int (*sendxy)(int, int) = nullptr;
  int (*receivexy)(int*, int*) = nullptr;
  int (*closecom)() = nullptr;
};

struct ExportsTest : ::testing::Test {
  simworld::NullModem Wire;
  Library White{"white"}, Black{"black"};
  ExportsTest() {
    std::string error;
    EXPECT_TRUE(Wire.Open(error)) << error;
    setenv("DUELCOM_COM1", Wire.Port(0).c_str(), 1);
    setenv("DUELCOM_COM2", Wire.Port(1).c_str(), 1);
  }
};

TEST_F(ExportsTest, CallingOrder) {
  int x = 5;
  int y = 6;
  EXPECT_EQ(White.newgame(2), 0);  // nothing open yet
  EXPECT_EQ(White.sendxy(1, 1), 0);
  EXPECT_EQ(White.receivexy(&x, &y), 0);
  EXPECT_EQ(x * 100 + y, 506);
  EXPECT_EQ(White.closecom(), 1);

  ::testing::internal::CaptureStdout();
  EXPECT_EQ(White.initcom(3), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Failed to open port:(19) No such device\n");
  EXPECT_EQ(White.closecom(), 1);  // after a failed initcom
  EXPECT_EQ(White.newgame(2), 0);

  ASSERT_EQ(White.initcom(1), 1);
  EXPECT_EQ(White.initcom(2), 0);  // already open: the open link is untouched
  ASSERT_EQ(Black.initcom(2), 1);
  EXPECT_EQ(Black.newgame(1), 1);
  EXPECT_EQ(White.newgame(2), 1);
  EXPECT_EQ(White.closecom(), 1);
  EXPECT_EQ(White.closecom(), 1);
  EXPECT_EQ(White.newgame(2), 0);
  EXPECT_EQ(White.sendxy(0, 0), 0);
  EXPECT_EQ(White.Received(), -1);
  ASSERT_EQ(White.initcom(1), 1);  // open again after closing
}

TEST_F(ExportsTest, GameOfMovesAndPasses) {
  ASSERT_EQ(White.initcom(1), 1);
  ASSERT_EQ(Black.initcom(2), 1);
  auto white = std::async(std::launch::async, [&] { return White.newgame(2); });
  EXPECT_EQ(Black.newgame(1), 1);
  EXPECT_EQ(white.get(), 1);
  const auto fromBlack = Wire.Written(1);
  ASSERT_GE(fromBlack.size(), 4u);
  EXPECT_EQ(Packet({fromBlack[0], fromBlack[1], fromBlack[2], fromBlack[3]}),
            Packet({0x01, 0xA1, 0xA0, 0x80}));

  const int moves[][2] = {{4, 16}, {16, 4}, {17, 16}, {0, 0}, {3, 3}, {0, 0}, {0, 0}};
  for (std::size_t i = 0; i < std::size(moves); ++i) {
    Library& mover = i % 2 ? White : Black;
    Library& other = i % 2 ? Black : White;
    ASSERT_EQ(mover.sendxy(moves[i][0], moves[i][1]), 1) << i;
    EXPECT_EQ(other.Arrived(), moves[i][0] * 100 + moves[i][1]) << i;
    EXPECT_EQ(other.Received(), -1);
  }

  // An unfetched move is overwritten by the next one.
  EXPECT_EQ(Black.sendxy(10, 10), 1);
  EXPECT_EQ(Black.sendxy(11, 11), 1);

  // A new game on the open link in which both sides think they are black:
  // Black refuses it once White names its own colour too, so White's newgame
  // fails at once; Black's next move is denied, and its sendxy says so. White's
  // reader took the answer to its NEWGAME only after it had stored the move it
  // acknowledged, and the unfetched move outlives the new game.
  EXPECT_EQ(White.newgame(1), 0);
  EXPECT_EQ(White.Received(), 1111);
  EXPECT_EQ(Black.sendxy(5, 5), 0);
  EXPECT_EQ(White.Received(), -1);
}

// The request goes again after each second of silence, byte for byte, and
// the wait ends after 10 s.
TEST_F(ExportsTest, NewGameAgainstASilentPartnerRepeatsAndGivesUp) {
  ASSERT_EQ(Black.initcom(2), 1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Black.newgame(1), 0);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_GE(ms, 10000);
  EXPECT_LT(ms, 12000);  // not a second time-out; a loaded machine wakes late
  const std::vector<std::uint8_t> sent = Wire.Written(1);
  ASSERT_EQ(sent.size() % 4, 0u);
  EXPECT_GE(sent.size(), 4u * 9);
  EXPECT_LE(sent.size(), 4u * 11);
  for (std::size_t i = 0; i < sent.size(); i += 4)
    EXPECT_EQ(Packet({sent[i], sent[i + 1], sent[i + 2], sent[i + 3]}),
              Packet({0x01, 0xA1, 0xA0, 0x80}));
}

}  // namespace
}  // namespace duelcom
