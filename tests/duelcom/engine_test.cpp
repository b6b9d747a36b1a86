// The protocol engine on its own: packets, sequence bits, negotiation, moves.
#include "duelcom/engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <functional>
#include <string>
#include <vector>

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

TEST(DuelcomEngine, ByteAssemblySkipsStrayBytes) {
  Recorded r;
  r.Context.StartNewGame(Black);
  const Packet ok = Bytes(0x02, 0x88, 0x87, 0xFF);
  for (int b = 0x04; b <= 0xFF; ++b) r.Context.FeedByte(static_cast<std::uint8_t>(b));
  r.Context.FeedByte(ok[0]);
  r.Context.FeedByte(0x7F);  // bit 7 clear inside a packet: skipped, no restart
  r.Context.FeedByte(ok[1]);
  r.Context.FeedByte(0x00);
  r.Context.FeedByte(ok[2]);
  r.Context.FeedByte(0x01);
  EXPECT_FALSE(r.Context.IsReady());
  r.Context.FeedByte(ok[3]);
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
// 1, his 0). Not awaiting: a fresh link (both bits 0).
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
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << "awaiting " << row.Awaiting << " cmd " << static_cast<int>(row.Command) << " H "
                 << row.HMatches << " S " << row.SMatches);
    Recorded r;
    if (row.Awaiting) r.Context.StartNewGame(Black);
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
  Recorded r;  // DENY of our NEWGAME: idle, still awaiting
  r.Context.StartNewGame(Black);
  r.FromPartner(C::DENY, 0, 1, 1);
  EXPECT_EQ(r.Context.GetState(), LinkState::Idle);
  EXPECT_TRUE(r.Context.IsAwaitingReply());

  Recorded m;  // DENY of our MOVE ends the wait like an OK
  m.Context.SendMove(3, 3);
  m.FromPartner(C::DENY, 0, 1, 1);
  EXPECT_TRUE(m.Context.IsReady());
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
  r.FromPartner(C::ANSWER, 1, 0, 1);
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
  r.FromPartner(C::ANSWER, 1, 0, 1);
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

  r.Context.SendMove(16, 4);  // state 3: a MOVE now is taken but dropped
  const std::size_t sent = r.Sent.size();
  r.FromPartner(C::MOVE, 301, 1, r.Context.GetMySeq());
  EXPECT_EQ(r.Sent.size(), sent);
  EXPECT_FALSE(r.Context.IsMoveReady());
  EXPECT_EQ(r.Context.GetLastCommand(), 5);
  EXPECT_EQ(r.Context.GetLastValue(), 301);
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

  // Both sides believe they are black: the move is denied, and the wait ends.
  p.A.Context.StartNewGame(Black);
  p.Pump();
  p.B.Context.SendMove(5, 5);
  p.Pump();
  EXPECT_TRUE(p.B.Context.IsReady());
  EXPECT_EQ(p.A.Warnings.back(), "You send wrong color.");
  EXPECT_FALSE(p.A.Context.IsMoveReady());
}

}  // namespace
}  // namespace duelcom
