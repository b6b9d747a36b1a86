// The serial port on POSIX systems: termios at 2400 baud, 8N1, raw, RTS/CTS.
//
// The device is kept non-blocking. The reader thread blocks in poll() until a
// byte or a wake-up arrives and then reads one byte per call; closing writes to
// a wake-up pipe, so the reader leaves its wait without the device having to be
// pulled away under it. Writes wait for room and for the line to drain within
// the budget of 5 ms a byte plus 10 ms.
//
// A port opened afresh holds nothing, as on Windows: the opening discards what
// the terminal kept from before (a pseudo-terminal keeps what its partner wrote
// after the last close). Closing drops DTR (HUPCL). An open refused because
// another link holds the device leaves that device alone.
//
// The calls whose failure the port reports go through the table of
// port_posix.h, so that tests can make each of them fail.
#include "duelcom/port_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "duelcom/port.h"

namespace duelcom {

namespace {

SystemCalls RealSystemCalls() {
  return SystemCalls{
      .Open = [](const char* path, int flags) { return ::open(path, flags); },
      .Flock = [](int fd, int operation) { return ::flock(fd, operation); },
      .Fcntl = [](int fd, int command, int argument) { return ::fcntl(fd, command, argument); },
      .Ioctl = [](int fd, unsigned long request,
                  void* argument) { return ::ioctl(fd, request, argument); },
      .Tcgetattr = [](int fd, termios* settings) { return ::tcgetattr(fd, settings); },
      .Tcsetattr = [](int fd, int when,
                      const termios* settings) { return ::tcsetattr(fd, when, settings); },
      .Pipe = [](int fds[2], int flags) { return ::pipe2(fds, flags); },
      .CreateThread =
          [](pthread_t* thread, void* (*start)(void*), void* argument) {
            return ::pthread_create(thread, nullptr, start, argument);
          },
      .Write = [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
      .Read = [](int fd, void* data, std::size_t size) { return ::read(fd, data, size); },
      .Poll = [](pollfd* fds, nfds_t count,
                 int timeoutMs) { return ::poll(fds, count, timeoutMs); },
      .Tcflush = [](int fd, int queue) { return ::tcflush(fd, queue); },
      .Close = [](int fd) { return ::close(fd); },
  };
}

}  // namespace

SystemCalls& PortSystemCalls() {
  static SystemCalls calls = RealSystemCalls();
  return calls;
}

void ResetPortSystemCalls() { PortSystemCalls() = RealSystemCalls(); }

namespace {

const SystemCalls& Calls() { return PortSystemCalls(); }

// strerror_r comes in a GNU and an XSI flavour; take whichever this libc has.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }

std::string DeviceName(int number) {
  const char* variable = number == 1 ? "DUELCOM_COM1" : "DUELCOM_COM2";
  if (const char* name = std::getenv(variable); name && *name) return name;
  return number == 1 ? "/dev/ttyS0" : "/dev/ttyS1";
}

std::int64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

class PosixPort final : public Port {
 public:
  ~PosixPort() override { Close(); }

  bool Open(const std::string& name);
  bool StartReader(ByteSink sink, LostSink lost) override;
  void Write(const Packet& packet) override;
  void Close() override;

 private:
  static void* ReaderMain(void* self);
  void ReadLoop();
  void WaitForDrain(std::int64_t deadlineMs);
  // Waits until the output queue is empty; false when the deadline came first.
  bool Drain(std::int64_t deadlineMs);

  int Fd = -1;
  // The device lock is held: the device is this port's to configure and purge.
  bool Locked = false;
  // The terminal's exclusive mode was set by this port and is cleared at close.
  bool SetExclusive = false;
  int WakeRead = -1;
  int WakeWrite = -1;
  pthread_t Reader{};
  bool ReaderStarted = false;
  std::atomic<bool> Running{false};
  ByteSink Sink;
  LostSink Lost;
};

bool PosixPort::Open(const std::string& name) {
  Fd = Calls().Open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (Fd < 0) {
    ReportSystemError("Failed to open port");
    return false;
  }
  // Exclusive use: a lock that every copy of this library honours, and the
  // terminal's own exclusive mode against other programs. Until the lock is
  // taken the device may be another link's, so a failure before it touches
  // nothing but this descriptor.
  if (Calls().Flock(Fd, LOCK_EX | LOCK_NB) != 0) {
    ReportSystemError("Failed to open port");
    return false;
  }
  Locked = true;
  int exclusive = 0;
  if (Calls().Ioctl(Fd, TIOCGEXCL, &exclusive) == 0 && !exclusive) {
    SetExclusive = Calls().Ioctl(Fd, TIOCEXCL, nullptr) == 0;
  }

  // Time-outs: reads block (in poll) until a byte arrives; writes are bounded
  // by their own deadline, which needs the device non-blocking.
  const int flags = Calls().Fcntl(Fd, F_GETFL, 0);
  if (flags < 0 || Calls().Fcntl(Fd, F_SETFL, flags | O_NONBLOCK) != 0) {
    ReportSystemError("SetCommTimeouts failed");
    return false;
  }

  termios tio{};
  if (Calls().Tcgetattr(Fd, &tio) != 0) {
    ReportSystemError("SetCommState failed");
    return false;
  }
  // Raw 8N1 with RTS/CTS and nothing else: no parity check, no XON/XOFF, no
  // character translation. A break is ignored rather than read as a 0 byte.
  // The last close drops DTR, as closing a Windows port does.
  tio.c_iflag = IGNBRK;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag = CS8 | CREAD | CLOCAL | CRTSCTS | HUPCL;
  std::memset(tio.c_cc, 0, sizeof tio.c_cc);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, B2400) != 0 || cfsetospeed(&tio, B2400) != 0 ||
      Calls().Tcsetattr(Fd, TCSANOW, &tio) != 0) {
    ReportSystemError("SetCommState failed");
    return false;
  }
  // Nothing from before this open, nor what came in under the old settings.
  Calls().Tcflush(Fd, TCIOFLUSH);
  // DTR held on while the port is open. Pseudo-terminals have no modem lines.
  int dtr = TIOCM_DTR;
  if (Calls().Ioctl(Fd, TIOCMBIS, &dtr) != 0 && errno != ENOTTY && errno != EINVAL) {
    ReportSystemError("SetCommState failed");
    return false;
  }
  return true;
}

bool PosixPort::StartReader(ByteSink sink, LostSink lost) {
  Sink = std::move(sink);
  Lost = std::move(lost);
  int wake[2];
  if (Calls().Pipe(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    ReportSystemError("Error creating READ thread");
    return false;
  }
  WakeRead = wake[0];
  WakeWrite = wake[1];
  Running.store(true);
  // The reader takes no signals: they belong to the host's own threads.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const int result = Calls().CreateThread(&Reader, &PosixPort::ReaderMain, this);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (result != 0) {
    Running.store(false);
    errno = result;
    ReportSystemError("Error creating READ thread");
    return false;
  }
  ReaderStarted = true;
  return true;
}

void* PosixPort::ReaderMain(void* self) {
  static_cast<PosixPort*>(self)->ReadLoop();
  return nullptr;
}

void PosixPort::ReadLoop() {
  bool lost = false;
  while (Running.load()) {
    pollfd fds[2] = {{Fd, POLLIN, 0}, {WakeRead, POLLIN, 0}};
    if (Calls().Poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      ReportSystemError("WaitComEvent Error");
      lost = true;
      break;
    }
    if (fds[1].revents != 0) break;  // closing
    bool gotByte = false;
    int readError = 0;
    while (Running.load()) {
      std::uint8_t byte = 0;
      const ssize_t n = Calls().Read(Fd, &byte, 1);
      if (n != 1) {
        readError = n < 0 ? errno : 0;
        break;
      }
      gotByte = true;
      Sink(byte);
    }
    // A read that fails, as a device that has gone does, ends the reader as
    // on Windows: poll would report the device readable again at once.
    const bool failed = readError != 0 && readError != EAGAIN && readError != EINTR;
    if (failed || (!gotByte && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)))) {
      // The device hung up: nothing more can arrive, and poll would only
      // report the same again at once. The reader ends; the port stays open.
      errno = readError != 0 && readError != EAGAIN ? readError : EIO;
      ReportSystemError("WaitComEvent Error");
      lost = true;
      break;
    }
  }
  Calls().Tcflush(Fd, TCIFLUSH);
  if (lost && Lost) Lost();
}

void PosixPort::Write(const Packet& packet) {
  const std::int64_t deadline =
      NowMs() + WriteTimeoutPerByteMs * packet.size() + WriteTimeoutConstantMs;
  std::size_t done = 0;
  while (done < packet.size()) {
    const ssize_t n = Calls().Write(Fd, packet.data() + done, packet.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      ReportSystemError("sendc error");
      return;
    }
    const std::int64_t left = deadline - NowMs();
    if (left <= 0) break;  // time-out: the rest of the packet is not sent
    pollfd out{Fd, POLLOUT, 0};
    Calls().Poll(&out, 1, static_cast<int>(left));
  }
  WaitForDrain(deadline);
}

bool PosixPort::Drain(std::int64_t deadlineMs) {
  for (;;) {
    int queued = 0;
    if (Calls().Ioctl(Fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
    if (NowMs() >= deadlineMs) return false;
    SleepMs(1);
  }
}

void PosixPort::WaitForDrain(std::int64_t deadlineMs) {
  // A serial write completes when its bytes have left the line (with CTS
  // asserted). What is still queued when the budget is spent is dropped, so a
  // stalled line loses the packet instead of sending it late.
  if (!Drain(deadlineMs)) Calls().Tcflush(Fd, TCOFLUSH);
}

void PosixPort::Close() {
  if (Fd < 0) return;
  if (!Locked) {
    // A refused open: the device, its queues and its modes belong to the holder.
    Calls().Close(Fd);
    Fd = -1;
    return;
  }
  // The reader first: once it has stopped, nothing more is written.
  Running.store(false);
  if (ReaderStarted) {
    const char wake = 1;
    // The wake-up pipe is the port's own signal, not the device: never a fault.
    [[maybe_unused]] const ssize_t n = ::write(WakeWrite, &wake, 1);
    pthread_join(Reader, nullptr);
    ReaderStarted = false;
  }
  // Then what was written leaves the port before anything is purged. Only a
  // queue that does not drain in time is flushed: on a pseudo-terminal an
  // output flush also discards what the far end has not read yet.
  if (!Drain(NowMs() + CloseDrainMs)) Calls().Tcflush(Fd, TCOFLUSH);
  Calls().Tcflush(Fd, TCIFLUSH);
  // The flag outlives this descriptor if others hold the device open.
  if (SetExclusive) Calls().Ioctl(Fd, TIOCNXCL, nullptr);
  Calls().Close(Fd);
  Fd = -1;
  Locked = SetExclusive = false;
  if (WakeRead >= 0) Calls().Close(WakeRead);
  if (WakeWrite >= 0) Calls().Close(WakeWrite);
  WakeRead = WakeWrite = -1;
}

}  // namespace

std::unique_ptr<Port> OpenSerialPort(int number) {
  if (number != 1 && number != 2) {
    errno = ENODEV;
    ReportSystemError("Failed to open port");
    return nullptr;
  }
  return OpenSerialDevice(DeviceName(number));
}

std::unique_ptr<Port> OpenSerialDevice(const std::string& name) {
  auto port = std::make_unique<PosixPort>();
  if (!port->Open(name)) return nullptr;  // the destructor closes what was opened
  return port;
}

std::uint32_t TickCountMs() { return static_cast<std::uint32_t>(NowMs()); }

void ReportSystemError(const char* label) {
  const int code = errno;
  char buffer[256] = "";
  const char* text = ErrorText(strerror_r(code, buffer, sizeof buffer), buffer);
  std::printf("%s:(%d) %s\n", label, code, text);
  std::fflush(stdout);
}

}  // namespace duelcom
