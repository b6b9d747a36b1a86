#include "support/VirtualLine.h"

#include <algorithm>

namespace duelcom::testing {

namespace {

std::uint32_t Key(const Packet& p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace

VirtualLine::VirtualLine(int blackNamedAtMs, int whiteNamedAtMs, Faults faults) : Fault(faults) {
  Sides[0].Colour = Black;
  Sides[0].NamedAt = blackNamedAtMs;
  Sides[1].Colour = White;
  Sides[1].NamedAt = whiteNamedAtMs;
  for (int i = 0; i < 2; ++i) {
    Side& s = Sides[i];
    s.Random = faults.Seed * 2654435761u + static_cast<std::uint32_t>(i) + 1;
    s.Context.SetWriter([this, i](const Packet& p) { Write(i, p); });
    s.Context.SetWarningHook([&s](const char* text) { s.LastWarning = text; });
  }
  // Forty stones in a fixed pattern, then the two passes that end the game.
  for (int i = 1; i <= 40; ++i) Script.push_back({1 + (i * 7) % 19, 1 + (i * 11) % 19});
  Script.push_back({0, 0});
  Script.push_back({0, 0});
}

void VirtualLine::SetMonitor(std::function<void(int, const char*, const char*)> monitor) {
  for (int i = 0; i < 2; ++i) {
    const char* name = i == 0 ? "black" : "white";
    Side& s = Sides[i];
    s.Context.SetWarningHook([this, &s, name, monitor](const char* text) {
      s.LastWarning = text;
      monitor(Now, name, text);
    });
  }
}

std::uint32_t VirtualLine::Next(Side& s) {
  s.Random = s.Random * 1103515245u + 12345u;
  return s.Random >> 8;
}

bool VirtualLine::Play() {
  for (Now = 0; Now < 600000; ++Now) {
    Deliver(Sides[0], Sides[1]);
    Deliver(Sides[1], Sides[0]);
    for (Side& side : Sides) Step(side);
    if (Sides[0].Closed && Sides[1].Closed) break;
  }
  Ended = Now;
  return Sides[0].Moves == Script && Sides[1].Moves == Script;
}

bool VirtualLine::WrongMove() const {
  for (const Side& side : Sides)
    for (std::size_t i = 0; i < side.Moves.size(); ++i)
      if (side.Moves[i] != Script[i]) return true;
  return false;
}

std::string VirtualLine::Outcome() const {
  std::string text;
  for (const Side& side : Sides) {
    text += std::string(side.Colour == Black ? "black" : "white") + ": " +
            std::to_string(side.Moves.size()) + " of " + std::to_string(Script.size()) + " moves";
    if (side.Failed) text += ", failed";
    if (!side.LastWarning.empty()) text += ", last warning \"" + side.LastWarning + "\"";
    text += "; ";
  }
  return text + std::to_string(Undetected) + " damaged packets passed the checksum";
}

void VirtualLine::Write(int from, const Packet& p) {
  Side& s = Sides[from];
  Side& to = Sides[1 - from];
  s.LastActivity = Now;
  s.Written.insert(Key(p));
  if (Packets++ == Fault.LostPacket) return;
  auto put = [&](std::uint8_t b, int extraMs) {
    to.LineFreeAt = std::max(Now, to.LineFreeAt) + 4 + extraMs;
    to.Incoming.push_back({to.LineFreeAt, b});
  };
  for (std::uint8_t b : p) {
    if ((Next(s) % 1000000) / 1e6 >= Fault.ByteRate) {
      put(b, 0);
      continue;
    }
    switch (Next(s) % 5) {
      case 0:  // dropped
        break;
      case 1:
        put(static_cast<std::uint8_t>(b ^ (1u << (Next(s) % 8))), 0);
        break;
      case 2:
        put(static_cast<std::uint8_t>(Next(s)), 0);
        put(b, 0);
        break;
      case 3:
        put(b, 50 + static_cast<int>(Next(s) % 451));
        break;
      default:
        put(b, 0);
        put(b, 0);
    }
  }
}

void VirtualLine::Deliver(Side& s, const Side& sender) {
  while (!s.Incoming.empty() && s.Incoming.front().first <= Now) {
    const std::uint8_t b = s.Incoming.front().second;
    s.Incoming.pop_front();
    if (s.Closed) continue;
    s.LastHeard = Now;
    // Every packet that passes the checks on this side: was it ever written?
    Packet p;
    if (s.Framer.Feed(b, p) && CheckPacket(p) == PacketCheck::Good && !sender.Written.count(Key(p)))
      ++Undetected;
    const std::uint32_t taken = s.Context.GetTaken();
    s.Context.FeedByte(b);
    if (s.Context.GetTaken() != taken) s.LastActivity = Now;
  }
}

void VirtualLine::KeepAwake(Side& s) {
  if (Now - s.LastActivity < 1000) return;
  s.Context.RepeatOnSilence();
  s.LastActivity = Now;
}

void VirtualLine::Step(Side& s) {
  LinkContext& c = s.Context;
  if (s.Closed || Now < s.NamedAt) return;
  if (s.Failed) {
    s.Closed = true;
    return;
  }
  if (!s.Agreed) {
    // Tovarin's tries: five for black, seven for white.
    if (s.Since < 0) {
      if (s.Tries == (s.Colour == Black ? 5 : 7)) {
        s.Failed = true;
        return;
      }
      ++s.Tries;
      s.Since = Now;
      c.StartNewGame(s.Colour);
    }
    if (c.IsReady()) {
      s.Agreed = true;
      s.Since = -1;
    } else if (c.IsRefused() || Now - s.Since > 10000) {
      s.Since = -1;
    } else {
      KeepAwake(s);
    }
    return;
  }
  const std::size_t n = s.Moves.size();
  if (n == Script.size()) {
    if (s.Since < 0) s.Since = Now;
    if (!c.IsAnswering() || Now - std::max(s.LastActivity, s.LastHeard) > 1600 ||
        Now - s.Since > 5000)
      s.Closed = true;
    return;
  }
  if ((n % 2 == 0) == (s.Colour == Black)) {
    if (s.Since < 0) {
      s.Since = Now;
      c.SendMove(Script[n][0], Script[n][1]);
    } else if (c.IsReady()) {
      s.Failed = c.IsMoveDenied();
      s.Moves.push_back(Script[n]);
      s.Since = -1;
    } else if (Now - s.Since > 10000) {
      s.Failed = true;
    } else {
      KeepAwake(s);
    }
    return;
  }
  Move m{};
  if (c.TakeMove(m[0], m[1])) {
    s.Moves.push_back(m);
  } else {
    KeepAwake(s);
  }
}

}  // namespace duelcom::testing
