#pragma once
// Plays whole games between a reference puppet and a scripted partner through
// Tovarin's puppet driving, the way the turn relay uses it: the partner's moves go
// in with EnterMove, the puppet's answers come out of DetectPuppetMove polled every
// 200 ms, and after every move Tovarin's board is compared with the puppet's.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/puppets/PuppetLauncher.h"
#include "tests/support/World.h"

namespace puppet_test {

struct GameSetup {
  int Profile = 1;
  bool PuppetIsBlack = false;
  refpuppet::PuppetOptions Puppet;
  std::uint64_t PartnerSeed = 7;
  // As the puppet's options: from this many moves on the partner always passes;
  // and single passes at these move numbers.
  int PartnerPassFromMove = 0;
  std::vector<int> PartnerPassAtMoves;
};

struct GameReport {
  bool Ended = false;          // two passes in a row, seen by Tovarin
  bool EndedByPuppet = false;  // the puppet made the second pass
  int Moves = 0;               // moves recorded by Tovarin, passes included
  int Captures = 0;            // stones taken in the game
  int PuppetPasses = 0;        // passes Tovarin read from the screen
  int PartnerPasses = 0;       // passes Tovarin clicked into the puppet
  int Notices = 0;             // notices the puppet showed (and Tovarin cleared)
  int LongestWaitMs = 0;       // the longest time a puppet move took to be seen
  std::string Failure;         // empty when the game went right
};

// The clicks with which the relay clears the puppet's end-of-game boxes.
void DismissGameEnd(tovarin::TForm1& f, int profile, bool puppetPassedLast);

// Places the started puppet as the launch would: at (0, 0) with the target size,
// then at its play position.
void PlacePuppet(testing_world::World& w, int profile);

// Starts the profile's program by its file name, finds and places it, and plays one
// game to its end (or to the first fault, described in the report).
GameReport PlayGame(testing_world::World& w, refpuppet::PuppetLauncher& launcher,
                    const GameSetup& setup);

// Plays the game that stands in the puppet and on Tovarin's board to its end.
GameReport FinishGame(testing_world::World& w, refpuppet::ReferencePuppet& puppet,
                      const GameSetup& setup);

}  // namespace puppet_test
