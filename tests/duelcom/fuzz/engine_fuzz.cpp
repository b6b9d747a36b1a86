// libFuzzer target: arbitrary bytes into the protocol engine, mixed with the
// host's calls. Bytes 0x40..0x7F can never be part of a packet (a header byte is
// 0..3 and the other three have bit 7 set), so they stand for host calls:
//   0x4c  start a new game in colour c & 3 (0 and 3 are refused by the link,
//         but the engine must stay sound)
//   0x5v  send a move built from v
//   0x6_  take the waiting move
//   0x7_  check the invariants
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "duelcom/engine.h"

namespace {

using duelcom::LinkContext;
using duelcom::Packet;

void Require(bool ok) {
  if (!ok) std::abort();
}

// Every packet this side writes is well formed.
void CheckPacket(const Packet& p) {
  Require(p[0] <= 3);
  Require((p[1] & 0x80) && (p[2] & 0x80) && (p[3] & 0x80));
  Require(!(p[2] & 0x08));
  Require(p[1] == duelcom::Checksum(p[0], p[2], p[3]));
}

void CheckState(const LinkContext& c) {
  const int state = static_cast<int>(c.GetState());
  Require(state >= 0 && state <= 3);
  Require(c.GetQueryIndex() >= 0 &&
          c.GetQueryIndex() <= static_cast<int>(LinkContext::Queries.size()));
  Require(c.GetMySeq() == 0 || c.GetMySeq() == 1);
  Require(c.GetHisSeq() == 0 || c.GetHisSeq() == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LinkContext context;
  std::size_t written = 0;
  context.SetWriter([&](const Packet& p) {
    CheckPacket(p);
    ++written;
  });
  context.SetWarningHook([](const char* text) { Require(text && *text); });
  context.SetTrace(size % 2 == 1);
  context.SetTraceSink([](const char* line) { Require(line && *line); });

  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t b = data[i];
    switch (b & 0xF0) {
      case 0x40:
        context.StartNewGame(b & 3);
        break;
      case 0x50:
        context.SendMove((b & 3) * 9 - 1, ((b >> 2) & 3) * 9 - 1);
        break;
      case 0x60: {
        int x = 1000;
        int y = 1000;
        if (context.TakeMove(x, y)) {
          Require(x >= 0 && x <= 19 && y >= -7 && y <= 19);
          Require((x == 0) == (y == 0) || y <= 0);
        } else {
          Require(x == 1000 && y == 1000);
        }
        break;
      }
      case 0x70:
        CheckState(context);
        break;
      default:
        context.FeedByte(b);
    }
  }
  CheckState(context);
  return 0;
}
