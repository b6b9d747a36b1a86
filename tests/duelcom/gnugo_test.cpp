// Whole games against GNU Go speaking GMP on a pseudo-terminal, through the
// library's exports, checked move by move against GNU Go's own game record.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/duelcom.h"
#include "duelcom/link.h"
#include "sim/GnuGoPartner.h"
#include "sim/NullModem.h"
#include "sim/puppets/GoGame.h"
#include "tests/support/Files.h"
#include "tests/support/SgfMoves.h"

namespace duelcom {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* GnuGo = "/usr/games/gnugo";

struct Move {
  int Colour, X, Y;
  bool operator==(const Move&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Move& m) {
  return out << (m.Colour == 1 ? "B" : "W") << "(" << m.X << "," << m.Y << ")";
}

// The moves of the SGF record at `path`.
std::vector<Move> ReadSgfMoves(const std::filesystem::path& path) {
  std::vector<Move> moves;
  for (const testing_world::SgfMove& m : testing_world::SgfMoves(testing_world::Slurp(path))) {
    const int colour = m.Colour == 'B' ? 1 : 2;
    if (m.Point.empty()) {
      moves.push_back({colour, 0, 0});
    } else {
      moves.push_back({colour, m.Point[0] - 'a' + 1, m.Point[1] - 'a' + 1});
    }
  }
  return moves;
}

// A point where the side to move may play and keep two liberties: never a
// suicide, never the retaking of a ko.
bool IsSafe(const refpuppet::GoGame& position, int x, int y) {
  refpuppet::GoGame after = position;
  return after.Play(x, y) && after.Liberties(x, y) >= 2;
}

class GnuGoGame {
 public:
  explicit GnuGoGame(int ourColour) : OurColour(ourColour) {
    std::string error;
    EXPECT_TRUE(Wire->Open(error)) << error;
    setenv("DUELCOM_COM1", Wire->Port(0).c_str(), 1);
  }

  ~GnuGoGame() {
    closecom();
    Wire.reset();  // GNU Go exits when its line goes
    GnuGo.Finish();
  }

  // Our side first, then GNU Go in the other colour.
  void Start() {
    ASSERT_EQ(initcom(1), 1);
    using Colour = simworld::GnuGoPartner::Colour;
    std::string error;
    ASSERT_TRUE(GnuGo.StartOn(Wire->Port(1), OurColour == 1 ? Colour::White : Colour::Black,
                              SgfPath, error))
        << error;
  }

  // Plays to two passes in a row. Our side plays up to `ownMoves` safe moves,
  // then passes. It names its colour `newGameDelayMs` after opening its port
  // (GNU Go as black may have sent its first move by then).
  void Play(int ownMoves, int newGameDelayMs = 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(newGameDelayMs));
    int agreed = 0;
    for (int attempt = 0; attempt < 3 && !agreed; ++attempt) agreed = newgame(OurColour);
    ASSERT_EQ(agreed, 1);
    bool ourTurn = OurColour == 1;
    int passes = 0;
    int played = 0;
    unsigned next = 12345;
    while (passes < 2) {
      ASSERT_LT(Record.size(), 600u);
      if (ourTurn) {
        Move m{OurColour, 0, 0};
        for (int tries = 0; played < ownMoves && tries < 400 && m.X == 0; ++tries) {
          next = next * 1103515245u + 12345u;
          const int x = static_cast<int>(next >> 16) % 19 + 1;
          const int y = static_cast<int>(next >> 8) % 19 + 1;
          if (IsSafe(Position, x, y)) m = {OurColour, x, y};
        }
        if (m.X) ++played;
        ASSERT_EQ(sendxy(m.X, m.Y), 1) << "move " << Record.size() + 1;
        Apply(m);
      } else {
        Move m{3 - OurColour, -1, -1};
        const auto start = Clock::now();
        while (!receivexy(&m.X, &m.Y)) {
          ASSERT_LT(Clock::now() - start, std::chrono::seconds(30)) << "move " << Record.size() + 1;
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Apply(m);
      }
      passes = Record.back().X == 0 ? passes + 1 : 0;
      ourTurn = !ourTurn;
    }
  }

  // GNU Go's record after it has ended: every move sent and received, in order.
  void CheckRecord() {
    // GNU Go sends one more pass after the game; let it arrive, then close.
    const auto theirMoves = std::count_if(Record.begin(), Record.end(),
                                          [&](const Move& m) { return m.Colour != OurColour; });
    for (int i = 0; i < 5000 && MovePacketsFromGnuGo() <= theirMoves; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    closecom();
    Wire.reset();
    GnuGo.Finish();
    std::vector<Move> theirs = ReadSgfMoves(SgfPath);
    ASSERT_GE(theirs.size(), Record.size());
    theirs.resize(Record.size());
    EXPECT_EQ(theirs, Record);
  }

  std::vector<Move> Record;

 private:
  void Apply(const Move& m) {
    if (m.X != 0) {
      ASSERT_TRUE(Position.Play(m.X, m.Y)) << m;
    } else {
      Position.Pass();
    }
    Record.push_back(m);
  }

  // The MOVE packets GNU Go has put on the line.
  long MovePacketsFromGnuGo() {
    PacketFramer framer;
    Packet p;
    long moves = 0;
    for (std::uint8_t b : Wire->Written(1))
      moves += framer.Feed(b, p) && DecodePacket(p).Cmd == Command::MOVE;
    return moves;
  }

  int OurColour;
  std::unique_ptr<simworld::NullModem> Wire = std::make_unique<simworld::NullModem>();
  simworld::GnuGoPartner GnuGo{1};
  refpuppet::GoGame Position;  // colours alternate from black, as in the record
  testing_world::TempFolder Dir;
  const std::string SgfPath = (Dir.Path() / "game.sgf").string();
};

TEST(DuelcomGnuGo, WholeGameAsBlack) {
  GnuGoGame game(1);
  game.Start();
  game.Play(25);
  game.CheckRecord();
  EXPECT_GT(game.Record.size(), 30u);
}

TEST(DuelcomGnuGo, WholeGameAsWhite) {
  GnuGoGame game(2);
  game.Start();
  game.Play(25);
  game.CheckRecord();
  EXPECT_GT(game.Record.size(), 30u);
}

// GNU Go as black agrees its game with the reader and sends its first move
// before our side has named its colour: the move is taken, not refused.
TEST(DuelcomGnuGo, WholeGameAsWhiteNamedLate) {
  for (int delayMs : {200, 3000}) {
    SCOPED_TRACE(std::to_string(delayMs) + " ms");
    GnuGoGame game(2);
    game.Start();
    game.Play(15, delayMs);
    game.CheckRecord();
    EXPECT_GT(game.Record.size(), 20u);
  }
}

// GNU Go as white started some time after our first request; we retry as
// Tovarin does (five tries; 2 s each here instead of 10 s, the delays in
// proportion: 0, 5, 15, 25 and 35 s). GNU Go's reply to our first move shows
// that it agreed too.
TEST(DuelcomGnuGo, ALateWhiteGetsTheGame) {
  const int delaysMs[] = {0, 1000, 3000, 5000, 7000};
  bool agreed[std::size(delaysMs)] = {};
  std::vector<std::thread> cases;
  for (std::size_t i = 0; i < std::size(delaysMs); ++i) {
    cases.emplace_back([&, i] {
      const testing_world::TempFolder dir;
      const std::string sgf = (dir.Path() / "game.sgf").string();
      auto cable = std::make_unique<simworld::NullModem>();
      std::string error;
      ASSERT_TRUE(cable->Open(error)) << error;
      Link black{{2000, TickCountMs}};
      ASSERT_TRUE(black.OpenDevice(cable->Port(0)));
      simworld::GnuGoPartner gnugo(1);
      std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delaysMs[i]));
        gnugo.StartOn(cable->Port(1), simworld::GnuGoPartner::Colour::White, sgf, error);
      });
      bool ready = false;
      for (int t = 0; t < 5 && !ready; ++t) ready = black.NewGame(Black);
      late.join();
      int x = 0;
      int y = 0;
      agreed[i] = ready && black.SendMove(4, 16) && black.WaitMove(x, y, 60000);
      black.Close();
      cable.reset();  // GNU Go exits when its line goes
      gnugo.Finish();
    });
  }
  for (std::thread& c : cases) c.join();
  for (std::size_t i = 0; i < std::size(delaysMs); ++i)
    EXPECT_TRUE(agreed[i]) << "GNU Go " << delaysMs[i] << " ms late";
}

}  // namespace
}  // namespace duelcom
