#include "sim/TovarinPartner.h"

#include <filesystem>
#include <system_error>

namespace simworld {

bool TovarinPartner::MakeLines(std::string& port, std::string& error,
                               const NullModem::Faults& faults) {
  Lines_.SetFaults(faults);
  if (!Lines_.Open(error)) return false;
  port = Lines_.Port(0);
  return true;
}

bool TovarinPartner::Start(const std::vector<std::string>& options, const std::string& folder,
                           unsigned delaySeconds, std::string& error) {
  namespace fs = std::filesystem;
  if (!Lines_.IsOpen()) {
    error = "the partner copy has no line";
    return false;
  }
  // Tovarin reads its pictures from bmp/ in its working folder.
  std::error_code failed;
  fs::create_directories(fs::path(folder) / "bmp", failed);
  if (!failed)
    fs::copy("bmp", fs::path(folder) / "bmp",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, failed);
  if (failed) {
    error = "cannot give " + folder + " the pictures: " + failed.message();
    return false;
  }
  std::vector<std::string> args = {Program_, "--partner", "device:" + Lines_.Port(1), "--out", "."};
  args.insert(args.end(), options.begin(), options.end());
  ChildProgram::StartOptions start;
  start.Folder = folder;
  start.DelaySeconds = delaySeconds;
  start.WithErrors = true;
  return Child_.Start(args, "    [partner] ", start, error);
}

}  // namespace simworld
