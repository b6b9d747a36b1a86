// One open link: the protocol engine, the serial port with its reader thread,
// and the waits of the exported functions.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "duelcom/engine.h"
#include "duelcom/port.h"

namespace duelcom {

struct LinkTiming {
  // How long NewGame and SendMove wait for the partner.
  std::uint32_t TimeoutMs = 10000;
  // The tick count the waits are measured on.
  std::uint32_t (*Tick)() = TickCountMs;
};

class Link {
 public:
  explicit Link(LinkTiming timing = {});
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // Opens the port and starts the reader; on false nothing is held.
  bool Open(int portNumber);
  // The same for a serial device given by name (see OpenSerialDevice).
  bool OpenDevice(const std::string& deviceName);
  // Stops the reader and closes the port; returns once the reader has stopped.
  void Close();

  // Starts a new game in the given colour (1 black, 2 white) and waits until
  // the link is ready or the time-out has passed.
  bool NewGame(int colour);
  // Sends a move (0/0 a pass) and waits until the partner has answered it.
  bool SendMove(int x, int y);
  // Fetches the partner's waiting move without blocking.
  bool TakeMove(int& x, int& y) { return Context.TakeMove(x, y); }
  // Waits up to `timeoutMs` for the partner's move and fetches it.
  bool WaitMove(int& x, int& y, std::uint32_t timeoutMs);
  // Every trace line and protocol warning of the engine goes to `sink`, on
  // whichever thread sends or receives. Set before Open.
  void SetMonitor(LinkContext::TextSink sink);
  // Every move of this side's own colour that the partner sends, and that the
  // link denies, goes to `sink` on the reader thread. Set before Open.
  void SetDeniedMoveSink(LinkContext::MoveSink sink);
  // The port's reader has ended because the device can no longer be read
  // (the far end hung up, the device is gone): nothing more can arrive, and
  // the waits above end at once.
  bool IsLost();

 private:
  bool Start(std::unique_ptr<Port> port);
  bool WaitUntilReady(std::unique_lock<std::mutex>& lock);
  void OnByte(std::uint8_t byte);
  void OnLost();

  LinkTiming Timing;
  // Every send, from either thread, and every change of the link context
  // happens under this lock.
  std::mutex SendLock;
  std::condition_variable StateChanged;
  LinkContext Context;
  bool Lost = false;
  std::unique_ptr<Port> SerialPort;
};

}  // namespace duelcom
