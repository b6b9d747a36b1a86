#pragma once
// The partner at the far end of the line, played in-process: served as "duelcom"
// by a library loader, its five functions answer on the simulated clock as the
// real library would (a new game agreed after a delay or given up after 10 s, a
// move acknowledged after its wire time or not at all, the partner's reply
// available once it has thought). It plays the game itself with the reference
// puppets' small policy, or the moves it is given, and records every call.
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/headless/SimClock.h"
#include "sim/puppets/GoGame.h"

namespace simworld {

class ScriptedLink final : public platform::LibraryLoader {
 public:
  // One stand-in at a time: the library's functions are plain C functions.
  explicit ScriptedLink(platform::headless::SimClock& clock);
  ~ScriptedLink() override;
  ScriptedLink(const ScriptedLink&) = delete;
  ScriptedLink& operator=(const ScriptedLink&) = delete;

  struct Call {
    std::string Name;  // initcom, newgame, sendxy, receivexy, closecom
    int A = 0;         // the arguments; for receivexy the move handed out (0, 0 when none)
    int B = 0;
    int Result = 0;
    std::uint32_t Tick = 0;    // when the call returned
    std::uint32_t Called = 0;  // when it was made
  };

  // ---- What the library does ----
  bool Installed = true;  // "duelcom" can be loaded
  std::string Missing;    // an export it lacks
  bool PortOpens = true;
  // The newgame calls in turn: agreed after that many ms, or (a negative entry)
  // never answered, given up after 10 000 ms. Later calls agree after NewGameMs.
  std::vector<int> NewGameScript;
  std::uint32_t NewGameMs = 300;
  // A move sent and its acknowledgement.
  std::uint32_t WireMs = 40;
  // sendxy calls (counted from 1 over the whole run) the partner never answers,
  // and whether it answers the pass that ends a game.
  std::set<int> UnansweredSends;
  bool LastPassUnanswered = false;

  // ---- How the partner plays ----
  std::uint32_t ThinkMs = 800;
  int PassFromMove = 60;         // it passes once this many moves are made; 0: never
  std::vector<int> PassAtMoves;  // and once at these move numbers (1: a game's first)
  // A move it plays, legal or not, instead of its own choice: asked with the move
  // number before each of its moves.
  std::function<std::optional<refpuppet::Move>(int number)> Plays;
  std::uint64_t Seed = 1;

  // ---- What happened ----
  std::vector<Call> Calls;
  int Loads = 0;
  int Unloads = 0;
  bool Open() const { return Open_; }
  int Port() const { return Port_; }
  // The games agreed so far, each the moves of both sides as the partner knows
  // them, and the partner's colour in each (1 black, 2 white).
  std::vector<std::vector<refpuppet::Move>> Records;
  std::vector<int> Colours;
  // Called after every call, with its record.
  std::function<void(const Call&)> OnCall;
  // How many calls of `name` were made.
  int Count(const std::string& name) const;

  // platform::LibraryLoader
  platform::LibraryHandle Load(std::string_view moduleName) override;
  void* Lookup(platform::LibraryHandle library, const char* exportName) override;
  void Unload(platform::LibraryHandle library) override;

 private:
  static ScriptedLink* Current_;
  static int Initcom(int port);
  static int Closecom();
  static int Sendxy(int x, int y);
  static int Receivexy(int* x, int* y);
  static int Newgame(int colour);

  int Done(const char* name, std::uint32_t called, int a, int b, int result);
  bool GameOver() const;
  // The partner's next move, chosen and played; it can be fetched after ThinkMs.
  void Reply();

  platform::headless::SimClock& Clock_;
  bool Open_ = false;
  int Port_ = 0;
  int NewGames_ = 0;
  int Sends_ = 0;
  refpuppet::GoGame Game_;
  refpuppet::Random Random_;
  std::optional<refpuppet::Move> Waiting_;
  std::uint32_t ReadyAt_ = 0;
};

}  // namespace simworld
