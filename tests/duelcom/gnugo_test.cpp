// Whole games against GNU Go speaking GMP on a pseudo-terminal, through the
// library's exports, checked move by move against GNU Go's own game record.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/duelcom.h"
#include "support/board.h"
#include "support/pty.h"

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

// The moves of an SGF record: column and row letters from the top left, an
// empty value or "tt" a pass.
std::vector<Move> ReadSgfMoves(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const std::string sgf = text.str();
  std::vector<Move> moves;
  for (std::size_t i = 0; i + 2 < sgf.size(); ++i) {
    if (sgf[i] != ';' || (sgf[i + 1] != 'B' && sgf[i + 1] != 'W') || sgf[i + 2] != '[') continue;
    const int colour = sgf[i + 1] == 'B' ? 1 : 2;
    const std::size_t end = sgf.find(']', i + 3);
    const std::string value = sgf.substr(i + 3, end - i - 3);
    if (value.empty() || value == "tt") {
      moves.push_back({colour, 0, 0});
    } else {
      moves.push_back({colour, value[0] - 'a' + 1, value[1] - 'a' + 1});
    }
  }
  return moves;
}

class GnuGoGame {
 public:
  explicit GnuGoGame(int ourColour) : OurColour(ourColour) {
    char dir[] = "/tmp/duelcom-gnugo-XXXXXX";
    Dir = mkdtemp(dir);
    SgfPath = Dir + "/game.sgf";
    setenv("DUELCOM_COM1", Ours.SlavePath.c_str(), 1);
  }

  ~GnuGoGame() {
    closecom();
    Theirs.CloseMaster();  // GNU Go exits when its line closes
    Reap();
    std::remove(SgfPath.c_str());
    rmdir(Dir.c_str());
  }

  // Our side first, then GNU Go in the other colour.
  void Start() {
    ASSERT_EQ(initcom(1), 1);
    Pid = fork();
    ASSERT_GE(Pid, 0);
    if (Pid == 0) {
      dup2(Theirs.Slave, 0);
      dup2(Theirs.Slave, 1);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      execl(GnuGo, GnuGo, "--mode", "gmp", "--quiet", "--level", "1", "--color",
            OurColour == 1 ? "white" : "black", "-o", SgfPath.c_str(), nullptr);
      _exit(127);
    }
  }

  // Plays to two passes in a row. Our side plays up to `ownMoves` safe moves,
  // then passes.
  void Play(int ownMoves) {
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
          if (Position.IsSafe(x, y, OurColour)) m = {OurColour, x, y};
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
    Theirs.CloseMaster();
    Reap();
    std::vector<Move> theirs = ReadSgfMoves(SgfPath);
    ASSERT_GE(theirs.size(), Record.size());
    theirs.resize(Record.size());
    EXPECT_EQ(theirs, Record);
  }

  std::vector<Move> Record;

 private:
  void Apply(const Move& m) {
    if (m.X != 0) {
      ASSERT_TRUE(Position.Play(m.X, m.Y, m.Colour)) << m;
    }
    Record.push_back(m);
  }

  // The MOVE packets GNU Go has put on the line: a packet starts at the one byte
  // of its four whose top bit is clear.
  long MovePacketsFromGnuGo() {
    const std::vector<std::uint8_t> bytes = Wire.FromB();
    long moves = 0;
    for (std::size_t i = 0; i + 3 < bytes.size(); ++i) {
      if (!(bytes[i] & 0x80) && (bytes[i + 2] & 0x70) == 0x50) ++moves;
    }
    return moves;
  }

  void Reap() {
    if (Pid <= 0) return;
    for (int i = 0; i < 500; ++i) {
      if (waitpid(Pid, nullptr, WNOHANG) == Pid) {
        Pid = 0;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    Pid = 0;
  }

  int OurColour;
  testing::Pty Ours, Theirs;
  testing::Bridge Wire{Ours.Master, Theirs.Master};
  testing::Board Position;
  pid_t Pid = 0;
  std::string Dir, SgfPath;
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

}  // namespace
}  // namespace duelcom
