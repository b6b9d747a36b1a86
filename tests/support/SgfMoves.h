#pragma once
// The record reader of the partner program, for the tests' comparisons.
#include "gtp/SgfMoves.h"

namespace testing_world {

using gtp::SgfMove;
using gtp::SgfMoves;
using gtp::SgfProperty;

}  // namespace testing_world
