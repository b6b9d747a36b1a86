#pragma once
// Two pseudo-terminals joined as a null-modem cable joins two serial ports: a
// relay thread copies what one side writes to the other. The slave ends are the
// two ports; both are also held open here, raw with echo off, so that either
// program may close and reopen its port between games. Bytes sent while the
// other port is closed are lost, as on a cable (a port purges its input when it
// is opened).
//
// The cable can be a bad one: from a seed, each byte is damaged with a given
// probability, a fifth each of the time dropped, a bit flipped, preceded by a
// random byte, delayed 50-500 ms (the bytes after it wait too, as on a line
// that stalls) or sent twice. Each direction draws from its own generator, so
// the n-th byte a side writes always meets the same fate.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/Pty.h"

namespace simworld {

class NullModem {
 public:
  struct Faults {
    double Rate = 0;  // the share of bytes damaged, 0 to 1
    std::uint64_t Seed = 1;
    // The n-th packet on the cable (counted from 0 by its header byte, both
    // ways in the order the relay reads them) is lost whole; -1 none.
    int LostPacket = -1;
  };

  NullModem() = default;
  explicit NullModem(Faults faults) : Faults_(faults) {}
  ~NullModem();  // the relay stops and both lines close
  NullModem(const NullModem&) = delete;
  NullModem& operator=(const NullModem&) = delete;

  // The damage the cable does; set before Open.
  void SetFaults(const Faults& faults) { Faults_ = faults; }
  // Makes the two joined lines. False with the reason in `error`.
  bool Open(std::string& error);
  bool IsOpen() const { return Relay_.joinable(); }
  // The device of port 0 or 1.
  const std::string& Port(int side) const { return Lines_[side]->SlavePath; }
  // Every byte port `side` wrote, and what of it reached the other port.
  std::vector<std::uint8_t> Written(int side);
  std::vector<std::uint8_t> Delivered(int side);

 private:
  struct Direction {
    std::vector<std::pair<std::uint64_t, std::uint8_t>> Queue;  // release time (µs), byte
    std::uint64_t StallUntil = 0;
    std::uint64_t Random = 0;
    std::vector<std::uint8_t> Written, Delivered;
    int Swallow = 0;  // bytes of a lost packet still to drop
  };
  void Relay();
  void Take(int side, const std::uint8_t* bytes, std::size_t count, std::uint64_t now);
  std::uint32_t Draw(Direction& d);

  Faults Faults_;
  std::unique_ptr<Pty> Lines_[2];
  int Wake_[2] = {-1, -1};
  std::mutex Lock_;
  Direction Directions_[2];
  int Packets_ = 0;
  std::thread Relay_;
};

}  // namespace simworld
