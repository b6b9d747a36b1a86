#pragma once
// A started reference puppet put where the launch puts it, for tests of board
// reading and move entry that do without the launch.
#include "sim/puppets/PuppetLauncher.h"
#include "tests/support/World.h"

namespace puppet_test {

// Places the puppet found by FindPuppet as the launch would: at (0, 0) with the
// target size, then at its play position, its rectangle kept in PuppetRect.
void PlacePuppet(testing_world::World& w, int profile);

}  // namespace puppet_test
