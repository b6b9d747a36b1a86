#pragma once
// Two pseudo-terminals joined as a null-modem cable joins two serial ports: a
// relay thread copies what one side writes to the other. The slave ends are the
// two ports; both are also held open here, raw with echo off, so that either
// program may close and reopen its port between games. Bytes sent while the
// other port is closed are lost, as on a cable (a port purges its input when it
// is opened).
#include <string>
#include <thread>

namespace simworld {

class NullModem {
 public:
  NullModem() = default;
  ~NullModem();  // the relay stops and both lines close
  NullModem(const NullModem&) = delete;
  NullModem& operator=(const NullModem&) = delete;

  // Makes the two joined lines. False with the reason in `error`.
  bool Open(std::string& error);
  bool IsOpen() const { return Relay_.joinable(); }
  // The device of port 0 or 1.
  const std::string& Port(int side) const { return SlavePaths_[side]; }

 private:
  void Relay();

  int Masters_[2] = {-1, -1};
  int Slaves_[2] = {-1, -1};
  std::string SlavePaths_[2];
  int Wake_[2] = {-1, -1};
  std::thread Relay_;
};

}  // namespace simworld
