// Whole games on a cable that loses and damages bytes: two pseudo-terminals
// joined by a relay, our side played through the link library as Tovarin plays
// it, the far end GNU Go (GMP) in each of its colour modes or a second copy of
// the library, started in either order.
//
// `make e2e` (TOVARIN_E2E=all) loses every packet position of a game in turn
// and plays many more seeds; `make test` plays a spread of each.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/link.h"
#include "sim/GnuGoPartner.h"
#include "sim/NullModem.h"
#include "sim/puppets/GoGame.h"
#include "tests/support/Files.h"
#include "tests/support/SgfMoves.h"

namespace duelcom {
namespace {

using Clock = std::chrono::steady_clock;
using GnuGo = simworld::GnuGoPartner;
using simworld::NullModem;

bool Everything() {
  const char* e2e = std::getenv("TOVARIN_E2E");
  return e2e && std::string(e2e) == "all";
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct Move {
  int Colour, X, Y;
  bool operator==(const Move&) const = default;
};

std::string Describe(const std::vector<Move>& moves) {
  std::string text = std::to_string(moves.size()) + " moves";
  if (!moves.empty()) {
    const Move& m = moves.back();
    text += ", last " + std::string(m.Colour == Black ? "B" : "W") + "(" + std::to_string(m.X) +
            "," + std::to_string(m.Y) + ")";
  }
  return text;
}

// A side of the line, played on a thread of its own as Tovarin plays its link:
// it opens its port, names its colour (black after its 5 s prompt), tries the
// new game five times as black and seven as white, plays safe moves of its own
// choosing and then passes, polls for the partner's moves, and closes the port
// after two passes in a row.
class Player {
 public:
  struct Plan {
    int Colour = Black;
    int OpenAfterMs = 0;   // the port opens this late
    int NameAfterMs = -1;  // the colour is named this long after; -1: as Tovarin does
    int OwnMoves = 8;
    unsigned Seed = 1;
    int Tries = 0;  // 0: as Tovarin does
    int MoveWaitMs = 60000;
    int ThinkMs = 0;  // before each own move
    LinkTiming Timing{};
    // Between the closing OK and the first move: close the port and open it
    // again, as a program that restarts.
    bool RestartAfterAgreeing = false;
  };

  Player(std::string device, Plan plan) : Device(std::move(device)), P(plan) {
    Thread = std::thread([this] { Run(); });
  }
  ~Player() { Join(); }
  void Join() {
    if (Thread.joinable()) Thread.join();
  }

  bool Agreed = false;
  bool Finished = false;
  std::vector<Move> Record;
  std::string Failure;

 private:
  void Run() {
    SleepMs(P.OpenAfterMs);
    auto link = std::make_unique<Link>(P.Timing);
    if (!link->OpenDevice(Device)) {
      Failure = "the port did not open";
      return;
    }
    SleepMs(P.NameAfterMs >= 0 ? P.NameAfterMs : P.Colour == Black ? 5000 : 0);
    const int tries = P.Tries > 0 ? P.Tries : P.Colour == Black ? 5 : 7;
    for (int t = 0; t < tries && !Agreed; ++t) Agreed = link->NewGame(P.Colour);
    if (!Agreed) {
      Failure = "no game agreed";
      return;
    }
    if (P.RestartAfterAgreeing) {
      link.reset();
      link = std::make_unique<Link>(P.Timing);
      if (!link->OpenDevice(Device)) return;
      link->NewGame(P.Colour);
    }
    Play(*link);
  }

  void Play(Link& link) {
    refpuppet::GoGame position;
    unsigned next = P.Seed * 2654435761u + 1;
    int played = 0;
    int passes = 0;
    int turn = Black;
    while (passes < 2 && Record.size() < 500) {
      Move m{turn, 0, 0};
      if (turn == P.Colour) {
        SleepMs(P.ThinkMs);
        for (int tries = 0; played < P.OwnMoves && tries < 400 && m.X == 0; ++tries) {
          next = next * 1103515245u + 12345u;
          const int x = static_cast<int>(next >> 16) % 19 + 1;
          const int y = static_cast<int>(next >> 8) % 19 + 1;
          refpuppet::GoGame after = position;
          if (after.Play(x, y) && after.Liberties(x, y) >= 2) m = {turn, x, y};
        }
        if (m.X) ++played;
        if (!link.SendMove(m.X, m.Y)) {
          Failure = "move " + std::to_string(Record.size() + 1) +
                    (link.MoveDenied() ? " was denied" : " was not acknowledged");
          return;
        }
      } else {
        const auto start = Clock::now();
        while (!link.TakeMove(m.X, m.Y)) {
          if (Clock::now() - start > std::chrono::milliseconds(P.MoveWaitMs)) {
            Failure = "no move " + std::to_string(Record.size() + 1) + " in time";
            return;
          }
          SleepMs(20);  // Tovarin looks every 200 ms
        }
      }
      if (m.X != 0) {
        if (!position.Play(m.X, m.Y)) {
          Failure = "move " + std::to_string(Record.size() + 1) + " is not legal";
          return;
        }
      } else {
        position.Pass();
      }
      Record.push_back(m);
      passes = m.X == 0 ? passes + 1 : 0;
      turn = 3 - turn;
    }
    Finished = passes == 2;
    link.Close();
  }

  std::string Device;
  Plan P;
  std::thread Thread;
};

// GNU Go's record: every move it played and received.
std::vector<Move> GnuGoRecord(const std::string& path) {
  std::vector<Move> moves;
  for (const testing_world::SgfMove& m : testing_world::SgfMoves(testing_world::Slurp(path))) {
    const int colour = m.Colour == 'B' ? Black : White;
    if (m.Point.empty()) {
      moves.push_back({colour, 0, 0});
    } else {
      moves.push_back({colour, m.Point[0] - 'a' + 1, m.Point[1] - 'a' + 1});
    }
  }
  return moves;
}

// One game on a cable: our side on port 0, GNU Go or a second copy on port 1.
struct CableGame {
  NullModem::Faults Faults;
  Player::Plan Ours;
  bool AgainstGnuGo = true;
  GnuGo::Colour GnuGoColour = GnuGo::Colour::White;  // its mode on the command line
  int GnuGoAfterMs = 0;                              // after our port opened; negative: before
  Player::Plan Theirs;                               // the copy's plan

  // Plays the game; empty when both sides finished it with the same record.
  std::string Play() const {
    NullModem cable(Faults);
    std::string error;
    if (!cable.Open(error)) return error;
    if (!AgainstGnuGo) {
      Player ours(cable.Port(0), Ours);
      Player theirs(cable.Port(1), Theirs);
      ours.Join();
      theirs.Join();
      if (!ours.Finished || !theirs.Finished)
        return "ours: " + Describe(ours.Record) + " " + ours.Failure +
               "; the copy: " + Describe(theirs.Record) + " " + theirs.Failure;
      return ours.Record == theirs.Record ? "" : "the records differ";
    }
    const testing_world::TempFolder dir;
    const std::string sgf = (dir.Path() / "gnugo.sgf").string();
    GnuGo gnugo(1);
    Player::Plan ours = Ours;
    const int gnugoAt = std::max(0, GnuGoAfterMs);
    ours.OpenAfterMs += gnugoAt - GnuGoAfterMs;
    std::unique_ptr<Player> player;
    if (GnuGoAfterMs > 0) player = std::make_unique<Player>(cable.Port(0), ours);
    SleepMs(gnugoAt);
    if (!gnugo.StartOn(cable.Port(1), GnuGoColour, sgf, error)) return error;
    if (!player) player = std::make_unique<Player>(cable.Port(0), ours);
    player->Join();
    // GNU Go writes its record after each move; its last one may be on its way.
    std::vector<Move> theirs;
    for (int i = 0; i < 100; ++i, SleepMs(50)) {
      theirs = GnuGoRecord(sgf);
      if (theirs.size() >= player->Record.size()) break;
    }
    gnugo.Stop();
    if (!player->Finished) return "ours: " + Describe(player->Record) + " " + player->Failure;
    theirs.resize(std::min(theirs.size(), player->Record.size()));
    return theirs == player->Record ? "" : "GNU Go's record differs: " + Describe(theirs);
  }
};

// Plays the games side by side (most of their time is spent waiting on the
// line) and reports each that went wrong.
void PlayAll(const std::vector<std::pair<std::string, CableGame>>& games, int atOnce = 6) {
  std::vector<std::string> outcomes(games.size());
  for (std::size_t first = 0; first < games.size(); first += static_cast<std::size_t>(atOnce)) {
    std::vector<std::thread> running;
    for (std::size_t i = first; i < games.size() && i < first + atOnce; ++i)
      running.emplace_back([&, i] { outcomes[i] = games[i].second.Play(); });
    for (std::thread& t : running) t.join();
  }
  for (std::size_t i = 0; i < games.size(); ++i) EXPECT_EQ(outcomes[i], "") << games[i].first;
}

CableGame AgainstGnuGo(int ourColour) {
  CableGame g;
  g.Ours.Colour = ourColour;
  g.GnuGoColour = ourColour == Black ? GnuGo::Colour::White : GnuGo::Colour::Black;
  // GNU Go as black sends its request at once: our white side is up first.
  g.GnuGoAfterMs = ourColour == Black ? 0 : 500;
  return g;
}

CableGame AgainstACopy(int ourColour) {
  CableGame g;
  g.AgainstGnuGo = false;
  g.Ours.Colour = ourColour;
  g.Theirs.Colour = 3 - ourColour;
  g.Theirs.Seed = 2;
  return g;
}

std::string Side(int colour) { return colour == Black ? "black" : "white"; }

// Against GNU Go, each packet of the handshake and of the first moves, and a
// spread of the rest of the game; against a copy, a spread (the engine's tests
// lose every packet of a game between two copies in virtual time). Under
// make e2e, every packet of the game against both.
TEST(RealLine, EverySingleLostPacketCostsOnlyTime) {
  std::vector<std::pair<std::string, CableGame>> games;
  for (int lost = 0; lost < 120; ++lost) {
    for (int colour : {Black, White}) {
      for (bool gnugo : {true, false}) {
        const bool spread = lost % 7 == colour + (gnugo ? 0 : 3);
        // GNU Go's handshake: 10 packets with our side black, 15 white.
        const bool handshake = gnugo && lost < (colour == Black ? 12 : 18);
        if (!Everything() && !handshake && !(spread && lost < 50)) continue;
        CableGame g = gnugo ? AgainstGnuGo(colour) : AgainstACopy(colour);
        g.Faults.LostPacket = lost;
        g.Ours.OwnMoves = g.Theirs.OwnMoves = 3;
        g.Ours.NameAfterMs = g.Theirs.NameAfterMs = colour == Black ? 1000 : 0;
        games.push_back({"packet " + std::to_string(lost) + " lost, we are " + Side(colour) +
                             (gnugo ? ", against GNU Go" : ", against a copy"),
                         g});
      }
    }
  }
  PlayAll(games, 12);
}

TEST(RealLine, DamagedBytesCostOnlyTime) {
  std::vector<std::pair<std::string, CableGame>> games;
  const int seeds = Everything() ? 12 : 2;
  for (double rate : {0.005, 0.02, 0.05}) {
    for (int seed = 1; seed <= seeds; ++seed) {
      for (bool gnugo : {true, false}) {
        const int colour = seed % 2 ? Black : White;
        CableGame g = gnugo ? AgainstGnuGo(colour) : AgainstACopy(colour);
        g.Faults.Rate = rate;
        g.Faults.Seed = static_cast<std::uint64_t>(seed);
        g.Ours.OwnMoves = g.Theirs.OwnMoves = Everything() ? 20 : 10;
        g.Ours.NameAfterMs = g.Theirs.NameAfterMs = colour == Black ? 1000 : 0;
        games.push_back({std::to_string(rate * 100) + " % of bytes damaged, seed " +
                             std::to_string(seed) + ", we are " + Side(colour) +
                             (gnugo ? ", against GNU Go" : ", against a copy"),
                         g});
      }
    }
  }
  PlayAll(games, 8);
}

// GNU Go sends its request when it starts, and repeats it only when bytes
// arrive: a white side that opens its port later wakes it. Without a colour of
// its own it takes the one our side names, whichever side starts first.
TEST(RealLine, GnuGoInEachColourModeAndStartOrder) {
  std::vector<std::pair<std::string, CableGame>> games;
  for (int lateMs : {0, 1000, 3000, 10000}) {
    CableGame g = AgainstGnuGo(White);
    g.GnuGoAfterMs = -lateMs;
    games.push_back({"GNU Go black, our white side " + std::to_string(lateMs) + " ms late", g});
  }
  for (int colour : {Black, White}) {
    for (int gnugoAfterMs : {-3000, 0, 2000}) {
      CableGame g = AgainstGnuGo(colour);
      g.GnuGoColour = GnuGo::Colour::Unnamed;
      g.GnuGoAfterMs = gnugoAfterMs;
      games.push_back({"GNU Go without a colour started " + std::to_string(gnugoAfterMs) +
                           " ms after our " + Side(colour) + " side opened",
                       g});
    }
  }
  PlayAll(games, 10);
}

// Both sides named the same colour: never a game on both sides. Two black
// sides: the one that names its colour later has agreed the other's request
// (it may even take its first move), and refuses the game once it names black.
TEST(RealLine, TwoCopiesOfTheSameColourPlayNoGame) {
  for (int colour : {Black, White}) {
    SCOPED_TRACE("both " + Side(colour));
    NullModem cable;
    std::string error;
    ASSERT_TRUE(cable.Open(error)) << error;
    Player::Plan plan;
    plan.Colour = colour;
    plan.Tries = 2;
    plan.Timing.TimeoutMs = 3000;
    plan.MoveWaitMs = 4000;
    Player::Plan late = plan;
    late.NameAfterMs = colour == Black ? 6000 : 1000;
    late.Seed = 2;
    Player a(cable.Port(0), plan);
    Player b(cable.Port(1), late);
    a.Join();
    b.Join();
    EXPECT_FALSE(b.Agreed);
    EXPECT_FALSE(a.Finished);
    EXPECT_LE(a.Record.size(), 1u);
    EXPECT_EQ(a.Agreed, colour == Black);
  }
}

// The white side restarts after its closing OK, so its fresh link knows
// nothing of the game: black's first move must not count as taken.
TEST(RealLine, APartnerThatRestartsDoesNotTakeTheFirstMove) {
  NullModem cable;
  std::string error;
  ASSERT_TRUE(cable.Open(error)) << error;
  Player::Plan black;
  black.NameAfterMs = 500;
  black.Timing.TimeoutMs = 3000;
  black.ThinkMs = 1000;  // the restart comes first
  black.MoveWaitMs = 3000;
  Player::Plan white;
  white.Colour = White;
  white.Tries = 1;
  white.Timing.TimeoutMs = 3000;
  white.RestartAfterAgreeing = true;
  white.MoveWaitMs = 3000;
  white.Timing.CloseLingerMs = 0;  // gone at once, as a program that crashed
  Player b(cable.Port(0), black);
  Player w(cable.Port(1), white);
  b.Join();
  w.Join();
  EXPECT_TRUE(b.Agreed);
  EXPECT_TRUE(b.Record.empty()) << Describe(b.Record);
  EXPECT_NE(b.Failure.find("move 1 was"), std::string::npos) << b.Failure;
}

}  // namespace
}  // namespace duelcom
