// The Go Modem Protocol engine: one link context per open link.
//
// The engine owns no thread and no port. Received bytes come in one at a time
// through FeedByte; packets go out through the packet writer it is given. It is
// not thread-safe by itself: the caller serialises every call except TakeMove,
// which may run on another thread at any time (the received move is published
// through one atomic word).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

namespace duelcom {

using Packet = std::array<std::uint8_t, 4>;

enum class Command : int {
  OK = 0,
  DENY = 1,
  NEWGAME = 2,
  QUERY = 3,
  ANSWER = 4,
  MOVE = 5,
  TAKEBACK = 6,
  EXTEND = 7,
};

enum class LinkState : int {
  Idle = 0,         // no game agreed
  Negotiating = 1,  // a new game is being agreed
  Ready = 2,        // a game is agreed and no move of this side is outstanding
  MoveSent = 3,     // this side's MOVE waits for its answer
};

// Colours of the moves this side sends.
inline constexpr int Black = 1;
inline constexpr int White = 2;

// The move encoding numbers the points of a 19 x 19 board; nothing changes it.
inline constexpr int BoardSize = 19;

// Builds the packet for a command and value with the given sequence bits
// (`mySeq` is the bit after any toggle). An OK always carries 1023; only the
// low 10 bits of a value go out.
Packet BuildPacket(Command command, int value, int mySeq, int hisSeq);

// The checksum byte for bytes 0, 2 and 3 of a packet.
std::uint8_t Checksum(std::uint8_t header, std::uint8_t command, std::uint8_t value);

// Move value of a point in the library's coordinates (x column 1..19 from the
// left, y row 1..19 from the top, 0/0 a pass), without the colour bit and
// without any range check: the arithmetic wraps like the 32-bit integers of the
// wire encoding, so any ints give a defined result.
int EncodePoint(int x, int y);

// The inverse for the low 9 bits of a received value: 0 gives 0/0, points
// above 361 come out with y of 0 or below.
void DecodePoint(int value, int& x, int& y);

// The reply to a QUERY with the given number.
int AnswerFor(int query, int localColour);

// What a received packet holds, and whether it can be taken at all.
enum class PacketCheck { Good, WrongChecksum, WrongCommandByte };
struct PacketFields {
  Command Cmd = Command::OK;
  int Value = 0;  // 10 bits
  int S = 0;      // the sender's own sequence bit
  int H = 0;      // the sequence bit the sender last took from the receiver
};
// A packet passes when its checksum holds and bit 3 of its command byte is
// clear: bytes that pass the plain sum with that bit set are a damaged packet,
// typically one shifted by a lost byte.
PacketCheck CheckPacket(const Packet& packet);
PacketFields DecodePacket(const Packet& packet);

// Assembles packets from the bytes of a line. Only a header byte (0..3) has
// bit 7 clear: it starts a packet, and inside a packet it means the packet was
// cut short, which is dropped; a byte with bit 7 clear that is no header drops
// the incomplete packet too.
class PacketFramer {
 public:
  // True when `byte` completed a packet, which is then in `packet`.
  bool Feed(std::uint8_t byte, Packet& packet);

 private:
  Packet Buffer{};
  int Pos = 0;
};

class LinkContext {
 public:
  using PacketWriter = std::function<void(const Packet&)>;
  using TextSink = std::function<void(const char*)>;
  using MoveSink = std::function<void(int colour, int x, int y)>;

  // The list of queries this side asks when the partner starts a game.
  static constexpr std::array<int, 2> Queries = {11, 8};

  LinkContext();

  void SetWriter(PacketWriter writer) { Writer = std::move(writer); }
  // Protocol warnings go here; by default they are discarded.
  void SetWarningHook(TextSink hook) { WarningHook = std::move(hook); }
  // Trace lines for every packet sent, resent and received (off by default;
  // printed on standard output unless a sink is given).
  void SetTrace(bool on) { TraceOn = on; }
  void SetTraceSink(TextSink sink) { TraceSink = std::move(sink); }
  // Each move the partner sends in this side's own colour, which is denied,
  // goes here with its colour and point (none by default).
  void SetDeniedMoveHook(MoveSink hook) { DeniedMoveHook = std::move(hook); }

  // Byte assembly; a completed packet is handled at once. A header byte (bit 7
  // clear) inside a packet drops the incomplete packet and starts a new one, so
  // a damaged packet costs only itself.
  void FeedByte(std::uint8_t byte);
  // Names this side's colour. Colour 1 sends NEWGAME and waits for the
  // partner's answer; colour 2 waits for the partner's NEWGAME. Neither resets
  // the link state or the pending move.
  // Colour 1 while this side's own request is still being negotiated repeats
  // the last packet byte for byte instead of sending a new command: the
  // partner may not have heard the first one (its port was not open yet), and
  // a fresh partner takes only a packet that carries the first sequence bit.
  // A game the partner started before the colour was named is taken as it
  // stands, in either colour: a second NEWGAME would start another game on a
  // partner that has agreed one. If the partner has named the same colour as
  // this side, the game is refused instead (IsRefused).
  void StartNewGame(int colour);
  void SendMove(int x, int y);
  // Fetches the partner's waiting move, if any. Safe on any thread.
  bool TakeMove(int& x, int& y);
  bool IsReady() const { return State == LinkState::Ready; }
  // The game cannot be agreed: the partner denied this side's NEWGAME, or the
  // two sides named the same colour. Cleared by the next StartNewGame unless
  // the colours still clash.
  bool IsRefused() const { return Refused; }
  // The partner denied this side's last MOVE: the move was not taken.
  bool IsMoveDenied() const { return MoveDenied; }
  // The host calls this when the line has been silent for about a second
  // while it waits for the partner: nothing written, and nothing taken
  // (GetTaken). Unless this side has just yielded in a conflict (the partner
  // repeats its own command then), the last packet is written again byte for
  // byte, or four bytes that start no packet on a link that has sent nothing
  // yet: every peer answers a repeat or drops it, and a peer that repeats only
  // when bytes arrive repeats its own lost packet in turn.
  void RepeatOnSilence();

  // Read-only views, for the link and for tests.
  LinkState GetState() const { return State; }
  bool IsAwaitingReply() const { return AwaitingReply; }
  int GetMySeq() const { return MySeq; }
  int GetHisSeq() const { return HisSeq; }
  bool IsColourChosen() const { return ColourChosen; }
  // The last packet sent answered a command of the partner's (an OK, ANSWER
  // or DENY) and nothing of this side's waits: the partner may still repeat
  // that command if the answer was lost, so a closing link listens a while.
  bool IsAnswering() const;
  // The link is closing: a new command of the partner's is no longer taken
  // (a new game would be agreed on a link about to go), while a repeat of one
  // already taken is still answered.
  void SetClosing() { Closing = true; }
  // Counts the partner's packets taken (commands accepted, OKs that answered
  // this side): a line where only stale repeats arrive is still silent.
  std::uint32_t GetTaken() const { return Taken; }
  // The colour the partner named in its answer to query 11 (0: not named).
  int GetPartnerColour() const { return PartnerColour; }
  int GetQueryIndex() const { return QueryIndex; }
  const Packet& GetLastSent() const { return LastSent; }
  bool IsMoveReady() const;

 private:
  void HandlePacket(const Packet& p);
  void Accept(Command command, int value, int s);
  void ReceiveMove(int value);
  void SendNextQuery();
  void AnswerQuery(int query);
  bool ColoursClash() const;
  void Refuse();
  void Send(Command command, int value);
  void Resend();
  void Warn(const char* text);
  void Trace(const char* format, ...);

  int MySeq = 0;
  int HisSeq = 0;
  PacketFramer Framer;
  Packet LastSent{};
  LinkState State = LinkState::Idle;
  bool AwaitingReply = false;
  int QueryIndex = 0;
  int LocalColour = Black;
  // StartNewGame has named this side's colour. Until then a partner's move is
  // not judged by colour: the reader may negotiate the partner's new game and
  // take its first move before the host has said which side it plays.
  bool ColourChosen = false;
  // This side's NEWGAME waits for the partner's agreement.
  bool OwnRequest = false;
  // The partner's NEWGAME was taken before this side named its colour; the
  // next StartNewGame joins that game instead of starting one.
  bool PartnerGame = false;
  // The partner's own colour from its answer to query 11: 0 unknown, else
  // Black or White.
  int PartnerColour = 0;
  // A query 11 that came while neither side had named a colour: it is neither
  // taken nor answered until StartNewGame names this side's (an answer "not
  // known" would leave a partner that does not know its own with no colour).
  // Its repeats are the same packet and are held the same way.
  bool HeldColourQuery = false;
  int HeldColourQueryS = 0;
  bool Refused = false;
  // This side refused the partner's game because both named the same colour;
  // a new StartNewGame in that colour is refused again.
  bool ColourClash = false;
  bool MoveDenied = false;
  // A command of the partner's has been taken since the link opened; until
  // then a command that looks like a repeat is a stale packet, not a repeat.
  bool AcceptedAny = false;
  // The last packet sent is this side's ANSWER or DENY to the partner's last
  // command: a repeat of that command is answered with it again.
  bool LastSentIsReply = false;
  // This side took back its own command in a conflict: the partner repeats
  // its command, so a silent line is not a reason to send.
  bool Yielded = false;
  bool SentAny = false;
  bool Closing = false;
  // The last packet sent answered a command of the partner's.
  bool Answering = false;
  std::uint32_t Taken = 0;
  // The pending move and its ready flag in one word: bit 31 is "move ready",
  // bits 8..15 hold x and bits 0..7 hold y as 8-bit two's complement (decoded
  // points stay within -7..19). Stored with release after the move is complete
  // and taken with one acquire exchange, so a fetch never mixes two moves.
  std::atomic<std::uint32_t> PendingMove{0};

  PacketWriter Writer;
  TextSink WarningHook;
  TextSink TraceSink;
  MoveSink DeniedMoveHook;
  bool TraceOn = false;
};

}  // namespace duelcom
