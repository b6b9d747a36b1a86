#include "sim/ControllerPartner.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace simworld {

ControllerPartner::ControllerPartner(std::string engineProgram, std::vector<std::string> opponent,
                                     std::string folder)
    : Engine_(std::move(engineProgram)),
      Opponent_(std::move(opponent)),
      Folder_(std::move(folder)) {}

bool ControllerPartner::MakeLines(std::string& tovarinPort, std::string& error,
                                  const NullModem::Faults& faults) {
  Lines_.SetFaults(faults);
  if (!Lines_.Open(error)) return false;
  tovarinPort = Lines_.Port(0);
  return true;
}

bool ControllerPartner::Start(bool puppetBlack, int games, std::string& error) {
  if (!Lines_.IsOpen() || Started()) {
    error = "the GTP controller cannot be started here";
    return false;
  }
  std::error_code failed;
  std::filesystem::create_directories(Folder_, failed);
  // The controller's engine A plays black in the first game.
  const std::vector<std::string> engine = {
      Engine_, "--port",           Lines_.Port(1), "--colour", puppetBlack ? "black" : "white",
      "--sgf", Folder_ + "/engine"};
  const std::vector<std::string>& a = puppetBlack ? engine : Opponent_;
  const std::vector<std::string>& b = puppetBlack ? Opponent_ : engine;
  std::vector<std::string> args = {"/usr/bin/env",
                                   "NODE_PATH=" TOVARIN_SOURCE_DIR "/build/node/node_modules",
                                   "node",
                                   TOVARIN_SOURCE_DIR "/sim/node/gtp-match.js",
                                   std::to_string(games),
                                   Folder_,
                                   "--"};
  args.insert(args.end(), a.begin(), a.end());
  args.push_back("--");
  args.insert(args.end(), b.begin(), b.end());
  ChildProgram::StartOptions options;
  options.WithErrors = true;
  return Child_.Start(args, "    [controller] ", options, error);
}

}  // namespace simworld
