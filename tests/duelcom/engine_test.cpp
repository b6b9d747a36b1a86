// The protocol engine on its own: packets, sequence bits, negotiation, moves.
#include "duelcom/engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/VirtualLine.h"

namespace duelcom {
namespace {

using C = Command;

// An engine with its packets and warnings recorded.
struct Recorded {
  LinkContext Context;
  std::vector<Packet> Sent;
  std::vector<std::string> Warnings;

  Recorded() {
    Context.SetWriter([this](const Packet& p) { Sent.push_back(p); });
    Context.SetWarningHook([this](const char* text) { Warnings.push_back(text); });
  }
  void Feed(const Packet& p) {
    for (auto b : p) Context.FeedByte(b);
  }
  // A packet of the partner: s is its own bit, h the bit it last took from us.
  void FromPartner(C command, int value, int s, int h) { Feed(BuildPacket(command, value, s, h)); }
};

Packet Bytes(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return {a, b, c, d};
}

TEST(DuelcomEngine, WorkedExamples) {
  EXPECT_EQ(BuildPacket(C::OK, 1023, 0, 0), Bytes(0x00, 0x86, 0x87, 0xFF));
  EXPECT_EQ(BuildPacket(C::MOVE, 0x200 + 301, 0, 1), Bytes(0x02, 0x85, 0xD6, 0xAD));

  Recorded black;
  black.Context.StartNewGame(Black);
  ASSERT_EQ(black.Sent.size(), 1u);
  EXPECT_EQ(black.Sent[0], Bytes(0x01, 0xA1, 0xA0, 0x80));
  EXPECT_EQ(black.Context.GetState(), LinkState::Negotiating);
  black.Feed(Bytes(0x02, 0x88, 0x87, 0xFF));  // the partner's OK
  EXPECT_TRUE(black.Context.IsReady());
  EXPECT_FALSE(black.Context.IsAwaitingReply());
  black.Feed(Bytes(0x02, 0x88, 0x87, 0xFF));  // the same OK again: nothing awaited
  EXPECT_EQ(black.Warnings, std::vector<std::string>{"Warn: OK - not wainting, discard."});

  Recorded mover;  // fresh link, black: the first command carries bit 1
  mover.Context.SendMove(4, 16);
  EXPECT_EQ(mover.Sent.at(0), Bytes(0x01, 0x8E, 0xD0, 0xBD));
  EXPECT_EQ(mover.Context.GetState(), LinkState::MoveSent);
  // The OK value is 1023 whatever is passed; OK never toggles the bit.
  EXPECT_EQ(BuildPacket(C::OK, 5, 1, 1), BuildPacket(C::OK, 1023, 1, 1));
}

TEST(DuelcomEngine, ByteAssemblyStartsAPacketAtEveryHeader) {
  Recorded r;
  r.Context.StartNewGame(Black);
  const Packet ok = Bytes(0x02, 0x88, 0x87, 0xFF);
  for (int b = 0x04; b <= 0xFF; ++b) r.Context.FeedByte(static_cast<std::uint8_t>(b));
  // A packet cut short by a header: the header starts the next packet.
  r.Context.FeedByte(ok[0]);
  r.Context.FeedByte(ok[1]);
  r.Context.FeedByte(0x01);
  r.Context.FeedByte(0x7F);  // neither header nor packet byte: dropped with what came before
  r.Feed(ok);
  EXPECT_TRUE(r.Context.IsReady());
  EXPECT_TRUE(r.Warnings.empty());

  Recorded bad;
  bad.Context.StartNewGame(Black);
  bad.Feed(Bytes(0x02, 0x89, 0x87, 0xFF));
  EXPECT_EQ(bad.Warnings, std::vector<std::string>{"Wrong checksum."});
  EXPECT_EQ(bad.Sent.size(), 1u);
  EXPECT_EQ(bad.Context.GetState(), LinkState::Negotiating);
}

// Every row of the acceptance table. Awaiting: after our first NEWGAME (my bit
// 1, his 0). Not awaiting: after the partner's TAKEBACK (my bit 0, his 1).
TEST(DuelcomEngine, AcceptanceTable) {
  struct Row {
    bool Awaiting;
    C Command;
    bool HMatches, SMatches;
    const char* Warning;  // null: accepted
    int SentAfter;        // packets written in reply
  } rows[] = {
      {true, C::OK, false, true, "Warn: OK - My sequence number is old.", 0},
      {true, C::OK, false, false, "Warn: OK - My sequence number is old.", 0},
      {true, C::OK, true, true, nullptr, 0},
      {true, C::OK, true, false, "Warn: OK - His sequence is not equal.", 0},
      {true, C::QUERY, false, false, "Warn: CMD - Conflict.", 0},
      {true, C::QUERY, false, true, "Warn: CMD - His command is old.", 1},
      {true, C::QUERY, true, false, nullptr, 1},
      {true, C::QUERY, true, true, "Warn: CMD - Not possible, discard.", 0},
      {false, C::OK, true, true, "Warn: OK - not wainting, discard.", 0},
      {false, C::OK, false, false, "Warn: OK - not wainting, discard.", 0},
      {false, C::QUERY, false, true, "Warn: CMD - My sequence is not updated.", 0},
      {false, C::QUERY, false, false, "Warn: CMD - My sequence is not updated.", 0},
      {false, C::QUERY, true, false, nullptr, 1},
      {false, C::QUERY, true, true, "Warn: CMD - His command is old. Send OK again.", 1},
  };
  // On a fresh link nothing is a repeat: a command that looks like one is stale.
  Recorded fresh;
  fresh.FromPartner(C::QUERY, 7, 0, 0);
  EXPECT_EQ(fresh.Warnings, std::vector<std::string>{"Warn: CMD - Nothing taken yet, discard."});
  EXPECT_TRUE(fresh.Sent.empty());
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message()
                 << "awaiting " << row.Awaiting << " cmd " << static_cast<int>(row.Command) << " H "
                 << row.HMatches << " S " << row.SMatches);
    Recorded r;
    if (row.Awaiting) {
      r.Context.StartNewGame(Black);
    } else {
      r.FromPartner(C::TAKEBACK, 0, 1, 0);
      r.Warnings.clear();
    }
    const int my = r.Context.GetMySeq();
    const int his = r.Context.GetHisSeq();
    const Packet before = r.Context.GetLastSent();
    const std::size_t sentBefore = r.Sent.size();
    const int s = row.SMatches ? his : 1 - his;
    r.FromPartner(row.Command, 7, s, row.HMatches ? my : 1 - my);
    if (row.Warning) {
      EXPECT_EQ(r.Warnings, std::vector<std::string>{row.Warning});
      EXPECT_EQ(r.Context.GetHisSeq(), his);
    } else {
      EXPECT_TRUE(r.Warnings.empty());
      EXPECT_EQ(r.Context.GetHisSeq(), s);
    }
    ASSERT_EQ(r.Sent.size() - sentBefore, static_cast<std::size_t>(row.SentAfter));
    if (row.SentAfter == 0) continue;
    const Packet& reply = r.Sent.back();
    if (row.Warning && row.Awaiting) {
      EXPECT_EQ(reply, before);  // the resend, byte for byte
    } else if (row.Warning) {
      EXPECT_EQ(reply, BuildPacket(C::OK, 1023, my, his));  // a fresh OK
    } else {
      EXPECT_EQ(reply, BuildPacket(C::ANSWER, 1, 1 - my, s));  // query 7 answered
    }
  }
}

TEST(DuelcomEngine, ConflictYieldsAndTakesTheRepeat) {
  Recorded r;
  r.Context.StartNewGame(Black);       // my 1, awaiting
  r.FromPartner(C::NEWGAME, 0, 1, 0);  // the partner's NEWGAME crossed ours
  EXPECT_EQ(r.Context.GetMySeq(), 0);  // ours taken back
  EXPECT_TRUE(r.Context.IsAwaitingReply());
  EXPECT_EQ(r.Context.GetState(), LinkState::Negotiating);
  EXPECT_EQ(r.Sent.size(), 1u);
  r.FromPartner(C::NEWGAME, 0, 1, 0);  // its repetition now matches and is taken
  ASSERT_EQ(r.Sent.size(), 2u);
  EXPECT_EQ(r.Sent[1], BuildPacket(C::QUERY, 11, 1, 1));
}

TEST(DuelcomEngine, DenyOkAndIgnoredCommands) {
  Recorded r;  // DENY of our NEWGAME: idle, refused, nothing more awaited
  r.Context.StartNewGame(Black);
  r.FromPartner(C::DENY, 0, 1, 1);
  EXPECT_EQ(r.Context.GetState(), LinkState::Idle);
  EXPECT_TRUE(r.Context.IsRefused());
  EXPECT_FALSE(r.Context.IsAwaitingReply());
  r.Context.StartNewGame(Black);  // a new request
  EXPECT_FALSE(r.Context.IsRefused());
  EXPECT_EQ(r.Sent.back(), BuildPacket(C::NEWGAME, 0, 0, 1));

  Recorded m;  // DENY of our MOVE ends the wait, and the move counts as refused
  m.Context.SendMove(3, 3);
  m.FromPartner(C::DENY, 0, 1, 1);
  EXPECT_TRUE(m.Context.IsReady());
  EXPECT_TRUE(m.Context.IsMoveDenied());
  EXPECT_FALSE(m.Context.IsAwaitingReply());

  Recorded t;  // TAKEBACK and EXTEND: accepted, no reply; a repeat draws an OK
  t.FromPartner(C::TAKEBACK, 0, 1, 0);
  t.FromPartner(C::EXTEND, 0, 0, 0);
  EXPECT_TRUE(t.Sent.empty());
  EXPECT_EQ(t.Context.GetHisSeq(), 0);
  t.FromPartner(C::EXTEND, 0, 0, 0);
  EXPECT_EQ(t.Sent.size(), 1u);
  EXPECT_EQ(t.Context.GetState(), LinkState::Idle);
}

TEST(DuelcomEngine, NegotiationAsWhite) {
  Recorded r;
  r.Context.StartNewGame(White);
  EXPECT_TRUE(r.Sent.empty());
  r.FromPartner(C::NEWGAME, 0, 1, 0);
  r.FromPartner(C::ANSWER, 2, 0, 1);  // the partner is black
  r.FromPartner(C::ANSWER, 1, 1, 0);
  const std::vector<Packet> expected = {BuildPacket(C::QUERY, 11, 1, 1),
                                        BuildPacket(C::QUERY, 8, 0, 0),
                                        BuildPacket(C::OK, 1023, 0, 1)};
  EXPECT_EQ(r.Sent, expected);
  EXPECT_TRUE(r.Context.IsReady());
  EXPECT_TRUE(r.Warnings.empty());

  // Answers beyond the end of the query list count as reaching its end again.
  for (int i = 0; i < 3; ++i) r.FromPartner(C::ANSWER, 1, i % 2, 0);
  EXPECT_EQ(r.Context.GetQueryIndex(), 2);
  ASSERT_EQ(r.Sent.size(), 6u);
  for (std::size_t i = 3; i < 6; ++i) EXPECT_EQ(r.Sent[i][2], 0x87);  // OK
  EXPECT_TRUE(r.Context.IsReady());
  r.Context.StartNewGame(White);  // a game left ready: ready at once
  EXPECT_TRUE(r.Context.IsReady());
}

TEST(DuelcomEngine, NegotiationAsBlackAnswersFromTheTable) {
  Recorded r;
  r.Context.StartNewGame(Black);
  const int queries[] = {7, 9, 8, 11, 0, 6, 10, 12, 13, 200, 1023};
  const int answers[] = {1, 19, 1, 2, 1, 1, 0, 0, 0, 0, 0};
  int s = 1;
  for (int q : queries) {
    r.FromPartner(C::QUERY, q, s, r.Context.GetMySeq());
    s = 1 - s;
  }
  ASSERT_EQ(r.Sent.size(), 12u);
  for (std::size_t i = 0; i < std::size(answers); ++i) {
    EXPECT_EQ(r.Sent[i + 1][2] >> 4, 0x8 | 4);
    EXPECT_EQ(((r.Sent[i + 1][2] & 7) << 7) | (r.Sent[i + 1][3] & 0x7F), answers[i]) << i;
  }
  EXPECT_EQ(r.Context.GetState(), LinkState::Negotiating);
  r.FromPartner(C::OK, 0, 1 - s, r.Context.GetMySeq());
  EXPECT_TRUE(r.Context.IsReady());
  EXPECT_EQ(AnswerFor(11, White), 1);
  for (int q : {1, 2, 3, 4, 5}) EXPECT_EQ(AnswerFor(q, Black), 0);
}

TEST(DuelcomEngine, MoveEncoding) {
  EXPECT_EQ(EncodePoint(1, 19), 1);
  EXPECT_EQ(EncodePoint(19, 19), 19);
  EXPECT_EQ(EncodePoint(1, 1), 343);
  EXPECT_EQ(EncodePoint(19, 1), 361);
  EXPECT_EQ(EncodePoint(0, 0), 0);
  EXPECT_EQ(EncodePoint(0, 5), 266);  // not a pass
  for (int x = 1; x <= 19; ++x) {
    for (int y = 1; y <= 19; ++y) {
      int dx = -1;
      int dy = -1;
      DecodePoint(EncodePoint(x, y), dx, dy);
      ASSERT_EQ(dx * 100 + dy, x * 100 + y);
    }
  }
  int x = -1;
  int y = -1;
  DecodePoint(266, x, y);
  EXPECT_EQ(x * 100 + y, 19 * 100 + 6);
  DecodePoint(362, x, y);
  EXPECT_EQ(x * 100 + y, 1 * 100 + 0);
  DecodePoint(511, x, y);
  EXPECT_EQ(x * 100 + y, 17 * 100 - 7);
  DecodePoint(0x200, x, y);  // white pass
  EXPECT_EQ(x * 100 + y, 0);
  // Any ints: the arithmetic wraps instead of overflowing; low 10 bits go out.
  // (2^31 - 1) + 19 * 19 is 2^31 + 360, low bits 360; with y = -2^31 the row term
  // (19 + 2^31) * 19 is 361 + 19 * 2^31, low bits 361.
  EXPECT_EQ(EncodePoint(INT_MAX, 0) & 0x3FF, 360);
  EXPECT_EQ(EncodePoint(0, INT_MIN) & 0x3FF, 361);
  Recorded r;
  r.Context.StartNewGame(White);
  r.Context.SendMove(INT_MIN, INT_MAX);
  EXPECT_EQ(r.Sent.at(0)[2] & 0x70, 0x50);
}

TEST(DuelcomEngine, ReceivingMoves) {
  Recorded r;  // white, ready
  r.Context.StartNewGame(White);
  r.FromPartner(C::NEWGAME, 0, 1, 0);
  r.FromPartner(C::ANSWER, 2, 0, 1);
  r.FromPartner(C::ANSWER, 1, 1, 0);
  ASSERT_TRUE(r.Context.IsReady());
  int x = 77;
  int y = 77;
  EXPECT_FALSE(r.Context.TakeMove(x, y));
  EXPECT_EQ(x, 77);

  r.FromPartner(C::MOVE, 0x200 | 61, 0, 0);  // a white stone to a white side
  EXPECT_EQ(r.Warnings, std::vector<std::string>{"You send wrong color."});
  EXPECT_EQ(r.Sent.back(), BuildPacket(C::DENY, 0, 1, 0));
  EXPECT_FALSE(r.Context.IsMoveReady());

  r.FromPartner(C::MOVE, 61, 1, 1);
  EXPECT_EQ(r.Sent.back(), BuildPacket(C::OK, 1023, 1, 1));
  r.FromPartner(C::MOVE, 0, 0, 1);  // a pass replaces the unfetched move
  EXPECT_TRUE(r.Context.TakeMove(x, y));
  EXPECT_EQ(x * 100 + y, 0);
  EXPECT_FALSE(r.Context.TakeMove(x, y));

  // Our move's OK is lost, and the partner's next move acknowledges ours: our
  // move counts as delivered and the partner's is taken.
  r.Context.SendMove(16, 4);
  r.FromPartner(C::MOVE, 301, 1, r.Context.GetMySeq());
  EXPECT_TRUE(r.Context.IsReady());
  EXPECT_FALSE(r.Context.IsMoveDenied());
  EXPECT_EQ(r.Sent.back(), BuildPacket(C::OK, 1023, r.Context.GetMySeq(), 1));
  ASSERT_TRUE(r.Context.TakeMove(x, y));
  EXPECT_EQ(x * 100 + y, 1604);

  Recorded idle;  // no game on this side: the move is denied, not dropped
  idle.FromPartner(C::MOVE, 61, 1, 0);
  EXPECT_EQ(idle.Sent, std::vector<Packet>{BuildPacket(C::DENY, 0, 1, 1)});
  EXPECT_FALSE(idle.Context.IsMoveReady());
}

TEST(DuelcomEngine, TraceLines) {
  Recorded r;
  std::string trace;
  r.Context.SetTraceSink([&](const char* line) { trace += line; });
  r.Context.StartNewGame(Black);
  EXPECT_TRUE(trace.empty());  // off by default
  r.Context.SetTrace(true);
  r.FromPartner(C::QUERY, 9, 0, 0);  // old, awaiting: resent
  r.FromPartner(C::QUERY, 300, 1, 1);
  EXPECT_EQ(trace,
            "Receive: com=3 arg=9( 0 b9 b0 89)\r\n"
            "Send Again:  1 a1 a0 80\r\n"
            "Receive: com=3 arg=300( 3 e1 b2 ac)\r\n"
            "Send: com=4 arg=0 ( 2 c2 c0 80)\r\n");
}

// Two engines joined in memory: bytes travel through queues, one at a time.
struct Pair {
  Recorded A, B;
  std::deque<std::uint8_t> ToA, ToB;
  Pair() {
    A.Context.SetWriter([this](const Packet& p) { ToB.insert(ToB.end(), p.begin(), p.end()); });
    B.Context.SetWriter([this](const Packet& p) { ToA.insert(ToA.end(), p.begin(), p.end()); });
  }
  // Delivers bytes until none are left, or until `stop` holds.
  void Pump(const std::function<bool()>& stop = nullptr) {
    while (!ToA.empty() || !ToB.empty()) {
      for (auto* q : {&ToA, &ToB}) {
        if (q->empty()) continue;
        const std::uint8_t b = q->front();
        q->pop_front();
        (q == &ToA ? A : B).Context.FeedByte(b);
        if (stop && stop()) return;
      }
    }
  }
};

TEST(DuelcomEngine, AnUnansweredRequestIsRepeatedByteForByte) {
  Pair p;  // B's first request is lost: A's port was not open yet
  p.B.Context.StartNewGame(Black);
  const std::deque<std::uint8_t> first = p.ToA;
  p.ToA.clear();
  p.B.Context.StartNewGame(Black);
  EXPECT_EQ(p.ToA, first);
  p.A.Context.StartNewGame(White);
  p.Pump();
  EXPECT_TRUE(p.A.Context.IsReady());
  EXPECT_TRUE(p.B.Context.IsReady());

  Pair q;  // A's closing OK is lost: the repeat draws a fresh OK, not a new game
  q.A.Context.StartNewGame(White);
  q.B.Context.StartNewGame(Black);
  q.Pump([&q] { return q.A.Context.IsReady(); });
  q.ToB.clear();
  ASSERT_FALSE(q.B.Context.IsReady());
  q.B.Context.StartNewGame(Black);
  q.Pump();
  EXPECT_TRUE(q.B.Context.IsReady());
  EXPECT_TRUE(q.A.Context.IsReady());
  EXPECT_EQ(q.A.Warnings,
            std::vector<std::string>{"Warn: CMD - His command is old. Send OK again."});

  Recorded r;  // once agreed, the next request is a new command
  r.Context.StartNewGame(Black);
  r.FromPartner(C::OK, 0, 0, 1);
  ASSERT_TRUE(r.Context.IsReady());
  r.Context.StartNewGame(Black);
  EXPECT_EQ(r.Sent.back(), BuildPacket(C::NEWGAME, 0, 0, 0));
}

TEST(DuelcomEngine, AMoveBeforeTheColourIsNamedIsTaken) {
  Pair p;  // the reader agrees B's game and takes its first move before A's newgame(2)
  p.B.Context.StartNewGame(Black);
  p.Pump();
  ASSERT_FALSE(p.A.Context.IsColourChosen());
  p.B.Context.SendMove(16, 4);
  p.Pump();
  EXPECT_TRUE(p.B.Context.IsReady());
  EXPECT_TRUE(p.A.Warnings.empty());
  p.A.Context.StartNewGame(White);
  int x = 0;
  int y = 0;
  ASSERT_TRUE(p.A.Context.TakeMove(x, y));
  EXPECT_EQ(x * 100 + y, 1604);
}

TEST(DuelcomEngine, TwoEnginesPlayAGame) {
  Pair p;
  p.A.Context.StartNewGame(White);
  p.B.Context.StartNewGame(Black);
  p.Pump();
  ASSERT_TRUE(p.A.Context.IsReady());
  ASSERT_TRUE(p.B.Context.IsReady());
  const int moves[][2] = {{4, 16}, {16, 4}, {3, 3}, {17, 17}, {10, 10}, {0, 0}, {0, 0}};
  for (std::size_t i = 0; i < std::size(moves); ++i) {
    Recorded& mover = i % 2 ? p.A : p.B;
    Recorded& other = i % 2 ? p.B : p.A;
    mover.Context.SendMove(moves[i][0], moves[i][1]);
    EXPECT_FALSE(mover.Context.IsReady());
    p.Pump();
    EXPECT_TRUE(mover.Context.IsReady());
    int x = -1;
    int y = -1;
    ASSERT_TRUE(other.Context.TakeMove(x, y)) << i;
    EXPECT_EQ(x * 100 + y, moves[i][0] * 100 + moves[i][1]);
  }
  EXPECT_TRUE(p.A.Warnings.empty());
  EXPECT_TRUE(p.B.Warnings.empty());

  // A new game in which both sides are black: refused on both, and a move
  // is denied.
  p.A.Context.StartNewGame(Black);
  p.Pump();
  EXPECT_TRUE(p.A.Context.IsRefused());
  EXPECT_TRUE(p.B.Context.IsRefused());
  EXPECT_EQ(p.B.Warnings.back(), "Warn: Both sides are black, refuse the game.");
  p.B.Context.SendMove(5, 5);
  p.Pump();
  EXPECT_TRUE(p.B.Context.IsMoveDenied());
  EXPECT_FALSE(p.A.Context.IsMoveReady());
}

// What the partner is told about this side's colour, and what becomes of a game
// the partner started before this side named its colour.
TEST(DuelcomEngine, NoColourIsToldBeforeItIsNamed) {
  struct Case {
    int PartnerAnswer;  // the partner's answer to our query 11
    int OurColour;      // named after the partner's game was agreed
    int AnswerSent;     // our answer to the partner's query 11; -1: none yet
    int AnswerAfter;    // our answer once our colour is named; -1: none
    bool Refused;
  } cases[] = {
      {0, Black, -1, 2, false},  // neither knows: the query waits for our colour
      {0, White, -1, 1, false},
      {1, Black, 0, -1, false},  // the partner is white: "not known" is enough
      {2, White, 0, -1, false},  // the partner is black
      {2, Black, 0, -1, true},   // both black: refused, no second NEWGAME
      {1, White, 0, -1, true},   // both white
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "partner answers " << c.PartnerAnswer << ", we are " << c.OurColour);
    Recorded r;
    r.FromPartner(C::NEWGAME, 0, 1, 0);               // draws our query 11
    r.FromPartner(C::ANSWER, c.PartnerAnswer, 0, 1);  // draws query 8
    r.FromPartner(C::ANSWER, 1, 1, 0);                // draws the closing OK
    ASSERT_TRUE(r.Context.IsReady());
    r.FromPartner(C::QUERY, 11, 0, 0);
    const std::size_t before = r.Sent.size();
    auto answered = [&](std::size_t from) {
      return r.Sent.size() > from ? (r.Sent.back()[3] & 0x7F) : -1;
    };
    EXPECT_EQ(answered(3), c.AnswerSent);
    r.FromPartner(C::QUERY, 11, 0, 0);  // its repeat is held or answered alike
    r.Context.StartNewGame(c.OurColour);
    EXPECT_EQ(r.Context.IsRefused(), c.Refused);
    EXPECT_EQ(r.Context.IsReady(), !c.Refused);
    EXPECT_EQ(answered(before + (c.AnswerSent < 0 ? 0 : 1)), c.AnswerAfter);
    for (const Packet& p : r.Sent) EXPECT_NE(p[2] & 0x70, 0x20);  // never a NEWGAME
    r.Context.StartNewGame(c.OurColour);                          // asked again: the same outcome
    EXPECT_EQ(r.Context.IsRefused(), c.Refused);
  }
}

TEST(DuelcomEngine, ASilentLineGetsTheLastPacketAgain) {
  Recorded fresh;  // nothing sent yet: bytes that start no packet, dropped by any peer
  fresh.Context.RepeatOnSilence();
  EXPECT_EQ(fresh.Sent, std::vector<Packet>{Bytes(0xFF, 0xFF, 0xFF, 0xFF)});
  Recorded peer;
  peer.Context.SendMove(3, 3);
  peer.Feed(fresh.Sent[0]);
  EXPECT_TRUE(peer.Warnings.empty());
  EXPECT_FALSE(peer.Context.IsReady());

  Recorded white;  // the closing OK, byte for byte
  white.FromPartner(C::NEWGAME, 0, 1, 0);
  white.FromPartner(C::ANSWER, 2, 0, 1);
  white.FromPartner(C::ANSWER, 1, 1, 0);
  white.Context.RepeatOnSilence();
  ASSERT_EQ(white.Sent.size(), 4u);
  EXPECT_EQ(white.Sent[3], white.Sent[2]);

  Recorded yielded;  // after a conflict the partner repeats: nothing is sent
  yielded.Context.StartNewGame(Black);
  yielded.FromPartner(C::NEWGAME, 0, 1, 0);
  yielded.Context.RepeatOnSilence();
  EXPECT_EQ(yielded.Sent.size(), 1u);

  Recorded answered;  // a repeated query gets the same answer, not an OK
  answered.FromPartner(C::QUERY, 9, 1, 0);
  answered.FromPartner(C::QUERY, 9, 1, 0);
  ASSERT_EQ(answered.Sent.size(), 2u);
  EXPECT_EQ(answered.Sent[1], answered.Sent[0]);
  EXPECT_EQ(answered.Warnings.back(), "Warn: CMD - His command is old. Send again.");
}

TEST(DuelcomEngine, EverySingleLostPacketCostsOnlyTime) {
  // Black names its colour 5 s after its port opened; white at once, or 12 s
  // later so that black's first request goes unheard.
  for (const int whiteAtMs : {0, 12000}) {
    testing::VirtualLine clean(5000, whiteAtMs, {});
    ASSERT_TRUE(clean.Play()) << clean.Outcome();
    for (int lost = 0; lost < clean.PacketsWritten(); ++lost) {
      testing::VirtualLine line(5000, whiteAtMs, {lost});
      EXPECT_TRUE(line.Play()) << "white at " << whiteAtMs << " ms, packet " << lost
                               << " lost: " << line.Outcome();
    }
  }
}

// Damaged bytes cost time, never a move: every game finishes equal on both
// sides, save one whose damage passed the checksum (a limit of the protocol).
TEST(DuelcomEngine, DamagedBytesCostOnlyTime) {
  for (const double rate : {0.005, 0.02, 0.05}) {
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
      testing::VirtualLine line(5000, 0, {-1, rate, seed});
      const bool finished = line.Play();
      if (line.UndetectedDamage() > 0) continue;
      EXPECT_TRUE(finished) << rate << ", seed " << seed << ": " << line.Outcome();
      EXPECT_FALSE(line.WrongMove()) << rate << ", seed " << seed;
    }
  }
}

}  // namespace
}  // namespace duelcom
