#include "duelcom/link.h"

#include <algorithm>
#include <chrono>

namespace duelcom {

Link::Link(LinkTiming timing) : Timing(timing) {
#ifdef DUELCOM_TRACE
  Context.SetTrace(true);
#endif
}

Link::~Link() { Close(); }

bool Link::Open(int portNumber) {
  if (SerialPort) return false;
  return Start(OpenSerialPort(portNumber));
}

bool Link::OpenDevice(const std::string& deviceName) {
  if (SerialPort) return false;
  return Start(OpenSerialDevice(deviceName));
}

void Link::SetMonitor(LinkContext::TextSink sink) {
  std::lock_guard<std::mutex> lock(SendLock);
  Context.SetTraceSink(sink);
  Context.SetWarningHook(sink);
  Context.SetTrace(static_cast<bool>(sink));
}

void Link::SetDeniedMoveSink(LinkContext::MoveSink sink) {
  std::lock_guard<std::mutex> lock(SendLock);
  Context.SetDeniedMoveHook(std::move(sink));
}

bool Link::IsLost() {
  std::lock_guard<std::mutex> lock(SendLock);
  return Lost;
}

bool Link::Start(std::unique_ptr<Port> port) {
  if (!port) return false;
  SerialPort = std::move(port);
  Lost = false;
  LastActivity = LastHeard = Timing.Tick();
  // Every write happens under SendLock, like every byte fed.
  Context.SetWriter([this](const Packet& packet) {
    SerialPort->Write(packet);
    LastActivity = Timing.Tick();
  });
  if (!SerialPort->StartReader([this](std::uint8_t byte) { OnByte(byte); }, [this] { OnLost(); })) {
    Close();
    return false;
  }
  return true;
}

void Link::Close() {
  if (!SerialPort) return;
  Linger();
  SerialPort->Close();
  Context.SetWriter(nullptr);
  SerialPort.reset();
}

void Link::OnByte(std::uint8_t byte) {
  {
    std::lock_guard<std::mutex> lock(SendLock);
    LastHeard = Timing.Tick();
    const std::uint32_t taken = Context.GetTaken();
    Context.FeedByte(byte);
    // Stale repeats of the partner's do not count: its lost packet may be the
    // one this side must repeat.
    if (Context.GetTaken() != taken) LastActivity = Timing.Tick();
  }
  StateChanged.notify_all();
}

void Link::OnLost() {
  {
    std::lock_guard<std::mutex> lock(SendLock);
    Lost = true;
  }
  StateChanged.notify_all();
}

bool Link::NewGame(int colour) {
  if (colour != Black && colour != White) return false;
  std::unique_lock<std::mutex> lock(SendLock);
  Context.StartNewGame(colour);
  return WaitUntilReady(lock, true);
}

bool Link::SendMove(int x, int y) {
  std::unique_lock<std::mutex> lock(SendLock);
  Context.SendMove(x, y);
  return WaitUntilReady(lock, false) && !Context.IsMoveDenied();
}

bool Link::MoveDenied() {
  std::lock_guard<std::mutex> lock(SendLock);
  return Context.IsMoveDenied();
}

bool Link::TakeMove(int& x, int& y) {
  if (Context.TakeMove(x, y)) return true;
  if (!SerialPort) return false;
  std::lock_guard<std::mutex> lock(SendLock);
  KeepAwake();
  return false;
}

std::uint32_t Link::KeepAwake() {
  const std::uint32_t silent = Timing.Tick() - LastActivity;
  if (silent < Timing.RepeatMs) return Timing.RepeatMs - silent;
  Context.RepeatOnSilence();
  LastActivity = Timing.Tick();
  return Timing.RepeatMs;
}

void Link::Linger() {
  std::unique_lock<std::mutex> lock(SendLock);
  Context.SetClosing();
  const std::uint32_t start = Timing.Tick();
  while (!Lost && Context.IsAnswering()) {
    const std::uint32_t now = Timing.Tick();
    const std::uint32_t quiet = std::min(now - LastActivity, now - LastHeard);
    if (quiet > Timing.CloseLingerMs || now - start > Timing.CloseLingerMaxMs) return;
    StateChanged.wait_for(lock, std::chrono::milliseconds(Timing.CloseLingerMs - quiet + 1));
  }
}

bool Link::WaitMove(int& x, int& y, std::uint32_t timeoutMs) {
  const std::uint32_t start = Timing.Tick();
  std::unique_lock<std::mutex> lock(SendLock);
  for (;;) {
    if (Context.TakeMove(x, y)) return true;
    const std::uint32_t elapsed = Timing.Tick() - start;
    if (elapsed > timeoutMs || Lost) return false;
    // Woken by every byte; at the latest when the silent line is due a repeat.
    const std::uint32_t slice = std::min(timeoutMs - elapsed, KeepAwake());
    StateChanged.wait_for(lock, std::chrono::milliseconds(slice + 1));
  }
}

bool Link::WaitUntilReady(std::unique_lock<std::mutex>& lock, bool newGame) {
  const std::uint32_t start = Timing.Tick();
  for (;;) {
    if (Context.IsReady()) return true;
    if (newGame && Context.IsRefused()) return false;
    const std::uint32_t elapsed = Timing.Tick() - start;
    if (elapsed > Timing.TimeoutMs || Lost) return false;
    // The reader wakes this wait after every byte; the time-out is checked
    // again on the tick count, so a coarse tick or a spurious wake-up is harmless.
    const std::uint32_t slice = std::min(Timing.TimeoutMs - elapsed, KeepAwake());
    StateChanged.wait_for(lock, std::chrono::milliseconds(slice + 1));
  }
}

}  // namespace duelcom
