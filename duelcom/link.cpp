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
  Context.SetWriter([this](const Packet& packet) { SerialPort->Write(packet); });
  if (!SerialPort->StartReader([this](std::uint8_t byte) { OnByte(byte); }, [this] { OnLost(); })) {
    Close();
    return false;
  }
  return true;
}

void Link::Close() {
  if (!SerialPort) return;
  SerialPort->Close();
  Context.SetWriter(nullptr);
  SerialPort.reset();
}

void Link::OnByte(std::uint8_t byte) {
  {
    std::lock_guard<std::mutex> lock(SendLock);
    Context.FeedByte(byte);
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
  return WaitUntilReady(lock);
}

bool Link::SendMove(int x, int y) {
  std::unique_lock<std::mutex> lock(SendLock);
  Context.SendMove(x, y);
  return WaitUntilReady(lock);
}

bool Link::WaitMove(int& x, int& y, std::uint32_t timeoutMs) {
  const std::uint32_t start = Timing.Tick();
  std::unique_lock<std::mutex> lock(SendLock);
  for (;;) {
    if (Context.TakeMove(x, y)) return true;
    const std::uint32_t elapsed = Timing.Tick() - start;
    if (elapsed > timeoutMs || Lost) return false;
    // In slices, so that a wait of any length never overflows the clock's sums.
    const std::uint32_t slice = std::min<std::uint32_t>(timeoutMs - elapsed, 60000);
    StateChanged.wait_for(lock, std::chrono::milliseconds(slice + 1));
  }
}

bool Link::WaitUntilReady(std::unique_lock<std::mutex>& lock) {
  const std::uint32_t start = Timing.Tick();
  for (;;) {
    if (Context.IsReady()) return true;
    const std::uint32_t elapsed = Timing.Tick() - start;
    if (elapsed > Timing.TimeoutMs || Lost) return false;
    // The reader wakes this wait after every byte; the time-out is checked
    // again on the tick count, so a coarse tick or a spurious wake-up is harmless.
    StateChanged.wait_for(lock, std::chrono::milliseconds(Timing.TimeoutMs - elapsed + 1));
  }
}

}  // namespace duelcom
