// The serial port under the protocol engine: one implementation per platform
// (port_posix.cpp, port_win32.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "duelcom/engine.h"

namespace duelcom {

class Port {
 public:
  using ByteSink = std::function<void(std::uint8_t)>;
  using LostSink = std::function<void()>;

  virtual ~Port() = default;

  // Starts the reader thread; it hands every received byte to the sink, on
  // the reader thread, until Close. Reports "Error creating READ thread".
  // `lost`, if given, is called once on the reader thread when the reader
  // ends because the device can no longer be read (the far end hung up, the
  // device was unplugged), never because of Close.
  virtual bool StartReader(ByteSink sink, LostSink lost = nullptr) = 0;
  // One write of the packet, given up after 5 ms a byte plus 10 ms. A failed
  // write is reported as "sendc error"; a write cut short by its time-out is not.
  virtual void Write(const Packet& packet) = 0;
  // Stops the reader (it no longer touches the sink once this returns), lets
  // what is already written leave the port (for at most CloseDrainMs: the last
  // acknowledgement of a game is often written just before the close), purges
  // what is left in both directions and closes the device. Safe to call twice.
  virtual void Close() = 0;
};

// Opens port 1 or 2 with the fixed line settings and time-outs. On failure it
// reports the reason ("Failed to open port", "SetCommTimeouts failed",
// "SetCommState failed"), releases what it opened and returns null.
std::unique_ptr<Port> OpenSerialPort(int number);

// Opens a serial device by name with the same settings and reports: a device
// path on POSIX systems, a port name ("COM3", or "\\.\COM12") on Windows.
std::unique_ptr<Port> OpenSerialDevice(const std::string& name);

// The system's millisecond tick count; differences are taken with wrap-around.
std::uint32_t TickCountMs();

// Writes "label:(code) text" for the calling thread's last system error to
// standard output.
void ReportSystemError(const char* label);

// Per-packet write budget of the line: 5 ms a byte plus 10 ms.
inline constexpr std::uint32_t WriteTimeoutPerByteMs = 5;
inline constexpr std::uint32_t WriteTimeoutConstantMs = 10;
// How long a close waits for the output queue to empty before it purges.
inline constexpr std::uint32_t CloseDrainMs = 200;

}  // namespace duelcom
