#include "sim/puppets/PuppetLauncher.h"

#include <iterator>
#include <string>

#include "tovarin/puppet/Profiles.h"

namespace refpuppet {

PuppetLauncher::PuppetLauncher(platform::headless::SimDesktop& desktop)
    : Desktop_(desktop), Stage_(desktop) {}

PuppetLauncher::~PuppetLauncher() {
  // Newest first, so that windows go in the reverse order of their making.
  while (!Running_.empty()) Running_.pop_back();
}

void PuppetLauncher::RegisterAll() {
  std::vector<std::string> done;
  for (int p = 1; p <= puppet::ProfileCount; ++p) {
    const PuppetDesign* design = DesignOf(p);
    if (!design) continue;
    for (int e = 0; e < 2; ++e) {
      const char* file = design->Executables[static_cast<std::size_t>(e)];
      if (!file) continue;
      std::string name = file;
      bool seen = false;
      for (const std::string& d : done) seen = seen || d == name;
      if (seen) continue;  // one registration per file name (editions share one)
      done.push_back(name);
      Editions_.emplace(name, p);
      Desktop_.RegisterProgram(name,
                               [this, e, name](platform::headless::SimDesktop&, const std::string&,
                                               const std::string&) { Start(Editions_[name], e); });
    }
  }
}

void PuppetLauncher::PreferEdition(int profile) {
  if (const PuppetDesign* design = DesignOf(profile)) Editions_[design->Executables[0]] = profile;
}

ReferencePuppet& PuppetLauncher::Start(int profile, int executable) {
  Running_.push_back(
      std::make_unique<ReferencePuppet>(Stage_, *DesignOf(profile), executable, Options));
  return *Running_.back();
}

void PuppetLauncher::Kill(int profile) {
  for (auto it = Running_.rbegin(); it != Running_.rend(); ++it)
    if ((*it)->Design().Profile == profile) {
      Running_.erase(std::next(it).base());
      return;
    }
}

ReferencePuppet* PuppetLauncher::Find(int profile) const {
  for (auto it = Running_.rbegin(); it != Running_.rend(); ++it)
    if ((*it)->Design().Profile == profile) return it->get();
  return nullptr;
}

}  // namespace refpuppet
