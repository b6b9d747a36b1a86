#pragma once
// Running tovarin-sim from the tests: in a working folder of the test's own,
// which gets the pictures, with its output and exit status kept.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/World.h"

namespace testing_world {

struct SimRun {
  int Status = -1;
  std::string Output;
};

// Runs tovarin-sim in `folder` (which gets the pictures) with `args`.
inline SimRun RunSim(const std::filesystem::path& folder, const std::string& args) {
  AddPictures(folder);
  const std::string command =
      "cd '" + folder.string() + "' && " TOVARIN_SIM " --out . " + args + " 2>&1";
  SimRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Output.append(buffer, n);
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace testing_world
