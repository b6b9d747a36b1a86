// Running duelcom-gtp in the tests: its output collected, GNU Go in its GMP
// mode at the far end of a pair of joined pseudo-terminals, and the records.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/SgfMoves.h"

namespace gtptest {

namespace fs = std::filesystem;

inline constexpr const char* GnuGo = "/usr/games/gnugo";
// Waits that end on an event get this long, so that a loaded machine is not
// taken for a failure.
inline constexpr int EventTimeoutMs = 60000;

using testing_world::SgfMove;
using testing_world::SgfMoves;
using testing_world::Slurp;
using testing_world::TempFolder;

// A program running with its standard output and error collected.
class Program {
 public:
  // `environment` holds NAME=VALUE pairs set for it.
  explicit Program(const std::vector<std::string>& command,
                   const std::vector<std::string>& environment = {});
  ~Program();  // kills it if it still runs

  // Waits for `text` to appear in the output.
  bool WaitFor(const std::string& text);
  // The exit status; 128 + the signal for a program ended by one. Returns once
  // everything the program wrote has been read too.
  int Wait();
  std::string Output();
  pid_t Pid = 0;

 private:
  std::mutex Lock;
  std::condition_variable Changed;
  std::string Text;
  bool Ended = false;  // the output has reached its end
  std::thread Reader;
};

// How duelcom-gtp is run for a game.
struct Launch {
  std::vector<std::string> Command;      // the program, after its loader if any
  std::vector<std::string> Environment;  // NAME=VALUE
  // Makes the line's device reachable and returns the --port value for it.
  std::function<std::string(const std::string& device)> Port;
  // The record folder as the program names it.
  std::function<std::string(const fs::path& folder)> Folder;
};

struct Game {
  std::vector<SgfMove> Ours, Theirs;
  std::string OurSgf;
  std::string Output;
};

// A whole game of duelcom-gtp with `engine` against GNU Go's GMP mode (level
// 1) over two joined pseudo-terminals; both records.
Game AgainstGnuGoGmp(const Launch& launch, const std::vector<std::string>& engine, bool engineBlack,
                     const std::vector<std::string>& options = {});

// Our record is the start of GNU Go's and ends on two passes.
void ExpectSameGame(const Game& game);

}  // namespace gtptest
