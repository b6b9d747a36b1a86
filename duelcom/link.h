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
  // How long the line must have been silent, while this side waits for the
  // partner, before the last packet goes again.
  std::uint32_t RepeatMs = 1000;
  // A closing link whose last packet answered the partner listens until the
  // line has been quiet this long (the partner repeats a command whose answer
  // it lost after RepeatMs), for at most CloseLingerMaxMs.
  std::uint32_t CloseLingerMs = 1600;
  std::uint32_t CloseLingerMaxMs = 5000;
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
  // If the last packet answered a command of the partner's, it first listens
  // while the partner may still repeat that command (CloseLingerMs).
  void Close();

  // Starts a new game in the given colour (1 black, 2 white) and waits until
  // the link is ready, the game is refused, or the time-out has passed.
  bool NewGame(int colour);
  // Sends a move (0/0 a pass) and waits until the partner has taken it; false
  // on the time-out or when the partner denies it (MoveDenied).
  bool SendMove(int x, int y);
  // The partner denied the last move sent.
  bool MoveDenied();
  // Fetches the partner's waiting move without blocking. With none waiting, a
  // line silent for RepeatMs gets the last packet again, as in the waits.
  bool TakeMove(int& x, int& y);
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
  // Waits until the link is ready; a wait for a new game also ends when the
  // game is refused.
  bool WaitUntilReady(std::unique_lock<std::mutex>& lock, bool newGame);
  // Repeats the last packet if the line has been silent for RepeatMs; returns
  // how long the wait may sleep before it must look again.
  std::uint32_t KeepAwake();
  void Linger();
  void OnByte(std::uint8_t byte);
  void OnLost();

  LinkTiming Timing;
  // Every send, from either thread, and every change of the link context
  // happens under this lock.
  std::mutex SendLock;
  std::condition_variable StateChanged;
  LinkContext Context;
  bool Lost = false;
  // The tick count of the last packet written or taken, and of the last byte
  // received.
  std::uint32_t LastActivity = 0;
  std::uint32_t LastHeard = 0;
  std::unique_ptr<Port> SerialPort;
};

}  // namespace duelcom
