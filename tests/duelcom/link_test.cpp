// The link over a real pseudo-terminal: port, reader thread, waits.
#include "duelcom/link.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/NullModem.h"
#include "support/pty.h"

namespace duelcom {
namespace {

using testing::Partner;
using testing::Pty;
using Clock = std::chrono::steady_clock;

// Waits that end on the partner's answer are given the full time-out, so that a
// loaded machine cannot turn a late answer into a failure; only the silent
// partner's waits are short.
constexpr std::uint32_t AnswerTimeoutMs = 10000;
constexpr std::uint32_t ShortTimeoutMs = 300;
// A wait that ends long after its time-out is caught; a loaded machine's late
// wake-up is not taken for one.
constexpr long WakeSlackMs = 2000;

// A tick count that starts 256 ms short of its wrap, so the first wait of a
// test spans it.
std::uint32_t WrappingTick() {
  static const std::uint32_t offset = 0xFFFFFF00u - TickCountMs();
  return TickCountMs() + offset;
}

struct LinkTest : ::testing::Test {
  Pty Line;
  Link Ours{{AnswerTimeoutMs, WrappingTick}};
  LinkTest() { setenv("DUELCOM_COM1", Line.SlavePath.c_str(), 1); }
  void OpenOurs() { ASSERT_TRUE(Ours.Open(1)); }
};

long ElapsedMs(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST_F(LinkTest, GameAgainstAnEngineOnTheFarEnd) {
  OpenOurs();
  Partner far(Line.Master);
  far.With([](LinkContext& c) { c.StartNewGame(White); });
  ASSERT_TRUE(Ours.NewGame(Black));
  const auto first = far.Received();
  ASSERT_GE(first.size(), 4u);
  EXPECT_EQ(Packet({first[0], first[1], first[2], first[3]}), Packet({0x01, 0xA1, 0xA0, 0x80}));
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }));

  ASSERT_TRUE(Ours.SendMove(4, 16));
  int x = 0;
  int y = 0;
  // A receiver acknowledges a move before it stores it.
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsMoveReady(); }));
  ASSERT_TRUE(far.With([&](LinkContext& c) { return c.TakeMove(x, y); }));
  EXPECT_EQ(x * 100 + y, 416);

  // The partner moves twice before we look: the second replaces the first.
  far.With([](LinkContext& c) { c.SendMove(16, 4); });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }));
  far.With([](LinkContext& c) { c.SendMove(0, 0); });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }));

  // A partner that believes it is black too: our reader refuses its new game
  // (after the pass it acknowledged was stored), our move is denied, and the
  // unfetched pass outlives it all.
  far.With([](LinkContext& c) { c.StartNewGame(Black); });
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsRefused(); }));
  EXPECT_FALSE(Ours.SendMove(0, 0));
  EXPECT_TRUE(Ours.MoveDenied());
  ASSERT_TRUE(Ours.TakeMove(x, y));
  EXPECT_EQ(x * 100 + y, 0);
  EXPECT_FALSE(Ours.TakeMove(x, y));
}

TEST_F(LinkTest, NewGameAsWhiteReturnsAsSoonAsReady) {
  OpenOurs();
  Partner far(Line.Master);
  std::thread black([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    far.With([](LinkContext& c) { c.StartNewGame(Black); });
  });
  const auto start = Clock::now();
  EXPECT_TRUE(Ours.NewGame(White));
  EXPECT_LT(ElapsedMs(start), static_cast<long>(AnswerTimeoutMs));  // woken, not timed out
  black.join();
  EXPECT_TRUE(Ours.NewGame(White));  // still ready: at once
}

TEST_F(LinkTest, WaitMoveOnADeviceByName) {
  Link named{{AnswerTimeoutMs, WrappingTick}};
  std::mutex lock;  // lines come from both threads
  std::vector<std::string> trace;
  named.SetMonitor([&](const char* line) {
    std::lock_guard<std::mutex> hold(lock);
    trace.push_back(line);
  });
  ASSERT_TRUE(named.OpenDevice(Line.SlavePath));
  Partner far(Line.Master);
  far.With([](LinkContext& c) { c.StartNewGame(White); });
  ASSERT_TRUE(named.NewGame(Black));
  ASSERT_TRUE(far.WaitFor([](LinkContext& c) { return c.IsReady(); }));
  {
    std::lock_guard<std::mutex> hold(lock);
    EXPECT_EQ(trace.front(), "Send: com=2 arg=0 ( 1 a1 a0 80)\r\n");
  }

  int x = 0;
  int y = 0;
  const auto start = Clock::now();
  EXPECT_FALSE(named.WaitMove(x, y, ShortTimeoutMs));  // a silent far end
  EXPECT_GE(ElapsedMs(start), static_cast<long>(ShortTimeoutMs));
  far.With([](LinkContext& c) { c.SendMove(16, 4); });
  ASSERT_TRUE(named.WaitMove(x, y, AnswerTimeoutMs));
  EXPECT_EQ(x * 100 + y, 1604);
  named.Close();
}

TEST_F(LinkTest, SilentPartnerTimesOutAcrossTheTickWrap) {
  Link quick{{ShortTimeoutMs, WrappingTick}};
  ASSERT_TRUE(quick.Open(1));
  auto start = Clock::now();
  EXPECT_FALSE(quick.NewGame(White));
  EXPECT_GE(ElapsedMs(start), static_cast<long>(ShortTimeoutMs));
  EXPECT_LT(ElapsedMs(start), static_cast<long>(ShortTimeoutMs) + WakeSlackMs);

  start = Clock::now();
  EXPECT_FALSE(quick.NewGame(Black));
  EXPECT_GE(ElapsedMs(start), static_cast<long>(ShortTimeoutMs));
  std::uint8_t sent[16];
  EXPECT_EQ(::read(Line.Master, sent, sizeof sent), 4);  // exactly one NEWGAME
  EXPECT_FALSE(quick.SendMove(1, 1));
  EXPECT_EQ(::read(Line.Master, sent, sizeof sent), 4);
  EXPECT_EQ(sent[2] & 0x70, 0x50);  // the MOVE
  // A late answer still makes the link ready for a game as white, which the
  // caller asks for again, as it would after a time-out.
  testing::WriteAll(Line.Master, BuildPacket(Command::OK, 0, 0, 0));
  bool ready = false;
  for (int call = 0; call < 20 && !ready; ++call) ready = quick.NewGame(White);
  EXPECT_TRUE(ready);
}

TEST_F(LinkTest, CloseEndsABlockedReaderAndHangUpEndsIt) {
  OpenOurs();
  const auto start = Clock::now();
  Ours.Close();  // the reader is waiting for a byte
  EXPECT_LT(ElapsedMs(start), WakeSlackMs);
  EXPECT_TRUE(Ours.Open(1));  // and the device can be opened again

  ::testing::internal::CaptureStdout();
  Line.CloseMaster();  // the far end goes away: the reader ends once, no spin
  // Its report, in the file that holds the captured output, comes before the
  // close: a close that came first would end the reader without one.
  struct stat captured {};
  for (int i = 0; i < 5000 && fstat(1, &captured) == 0 && captured.st_size == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Ours.Close();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "WaitComEvent Error:(5) Input/output error\n");
}

// Two copies of the library on a joined pair of pseudo-terminals, the white
// side opening its port some time after black's first request, black retrying
// as Tovarin does (five tries, white seven). Tries are 2 s here instead of 10 s;
// the delays keep their proportions (0, 5, 15, 25 and 35 s of 10 s tries).
TEST(TwoLibraries, AGameIsAgreedOnBothSidesWheneverWhiteStartsListening) {
  constexpr std::uint32_t TryMs = 2000;
  const int delaysMs[] = {0, 1000, 3000, 5000, 7000};
  struct Result {
    bool Black = false;
    bool White = false;
  };
  Result results[std::size(delaysMs)];
  std::vector<std::thread> cases;
  for (std::size_t i = 0; i < std::size(delaysMs); ++i) {
    cases.emplace_back([&, i] {
      simworld::NullModem cable;
      std::string error;
      ASSERT_TRUE(cable.Open(error)) << error;
      Link black{{TryMs, TickCountMs}};
      Link white{{TryMs, TickCountMs}};
      ASSERT_TRUE(black.OpenDevice(cable.Port(0)));
      std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delaysMs[i]));
        ASSERT_TRUE(white.OpenDevice(cable.Port(1)));
        for (int t = 0; t < 7 && !results[i].White; ++t) results[i].White = white.NewGame(White);
      });
      for (int t = 0; t < 5 && !results[i].Black; ++t) results[i].Black = black.NewGame(Black);
      late.join();
      // The game is on for both: a move crosses and is acknowledged.
      if (results[i].Black && results[i].White) {
        int x = 0;
        int y = 0;
        EXPECT_TRUE(black.SendMove(4, 16));
        EXPECT_TRUE(white.WaitMove(x, y, AnswerTimeoutMs));
        EXPECT_EQ(x * 100 + y, 416);
      }
    });
  }
  for (std::thread& c : cases) c.join();
  for (std::size_t i = 0; i < std::size(delaysMs); ++i) {
    EXPECT_TRUE(results[i].Black) << "white " << delaysMs[i] << " ms late";
    EXPECT_TRUE(results[i].White) << "white " << delaysMs[i] << " ms late";
  }
}

// The reader acknowledges the partner's last move and the host closes at once:
// the acknowledgement still reaches the partner (a purge right after the write
// used to drop it on a pseudo-terminal most of the time).
TEST(TwoLibraries, TheLastAcknowledgementLeavesBeforeTheClose) {
  int delivered = 0;
  constexpr int Rounds = 20;
  for (int round = 0; round < Rounds; ++round) {
    Pty line;
    LinkTiming noLinger;  // the write before the close alone
    noLinger.CloseLingerMs = 0;
    Link ours{noLinger};
    ASSERT_TRUE(ours.OpenDevice(line.SlavePath));
    Partner far(line.Master);
    far.With([](LinkContext& c) { c.StartNewGame(Black); });
    ASSERT_TRUE(ours.NewGame(White));
    far.With([](LinkContext& c) { c.SendMove(0, 0); });
    int x = -1;
    int y = -1;
    ASSERT_TRUE(ours.WaitMove(x, y, AnswerTimeoutMs));
    ours.Close();
    if (far.WaitFor([](LinkContext& c) { return c.IsReady(); }, 2000)) ++delivered;
  }
  EXPECT_EQ(delivered, Rounds);
}

TEST(LinkOpen, FailuresAreReportedWithTheSystemText) {
  Pty line;
  setenv("DUELCOM_COM2", line.SlavePath.c_str(), 1);
  Link first;
  ASSERT_TRUE(first.Open(2));
  Link second;
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(second.Open(2));  // held exclusively
  EXPECT_FALSE(second.Open(3));
  setenv("DUELCOM_COM2", "/nonexistent/tty", 1);
  EXPECT_FALSE(second.Open(2));
  char file[] = "/tmp/duelcom-not-a-tty-XXXXXX";
  const int fd = mkstemp(file);
  ASSERT_GE(fd, 0);
  setenv("DUELCOM_COM2", file, 1);
  EXPECT_FALSE(second.Open(2));
  std::string printed = ::testing::internal::GetCapturedStdout();
  // The device held: refused by the terminal's exclusive mode (EBUSY; root
  // passes it) or else by the lock (EWOULDBLOCK).
  const std::string held = printed.substr(0, printed.find('\n') + 1);
  EXPECT_TRUE(held == "Failed to open port:(16) Device or resource busy\n" ||
              held == "Failed to open port:(11) Resource temporarily unavailable\n")
      << held;
  EXPECT_EQ(printed.substr(held.size()),
            "Failed to open port:(19) No such device\n"
            "Failed to open port:(2) No such file or directory\n"
            "SetCommState failed:(25) Inappropriate ioctl for device\n");
  ::close(fd);
  ::unlink(file);
  EXPECT_FALSE(first.NewGame(3));  // no such colour: refused at once
}

TEST(LinkOpen, LineSettingsIncludeHangUpOnClose) {
  Pty line;
  setenv("DUELCOM_COM1", line.SlavePath.c_str(), 1);
  Link link;
  ASSERT_TRUE(link.Open(1));
  termios tio{};
  ASSERT_EQ(tcgetattr(line.Slave, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B2400));
  EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), CS8 | CRTSCTS | HUPCL);
  EXPECT_EQ(tio.c_lflag, 0u);
}

TEST(LinkOpen, ARefusedOpenLeavesTheHolderItsLine) {
  Pty line;
  setenv("DUELCOM_COM2", line.SlavePath.c_str(), 1);
  Link holder;
  ASSERT_TRUE(holder.Open(2));
  Partner far(line.Master);
  {
    Link second;  // as root the exclusive mode lets it open; the lock refuses it
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(second.Open(2));
    ::testing::internal::GetCapturedStdout();
  }
  int exclusive = 0;
  ASSERT_EQ(ioctl(line.Slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  far.With([](LinkContext& c) { c.StartNewGame(White); });
  EXPECT_TRUE(holder.NewGame(Black));
}

TEST(PortWrite, AStalledLineCostsEachPacketItsBudgetAndNoReport) {
  Pty line;
  setenv("DUELCOM_COM1", line.SlavePath.c_str(), 1);
  std::unique_ptr<Port> port = OpenSerialPort(1);
  ASSERT_TRUE(port);
  // The terminal's output suspended: it takes no byte at all, as a line whose
  // CTS is never asserted, however fast or slow this machine is.
  ASSERT_EQ(tcflow(line.Slave, TCOOFF), 0);
  const Packet ok = BuildPacket(Command::OK, 0, 0, 0);
  ::testing::internal::CaptureStdout();
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    port->Write(ok);
    EXPECT_GE(ElapsedMs(start), 29);
    EXPECT_LT(ElapsedMs(start), 1000);  // given up, not waiting for the line
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST(PortRead, OpeningDiscardsWhatTheLineHeldBefore) {
  Pty line;
  setenv("DUELCOM_COM1", line.SlavePath.c_str(), 1);
  // The partner's pass after the end of the last game, written after its close.
  testing::WriteAll(line.Master, BuildPacket(Command::MOVE, 0, 1, 0));
  std::unique_ptr<Port> port = OpenSerialPort(1);
  ASSERT_TRUE(port);
  std::mutex lock;
  std::condition_variable arrived;
  std::vector<std::uint8_t> received;
  ASSERT_TRUE(port->StartReader([&](std::uint8_t byte) {
    std::lock_guard<std::mutex> hold(lock);
    received.push_back(byte);
    arrived.notify_all();
  }));
  const Packet fresh = BuildPacket(Command::NEWGAME, 0, 1, 0);
  testing::WriteAll(line.Master, fresh);
  {
    std::unique_lock<std::mutex> hold(lock);
    arrived.wait_for(hold, std::chrono::seconds(5), [&] { return received.size() >= 4; });
  }
  port->Close();
  EXPECT_EQ(received, std::vector<std::uint8_t>(fresh.begin(), fresh.end()));
}

}  // namespace
}  // namespace duelcom
