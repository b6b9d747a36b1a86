#pragma once
// Running tovarin-sim from the tests: in a working folder of the test's own,
// which gets the pictures, with its output and exit status kept.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/World.h"

namespace testing_world {

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct SimRun {
  int Status = -1;
  std::string Output;
};

// Runs tovarin-sim in `folder` (which gets the pictures) with `args`.
inline SimRun RunSim(const std::filesystem::path& folder, const std::string& args) {
  namespace fs = std::filesystem;
  fs::create_directories(folder / "bmp");
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"})
    fs::copy_file(SourceDir() / "bmp" / name, folder / "bmp" / name,
                  fs::copy_options::overwrite_existing);
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
