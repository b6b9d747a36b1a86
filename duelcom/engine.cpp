#include "duelcom/engine.h"

#include <cstdarg>
#include <cstdio>

namespace duelcom {

namespace {

constexpr std::uint32_t MoveReadyBit = 0x80000000u;
constexpr int ColourBit = 0x200;
constexpr int OkValue = 1023;

std::uint32_t PackMove(int x, int y) {
  return MoveReadyBit | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(x)) << 8) |
         static_cast<std::uint8_t>(y);
}

}  // namespace

std::uint8_t Checksum(std::uint8_t header, std::uint8_t command, std::uint8_t value) {
  return static_cast<std::uint8_t>(0x80 | ((header + command + value) & 0xFF));
}

Packet BuildPacket(Command command, int value, int mySeq, int hisSeq) {
  const auto v = static_cast<unsigned>(command == Command::OK ? OkValue : value) & 0x3FFu;
  Packet p{};
  p[3] = static_cast<std::uint8_t>(0x80 | (v & 0x7F));
  p[2] = static_cast<std::uint8_t>((0x80 | (static_cast<unsigned>(command) << 4) | ((v >> 7) & 7)) &
                                   ~0x08u);
  p[0] = static_cast<std::uint8_t>(((hisSeq & 1) << 1) | (mySeq & 1));
  p[1] = Checksum(p[0], p[2], p[3]);
  return p;
}

int EncodePoint(int x, int y) {
  if (x == 0 && y == 0) return 0;
  // Unsigned arithmetic: callers may pass any ints and only the low bits are
  // sent, so the sum wraps instead of overflowing.
  const auto n = static_cast<std::uint32_t>(BoardSize);
  const std::uint32_t point =
      static_cast<std::uint32_t>(x) + (n - static_cast<std::uint32_t>(y)) * n;
  return static_cast<int>(point);
}

void DecodePoint(int value, int& x, int& y) {
  const int p = value & 0x1FF;
  if (p == 0) {
    x = 0;
    y = 0;
    return;
  }
  x = (p - 1) % BoardSize + 1;
  y = BoardSize - (p - 1) / BoardSize;
}

int AnswerFor(int query, int localColour) {
  switch (query) {
    case 0:  // game: Go
      return 1;
    case 6:  // character set
    case 7:  // rules
    case 8:  // handicap
      return 1;
    case 9:  // board size
      return BoardSize;
    case 11:  // colour: this side's own, 1 white and 2 black
      return localColour == Black ? 2 : 1;
    default:  // buffer size, version, stones, times, time limit, who, unknown
      return 0;
  }
}

PacketCheck CheckPacket(const Packet& p) {
  if (Checksum(p[0], p[2], p[3]) != p[1]) return PacketCheck::WrongChecksum;
  if (p[2] & 0x08) return PacketCheck::WrongCommandByte;
  return PacketCheck::Good;
}

PacketFields DecodePacket(const Packet& p) {
  PacketFields f;
  f.Cmd = static_cast<Command>((p[2] & 0x70) >> 4);
  f.Value = ((p[2] & 7) << 7) | (p[3] & 0x7F);
  f.S = p[0] & 1;
  f.H = (p[0] >> 1) & 1;
  return f;
}

bool PacketFramer::Feed(std::uint8_t byte, Packet& packet) {
  if (!(byte & 0x80)) {
    if (byte & 0xFC) {
      Pos = 0;  // neither a header nor part of a packet
      return false;
    }
    Buffer[0] = byte;
    Pos = 1;
    return false;
  }
  if (Pos == 0) return false;  // not a header byte
  Buffer[static_cast<std::size_t>(Pos++)] = byte;
  if (Pos < 4) return false;
  Pos = 0;
  packet = Buffer;
  return true;
}

LinkContext::LinkContext() = default;

bool LinkContext::IsMoveReady() const {
  return (PendingMove.load(std::memory_order_acquire) & MoveReadyBit) != 0;
}

bool LinkContext::IsAnswering() const { return Answering && !AwaitingReply; }

void LinkContext::FeedByte(std::uint8_t byte) {
  Packet p;
  if (Framer.Feed(byte, p)) HandlePacket(p);
}

void LinkContext::HandlePacket(const Packet& p) {
  switch (CheckPacket(p)) {
    case PacketCheck::WrongChecksum:
      Warn("Wrong checksum.");
      return;
    case PacketCheck::WrongCommandByte:
      Warn("Wrong command byte.");
      return;
    case PacketCheck::Good:
      break;
  }
  const PacketFields fields = DecodePacket(p);
  const Command command = fields.Cmd;
  const int value = fields.Value;
  Trace("Receive: com=%d arg=%d(%2x %2x %2x %2x)\r\n", static_cast<int>(command), value, p[0], p[1],
        p[2], p[3]);

  const int s = fields.S;
  const bool hMatches = fields.H == MySeq;
  const bool sMatches = s == HisSeq;
  const bool isOk = command == Command::OK;

  // The partner asks for this side's colour before either side has named
  // one: the query waits, untaken, until StartNewGame names it.
  if (command == Command::QUERY && value == 11 && hMatches && !sMatches && !ColourChosen &&
      PartnerColour == 0) {
    if (!HeldColourQuery) Warn("Warn: QUERY - Colour not named yet, hold.");
    HeldColourQuery = true;
    HeldColourQueryS = s;
    return;
  }

  if (AwaitingReply) {
    if (isOk) {
      if (!hMatches) {
        Warn("Warn: OK - My sequence number is old.");
      } else if (sMatches) {
        Accept(command, value, s);
      } else {
        Warn("Warn: OK - His sequence is not equal.");
      }
    } else if (!hMatches && !sMatches) {
      // Both sides sent a command at once: this side yields and takes back its
      // own unanswered command; the partner's is taken when it repeats it.
      MySeq = 1 - MySeq;
      OwnRequest = false;
      Yielded = true;
      Warn("Warn: CMD - Conflict.");
    } else if (!hMatches) {
      Warn("Warn: CMD - His command is old.");
      Resend();
    } else if (!sMatches) {
      Accept(command, value, s);
    } else {
      Warn("Warn: CMD - Not possible, discard.");
    }
    return;
  }

  if (isOk) {
    Warn("Warn: OK - not wainting, discard.");
  } else if (!hMatches && sMatches && LastSentIsReply) {
    // The partner repeats the command this side answered or refused: it did
    // not hear the reply, which goes again byte for byte.
    Warn("Warn: CMD - His command is old. Send again.");
    Resend();
  } else if (!hMatches) {
    Warn("Warn: CMD - My sequence is not updated.");
  } else if (!sMatches) {
    Accept(command, value, s);
  } else if (!AcceptedAny) {
    // A fresh link has taken nothing, so this is no repeat of a command it
    // answered: a stale packet of an earlier link (the partner's first
    // command carries bit 1).
    Warn("Warn: CMD - Nothing taken yet, discard.");
  } else {
    Warn("Warn: CMD - His command is old. Send OK again.");
    Send(Command::OK, OkValue);
  }
}

void LinkContext::Accept(Command command, int value, int s) {
  if (Closing && command != Command::OK) {
    Warn("Warn: CMD - Link closing, discard.");
    return;
  }
  HisSeq = s;
  ++Taken;
  AcceptedAny = true;
  // A command that acknowledges this side's outstanding MOVE answers it as an
  // OK would: the move was delivered. (Not after a conflict: the partner's
  // acknowledgement then names the packet before the move taken back.)
  if (AwaitingReply && State == LinkState::MoveSent && !Yielded && command != Command::OK &&
      command != Command::DENY) {
    State = LinkState::Ready;
    AwaitingReply = false;
  }
  Yielded = false;
  LastSentIsReply = false;
  switch (command) {
    case Command::OK:
      if (State == LinkState::Negotiating || State == LinkState::MoveSent) State = LinkState::Ready;
      AwaitingReply = false;
      break;
    case Command::DENY:
      if (State == LinkState::Negotiating) {
        // The game is refused: no wait for it goes on.
        State = LinkState::Idle;
        OwnRequest = false;
        Refused = true;
      } else if (State == LinkState::MoveSent) {
        State = LinkState::Ready;
        MoveDenied = true;
      }
      AwaitingReply = false;
      break;
    case Command::NEWGAME:
      OwnRequest = false;
      PartnerGame = !ColourChosen;
      PartnerColour = 0;
      Refused = false;
      ColourClash = false;
      State = LinkState::Negotiating;
      QueryIndex = 0;
      SendNextQuery();
      break;
    case Command::QUERY:
      AnswerQuery(value);
      break;
    case Command::ANSWER:
      // An answer is the reply to this side's query: nothing is awaited until
      // the next query goes out. (Still awaiting after the closing OK, a
      // repeat of the partner's last answer, sent because that OK was lost,
      // would be discarded instead of drawing a fresh OK.) Only the partner's
      // colour is kept. Answers beyond the end of the list count as reaching
      // its end again.
      AwaitingReply = false;
      if (QueryIndex < static_cast<int>(Queries.size())) {
        if (Queries[static_cast<std::size_t>(QueryIndex)] == 11)
          PartnerColour = value == 1 ? White : value == 2 ? Black : 0;
        ++QueryIndex;
      }
      if (ColoursClash()) Refuse();
      if (Refused) {
        // No closing OK for a game this side refuses.
        Send(Command::DENY, 0);
        LastSentIsReply = true;
        return;
      }
      SendNextQuery();
      break;
    case Command::MOVE:
      ReceiveMove(value);
      break;
    case Command::TAKEBACK:
    case Command::EXTEND:
      break;  // not supported: accepted in sequence terms, no reply
  }
}

void LinkContext::ReceiveMove(int value) {
  const int colour = (value & ColourBit) ? White : Black;
  int x = 0;
  int y = 0;
  DecodePoint(value, x, y);
  if (State != LinkState::Ready) {
    // No game is agreed on this side: the partner must not count the move
    // as taken.
    Warn("Warn: MOVE - No game, deny.");
    Send(Command::DENY, 0);
    LastSentIsReply = true;
    return;
  }
  if (ColourChosen && colour == LocalColour) {
    Warn("You send wrong color.");
    Send(Command::DENY, 0);
    LastSentIsReply = true;
    if (DeniedMoveHook) DeniedMoveHook(colour, x, y);
    return;
  }
  Send(Command::OK, OkValue);
  PendingMove.store(PackMove(x, y), std::memory_order_release);
}

void LinkContext::SendNextQuery() {
  if (QueryIndex >= static_cast<int>(Queries.size())) {
    Send(Command::OK, OkValue);
    State = LinkState::Ready;
    return;
  }
  Send(Command::QUERY, Queries[static_cast<std::size_t>(QueryIndex)]);
}

void LinkContext::AnswerQuery(int query) {
  // Until this side's colour is named it is not known: the start value would
  // tell the partner a colour this side may not play.
  Send(Command::ANSWER, query == 11 && !ColourChosen ? 0 : AnswerFor(query, LocalColour));
  LastSentIsReply = true;
}

bool LinkContext::ColoursClash() const {
  return ColourChosen && PartnerColour != 0 && PartnerColour == LocalColour;
}

void LinkContext::Refuse() {
  Warn(LocalColour == Black ? "Warn: Both sides are black, refuse the game."
                            : "Warn: Both sides are white, refuse the game.");
  State = LinkState::Idle;
  Refused = true;
  ColourClash = true;
  OwnRequest = false;
  PartnerGame = false;
  HeldColourQuery = false;
}

void LinkContext::StartNewGame(int colour) {
  const bool repeat =
      colour == Black && OwnRequest && State == LinkState::Negotiating && AwaitingReply;
  // The partner's colour counts for the game it started, or for the one this
  // side refused; a game this side asks for learns it afresh.
  if (!PartnerGame && !ColourClash) PartnerColour = 0;
  LocalColour = colour;
  ColourChosen = true;
  MoveDenied = false;
  Refused = false;
  ColourClash = false;
  if (ColoursClash()) {
    // The partner has named this colour for itself: no game, and no request
    // that would start a second one on its side.
    Refuse();
    return;
  }
  if (HeldColourQuery) {
    HeldColourQuery = false;
    HisSeq = HeldColourQueryS;
    AcceptedAny = true;
    Yielded = false;
    AnswerQuery(11);
  }
  if (PartnerGame) {
    PartnerGame = false;  // the partner's game, in the colour now named
    return;
  }
  if (colour != Black) return;
  if (repeat) {
    // The request (or this side's last answer to the partner's queries) is
    // repeated as a lost packet is: the partner takes it if it is new to him
    // and answers it as a repeat otherwise, so both sides agree or neither.
    Resend();
    return;
  }
  State = LinkState::Negotiating;
  Send(Command::NEWGAME, 0);
  OwnRequest = true;
}

void LinkContext::SendMove(int x, int y) {
  int value = EncodePoint(x, y);
  if (LocalColour == White) value |= ColourBit;
  State = LinkState::MoveSent;
  MoveDenied = false;
  Send(Command::MOVE, value);
}

void LinkContext::RepeatOnSilence() {
  if (Yielded) return;
  if (!SentAny) {
    // Bytes that start no packet: they wake a peer that repeats only when
    // bytes arrive, and no peer can take them for an answer. (An OK from a
    // link that knows no sequence bits could match those of a peer that
    // awaits an answer, when this side has just restarted.)
    static constexpr Packet Wake = {0xFF, 0xFF, 0xFF, 0xFF};
    if (Writer) Writer(Wake);
    Trace("Send Wake: %2x %2x %2x %2x\r\n", Wake[0], Wake[1], Wake[2], Wake[3]);
    return;
  }
  Resend();
}

bool LinkContext::TakeMove(int& x, int& y) {
  if (!IsMoveReady()) return false;
  const std::uint32_t word = PendingMove.exchange(0, std::memory_order_acq_rel);
  if (!(word & MoveReadyBit)) return false;
  x = static_cast<std::int8_t>(word >> 8);
  y = static_cast<std::int8_t>(word);
  return true;
}

void LinkContext::Send(Command command, int value) {
  if (command != Command::OK) MySeq = 1 - MySeq;
  SentAny = true;
  Yielded = false;
  LastSentIsReply = false;
  Answering = command == Command::OK || command == Command::ANSWER || command == Command::DENY;
  if (command == Command::NEWGAME || command == Command::QUERY || command == Command::MOVE) {
    AwaitingReply = true;
  }
  LastSent = BuildPacket(command, value, MySeq, HisSeq);
  if (Writer) Writer(LastSent);
  Trace("Send: com=%d arg=%d (%2x %2x %2x %2x)\r\n", static_cast<int>(command), value, LastSent[0],
        LastSent[1], LastSent[2], LastSent[3]);
}

void LinkContext::Resend() {
  if (Writer) Writer(LastSent);
  Trace("Send Again: %2x %2x %2x %2x\r\n", LastSent[0], LastSent[1], LastSent[2], LastSent[3]);
}

void LinkContext::Warn(const char* text) {
  if (WarningHook) WarningHook(text);
}

void LinkContext::Trace(const char* format, ...) {
  if (!TraceOn) return;
  char line[96];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (TraceSink) {
    TraceSink(line);
  } else {
    std::fputs(line, stdout);
    std::fflush(stdout);
  }
}

}  // namespace duelcom
