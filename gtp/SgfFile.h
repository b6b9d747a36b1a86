// The records the partner programs keep: FOLDER/game-N.sgf, and today's date.
#pragma once

#include <string>

#include "gtp/GameRecord.h"

namespace gtp {

// Writes the record as FOLDER/game-N.sgf (the folder is made if need be); false
// with the reason in `error`. `path` is the file's path.
bool WriteGameSgf(const std::string& folder, const GameRecord& record, std::string& path,
                  std::string& error);

// The local date, YYYY-MM-DD.
std::string Today();

}  // namespace gtp
