// Failures of the serial port's system calls, made through the table of
// port_posix.h: what the library reports, what its caller is told, and that
// nothing is left behind.
#include <dirent.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "duelcom/link.h"
#include "duelcom/port_posix.h"
#include "support/pty.h"

namespace duelcom {
namespace {

// The entries of a folder of /proc/self: open descriptors or threads.
int CountEntries(const char* folder) {
  DIR* dir = opendir(folder);
  int count = 0;
  while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
  closedir(dir);
  return count;
}

// Puts the real calls back when a test ends, however it ends.
struct RealCallsAfterwards {
  ~RealCallsAfterwards() { ResetPortSystemCalls(); }
};

struct Fault {
  const char* Call;
  void (*Inject)(SystemCalls&);
  const char* Report;
};

TEST(PortFaults, AFailedOpenIsReportedAndLeavesNothingBehind) {
  const Fault faults[] = {
      {"open", [](SystemCalls& c) { c.Open = [](const char*, int) { return errno = EACCES, -1; }; },
       "Failed to open port:(13) Permission denied\n"},
      {"fcntl", [](SystemCalls& c) { c.Fcntl = [](int, int, int) { return errno = EBADF, -1; }; },
       "SetCommTimeouts failed:(9) Bad file descriptor\n"},
      {"tcsetattr",
       [](SystemCalls& c) {
         c.Tcsetattr = [](int, int, const termios*) { return errno = EIO, -1; };
       },
       "SetCommState failed:(5) Input/output error\n"},
      {"pipe2", [](SystemCalls& c) { c.Pipe = [](int*, int) { return errno = EMFILE, -1; }; },
       "Error creating READ thread:(24) Too many open files\n"},
      {"pthread_create",
       [](SystemCalls& c) {
         c.CreateThread = [](pthread_t*, void* (*)(void*), void*) { return EAGAIN; };
       },
       "Error creating READ thread:(11) Resource temporarily unavailable\n"},
  };
  testing::Pty line;
  setenv("DUELCOM_COM1", line.SlavePath.c_str(), 1);
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.Call);
    const int descriptors = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    Link link;
    {
      RealCallsAfterwards restore;
      fault.Inject(PortSystemCalls());
      ::testing::internal::CaptureStdout();
      EXPECT_FALSE(link.Open(1));
      EXPECT_EQ(::testing::internal::GetCapturedStdout(), fault.Report);
    }
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
    int exclusive = 1;
    ASSERT_EQ(ioctl(line.Slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_TRUE(link.Open(1));  // tried again, the link has its device
  }
}

std::atomic<bool> FailNextWrite{false};

// A tick count that moves on by a whole time-out at every reading while
// SkipWaits is set, so that a wait for an answer that cannot come ends at once.
std::atomic<bool> SkipWaits{false};
std::uint32_t SkippingTick() {
  static std::atomic<std::uint32_t> skipped{0};
  if (SkipWaits) skipped += 20000;
  return TickCountMs() + skipped;
}

TEST(PortFaults, AFailedWriteIsReportedAndTheRequestIsRepeatedWhole) {
  RealCallsAfterwards restore;
  PortSystemCalls().Write = [](int fd, const void* data, std::size_t size) -> ssize_t {
    if (FailNextWrite.exchange(false)) return errno = EIO, -1;
    return ::write(fd, data, size);
  };
  testing::Pty line;
  Link ours{{10000, SkippingTick}};
  ASSERT_TRUE(ours.OpenDevice(line.SlavePath));
  FailNextWrite = true;
  SkipWaits = true;
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(ours.NewGame(Black));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "sendc error:(5) Input/output error\n");
  SkipWaits = false;
  pollfd master{line.Master, POLLIN, 0};
  EXPECT_EQ(poll(&master, 1, 0), 0);  // nothing reached the line

  // Asked again, the link sends its request, still the first of the link,
  // and the partner agrees to it.
  testing::Partner far(line.Master);
  far.With([](LinkContext& c) { c.StartNewGame(White); });
  EXPECT_TRUE(ours.NewGame(Black));
  const auto received = far.Received();
  ASSERT_GE(received.size(), 4u);
  EXPECT_EQ(Packet({received[0], received[1], received[2], received[3]}),
            BuildPacket(Command::NEWGAME, 0, 1, 0));
  ours.Close();
}

std::atomic<bool> FailReads{false};

// A read that fails in mid-game ends the reader as a device that has gone
// does: reported once, the link lost, the wait for the partner's move over.
TEST(PortFaults, AFailedReadInMidGameLosesTheLink) {
  RealCallsAfterwards restore;
  PortSystemCalls().Read = [](int fd, void* data, std::size_t size) -> ssize_t {
    if (FailReads.load()) return errno = EIO, -1;
    return ::read(fd, data, size);
  };
  testing::Pty line;
  Link ours;
  ASSERT_TRUE(ours.OpenDevice(line.SlavePath));
  testing::Partner far(line.Master);
  far.With([](LinkContext& c) { c.StartNewGame(White); });
  ASSERT_TRUE(ours.NewGame(Black));
  ASSERT_TRUE(ours.SendMove(4, 16));
  ::testing::internal::CaptureStdout();
  FailReads = true;
  far.With([](LinkContext& c) { c.SendMove(16, 4); });
  int x = 0;
  int y = 0;
  EXPECT_FALSE(ours.WaitMove(x, y, 60000));
  EXPECT_TRUE(ours.IsLost());
  ours.Close();
  FailReads = false;
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "WaitComEvent Error:(5) Input/output error\n");
}

}  // namespace
}  // namespace duelcom
