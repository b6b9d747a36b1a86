// Two protocol engines on a serial line in virtual time, each driven by a host
// that waits as the link library's exports do: it names its colour (black after
// Tovarin's 5 s prompt, or whenever the test says), gives each new-game try and
// each move 10 s, repeats its last packet after a second in which nothing was
// written or taken while it waits for the partner, and after the game keeps the
// line open while the partner may still repeat a command it answered. The line
// carries a byte every 4 ms and can lose one packet or damage bytes from a seed.
// No threads, no clock: a whole game takes milliseconds.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "duelcom/engine.h"

namespace duelcom::testing {

class VirtualLine {
 public:
  struct Faults {
    int LostPacket = -1;  // the n-th packet written on the line, both ways counted, is lost
    // The share of bytes damaged, each way: dropped, a bit flipped, preceded by
    // a random byte, delayed 50-500 ms (the line stalls) or doubled, a fifth each.
    double ByteRate = 0;
    std::uint32_t Seed = 1;
  };
  using Move = std::array<int, 2>;

  VirtualLine(int blackNamedAtMs, int whiteNamedAtMs, Faults faults);

  // Plays until both sides have closed their line or 10 minutes have passed;
  // true when both recorded the whole game as played.
  bool Play();
  int PacketsWritten() const { return Packets; }
  // A move recorded on either side that differs from the one played.
  bool WrongMove() const;
  // Packets that passed the checksum on the receiving side although the
  // sender never wrote them: damage the protocol cannot see.
  int UndetectedDamage() const { return Undetected; }
  // When the last side closed its line, in virtual ms.
  int EndedAtMs() const { return Ended; }
  std::string Outcome() const;
  // Every trace line and warning of both sides, for a test that fails.
  void SetMonitor(std::function<void(int ms, const char* side, const char* line)> monitor);

 private:
  struct Side {
    LinkContext Context;
    int Colour = Black;
    int NamedAt = 0;
    int Tries = 0;
    int Since = -1;  // the start of the running try, move or linger; -1 none
    bool Agreed = false, Failed = false, Closed = false;
    int LastActivity = 0;  // a packet written or taken
    int LastHeard = 0;     // any byte received
    std::vector<Move> Moves;
    std::deque<std::pair<int, std::uint8_t>> Incoming;  // arrival time, byte
    int LineFreeAt = 0;
    std::uint32_t Random = 1;
    std::set<std::uint32_t> Written;
    PacketFramer Framer;  // what arrives here, framed as the engine frames it
    std::string LastWarning;
  };

  std::uint32_t Next(Side& s);
  void Write(int from, const Packet& p);
  void Deliver(Side& s, const Side& sender);
  void KeepAwake(Side& s);
  void Step(Side& s);

  Faults Fault;
  Side Sides[2];
  std::vector<Move> Script;
  int Now = 0;
  int Packets = 0;
  int Undetected = 0;
  int Ended = 0;
};

}  // namespace duelcom::testing
