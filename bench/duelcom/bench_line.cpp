// One game on a cable that damages bytes, played through the five exports of a
// link library loaded by path (so that two builds of the library can be
// compared), against GNU Go (GMP) or against a second copy of the library.
// Prints one line:
//   rate=R seed=S partner=gnugo|copy ours=black|white agreed=0|1 equal=0|1
//   seconds=T passed=N
// where equal says that both sides played the whole game to two passes with the
// same moves, and passed counts damaged packets that the checksum let through
// on either side (a limit of the protocol). bench/duelcom/run_line_sweep.sh
// plays many such games side by side and sums them up.
//
// usage: bench_line LIBRARY RATE_PERCENT SEED gnugo|copy black|white
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/engine.h"
#include "sim/GnuGoPartner.h"
#include "sim/NullModem.h"
#include "sim/puppets/GoGame.h"
#include "tests/support/Files.h"
#include "tests/support/SgfMoves.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Exports {
  int (*initcom)(int) = nullptr;
  int (*newgame)(int) = nullptr;
  int (*sendxy)(int, int) = nullptr;
  int (*receivexy)(int*, int*) = nullptr;
  int (*closecom)() = nullptr;

  bool Load(const std::string& path) {
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) return false;
    initcom = reinterpret_cast<int (*)(int)>(dlsym(lib, "initcom"));
    newgame = reinterpret_cast<int (*)(int)>(dlsym(lib, "newgame"));
    sendxy = reinterpret_cast<int (*)(int, int)>(dlsym(lib, "sendxy"));
    receivexy = reinterpret_cast<int (*)(int*, int*)>(dlsym(lib, "receivexy"));
    closecom = reinterpret_cast<int (*)()>(dlsym(lib, "closecom"));
    return initcom && newgame && sendxy && receivexy && closecom;
  }
};

struct Move {
  int X, Y;
  bool operator==(const Move&) const = default;
};

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A side played as Tovarin plays the exports: black names its colour after a
// second, tries five times (white seven), plays safe moves and then passes,
// polls for the partner's moves every 50 ms, gives up on a move after 60 s.
std::vector<Move> Play(const Exports& lib, int port, int colour, unsigned seed, bool& agreed,
                       bool& finished) {
  std::vector<Move> record;
  agreed = finished = false;
  if (!lib.initcom(port)) return record;
  if (colour == duelcom::Black) SleepMs(1000);
  for (int t = 0; t < (colour == duelcom::Black ? 5 : 7) && !agreed; ++t)
    agreed = lib.newgame(colour) == 1;
  refpuppet::GoGame position;
  unsigned next = seed * 2654435761u + 1;
  int passes = 0;
  int turn = duelcom::Black;
  while (agreed && passes < 2 && record.size() < 500) {
    Move m{0, 0};
    if (turn == colour) {
      for (int tries = 0; record.size() < 40 && tries < 400 && m.X == 0; ++tries) {
        next = next * 1103515245u + 12345u;
        const int x = static_cast<int>(next >> 16) % 19 + 1;
        const int y = static_cast<int>(next >> 8) % 19 + 1;
        refpuppet::GoGame after = position;
        if (after.Play(x, y) && after.Liberties(x, y) >= 2) m = {x, y};
      }
      if (!lib.sendxy(m.X, m.Y)) break;
    } else {
      const auto start = Clock::now();
      bool got = false;
      while (!(got = lib.receivexy(&m.X, &m.Y)) && Clock::now() - start < std::chrono::seconds(60))
        SleepMs(50);
      if (!got) break;
    }
    if (m.X != 0 ? !position.Play(m.X, m.Y) : (position.Pass(), false)) break;
    record.push_back(m);
    passes = m.X == 0 ? passes + 1 : 0;
    turn = 3 - turn;
  }
  finished = passes == 2;
  lib.closecom();
  return record;
}

// Packets that passed the checksum on the receiving side of `from`'s bytes
// without `from` having written them.
int PassedDamage(simworld::NullModem& cable, int from) {
  auto packets = [](const std::vector<std::uint8_t>& bytes) {
    std::vector<duelcom::Packet> found;
    duelcom::PacketFramer framer;
    duelcom::Packet p;
    for (std::uint8_t b : bytes)
      if (framer.Feed(b, p) && duelcom::CheckPacket(p) == duelcom::PacketCheck::Good)
        found.push_back(p);
    return found;
  };
  const std::vector<duelcom::Packet> written = packets(cable.Written(from));
  const std::set<duelcom::Packet> sent(written.begin(), written.end());
  int passed = 0;
  for (const duelcom::Packet& p : packets(cable.Delivered(from))) passed += sent.count(p) == 0;
  return passed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: bench_line LIBRARY RATE_PERCENT SEED gnugo|copy black|white\n");
    return 2;
  }
  const std::string library = std::filesystem::absolute(argv[1]).string();
  const double rate = std::atof(argv[2]) / 100;
  const auto seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
  const bool gnugo = std::string(argv[4]) == "gnugo";
  const int ours = std::string(argv[5]) == "white" ? duelcom::White : duelcom::Black;

  Exports lib;
  if (!lib.Load(library)) {
    std::fprintf(stderr, "bench_line: cannot load %s: %s\n", library.c_str(), dlerror());
    return 1;
  }
  simworld::NullModem cable({rate, seed});
  std::string error;
  if (!cable.Open(error)) {
    std::fprintf(stderr, "bench_line: %s\n", error.c_str());
    return 1;
  }
  setenv("DUELCOM_COM1", cable.Port(0).c_str(), 1);
  setenv("DUELCOM_COM2", cable.Port(1).c_str(), 1);
  const auto start = Clock::now();
  bool agreed = false, finished = false, theirAgreed = true, theirFinished = true;
  std::vector<Move> record, theirs;
  char folder[] = "/tmp/bench-line-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string sgf = std::string(folder) + "/gnugo.sgf";
  const std::string copyPath = std::string(folder) + "/copy.so";
  if (gnugo) {
    simworld::GnuGoPartner partner(1);
    using Colour = simworld::GnuGoPartner::Colour;
    if (ours == duelcom::Black && !partner.StartOn(cable.Port(1), Colour::White, sgf, error)) {
      std::fprintf(stderr, "bench_line: %s\n", error.c_str());
      return 1;
    }
    std::thread late;
    if (ours == duelcom::White)
      late = std::thread([&] {
        SleepMs(500);  // our white side listens first
        partner.StartOn(cable.Port(1), Colour::Black, sgf, error);
      });
    record = Play(lib, 1, ours, seed, agreed, finished);
    if (late.joinable()) late.join();
    SleepMs(500);  // GNU Go's record of the last move
    partner.Stop();
    for (const testing_world::SgfMove& m : testing_world::SgfMoves(testing_world::Slurp(sgf)))
      theirs.push_back(m.Point.empty() ? Move{0, 0}
                                       : Move{m.Point[0] - 'a' + 1, m.Point[1] - 'a' + 1});
    if (theirs.size() > record.size()) theirs.resize(record.size());
  } else {
    // A second copy of the library is a second file: it is loaded afresh.
    std::filesystem::copy_file(library, copyPath);
    Exports copy;
    if (!copy.Load(copyPath)) return 1;
    std::thread other(
        [&] { theirs = Play(copy, 2, 3 - ours, seed + 1, theirAgreed, theirFinished); });
    record = Play(lib, 1, ours, seed, agreed, finished);
    other.join();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::filesystem::remove_all(folder);
  const bool equal = finished && theirFinished && record == theirs;
  std::printf("rate=%s seed=%u partner=%s ours=%s agreed=%d equal=%d seconds=%.1f passed=%d\n",
              argv[2], seed, argv[4], argv[5], agreed && theirAgreed, equal, seconds,
              PassedDamage(cable, 0) + PassedDamage(cable, 1));
  return 0;
}
