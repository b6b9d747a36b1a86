#include "sim/Partner.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "gtp/Number.h"
#include "gtp/SgfMoves.h"
#include "platform/System.h"
#include "sim/ControllerPartner.h"
#include "sim/GnuGoPartner.h"
#include "sim/GtpPartner.h"
#include "sim/TovarinPartner.h"
#include "tovarin/puppet/Profiles.h"

namespace simworld {

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// GNU Go in its GMP mode, started by this program for each game on a line of
// its own once Tovarin's port is open; on a bad cable, a cable of its own that
// damages each game's bytes from a seed of its own.
class GnuGoKind final : public Partner {
 public:
  GnuGoKind(int level, const PartnerPlan& plan) : Level_(level), Plan_(plan), GnuGo_(level) {}
  std::string Name() const override { return "GNU Go (level " + std::to_string(Level_) + ")"; }
  bool Prepare(std::string& device, std::string&) override {
    device.clear();
    return true;
  }
  bool BeforeOpen(int game, std::string& device, std::string& error) override {
    if (!Plan_.BadCable) return GnuGo_.NewLine(device, error);
    NullModem::Faults faults = Plan_.Faults;
    faults.Seed += static_cast<std::uint64_t>(game) - 1;
    Cable_ = std::make_unique<NullModem>(faults);
    if (!Cable_->Open(error)) return false;
    device = Cable_->Port(0);
    return true;
  }
  bool AfterOpen(int game, bool puppetBlack, std::string& error) override {
    const std::string sgf = Plan_.Out + "/gnugo-" + std::to_string(game) + ".sgf";
    using Colour = GnuGoPartner::Colour;
    if (Cable_)
      return GnuGo_.StartOn(Cable_->Port(1), puppetBlack ? Colour::White : Colour::Black, sgf,
                            error);
    return GnuGo_.Start(!puppetBlack, sgf, error);
  }
  void AfterClose() override {
    // GNU Go ends when its line does.
    Cable_.reset();
    GnuGo_.Finish();
  }
  bool Finish(bool, std::string&) override {
    GnuGo_.Finish();
    return true;
  }
  bool RealWaits() const override { return false; }

 private:
  int Level_;
  PartnerPlan Plan_;
  GnuGoPartner GnuGo_;
  std::unique_ptr<NullModem> Cable_;
};

// An outside partner already on a device, which becomes Tovarin's port.
class DeviceKind final : public Partner {
 public:
  explicit DeviceKind(std::string device) : Device_(std::move(device)) {}
  std::string Name() const override { return "partner on " + Device_; }
  bool Prepare(std::string& device, std::string&) override {
    device = Device_;
    return true;
  }
  bool Finish(bool, std::string&) override { return true; }

 private:
  std::string Device_;
};

// Any GTP engine behind duelcom-gtp, which plays the whole series; each game
// waits until duelcom-gtp's port is open.
class GtpKind final : public Partner {
 public:
  GtpKind(const std::string& engine, const PartnerPlan& plan)
      : Engine_(engine),
        Plan_(plan),
        Gtp_(platform::ProgramFolder() + "duelcom-gtp", GtpPartner::SplitCommand(engine),
             plan.Out + "/gtp") {}
  std::string Name() const override { return "GTP engine (" + Engine_ + ")"; }
  bool Prepare(std::string& device, std::string& error) override {
    return Gtp_.MakeLines(device, error, Plan_.Faults);
  }
  bool AfterOpen(int game, bool puppetBlack, std::string& error) override {
    if (!Gtp_.Started() && !Gtp_.Start(!puppetBlack, Plan_.Games, error)) return false;
    if (Gtp_.WaitForLine(game, 60000)) return true;
    error = "duelcom-gtp did not open its port for game " + std::to_string(game);
    return false;
  }
  bool Finish(bool, std::string& why) override {
    std::string how;
    if (Gtp_.Finish(30000, how)) return true;
    why = "duelcom-gtp ended with " + how;
    return false;
  }

 private:
  std::string Engine_;
  PartnerPlan Plan_;
  GtpPartner Gtp_;
};

// A GTP controller that plays a GTP engine against the puppet through
// duelcom-engine, the whole series.
class ControllerKind final : public Partner {
 public:
  ControllerKind(const std::string& engine, const PartnerPlan& plan)
      : Engine_(engine),
        Plan_(plan),
        Controller_(platform::ProgramFolder() + "duelcom-engine", GtpPartner::SplitCommand(engine),
                    plan.Out + "/controller") {}
  std::string Name() const override {
    return "GTP engine (" + Engine_ + ") through a GTP controller";
  }
  bool Prepare(std::string& device, std::string& error) override {
    return Controller_.MakeLines(device, error, Plan_.Faults);
  }
  bool AfterOpen(int, bool puppetBlack, std::string& error) override {
    // duelcom-engine opens its port for each game as soon as the game before ends.
    return Controller_.Started() || Controller_.Start(puppetBlack, Plan_.Games, error);
  }
  bool Finish(bool, std::string& why) override {
    std::string how;
    if (Controller_.Finish(30000, how)) return true;
    why = "the GTP controller ended with " + how;
    return false;
  }

 private:
  std::string Engine_;
  PartnerPlan Plan_;
  ControllerPartner Controller_;
};

// A second copy of tovarin-sim playing the other colour of the same series with
// a puppet of its own, in the folder partner/; its records must equal ours.
class CopyKind final : public Partner {
 public:
  CopyKind(int profile, const PartnerPlan& plan)
      : Profile_(profile), Plan_(plan), Copy_(platform::ProgramFolder() + "tovarin-sim") {}
  std::string Name() const override {
    return std::string("Tovarin with ") + puppet::DisplayNameOf(Profile_);
  }
  bool Prepare(std::string& device, std::string& error) override {
    const std::vector<std::string> options = {
        "--profile",
        std::to_string(Profile_),
        "--colour",
        Plan_.PuppetBlackFirst ? "white" : "black",
        "--games",
        std::to_string(Plan_.Games),
        "--port",
        std::to_string(Plan_.Port),
        "--seed",
        std::to_string(Plan_.Seed + 1),
        "--screen",
        std::to_string(Plan_.Width) + "x" + std::to_string(Plan_.Height),
        "--timeout",
        std::to_string(Plan_.TimeoutS),
        "--puppet-passes-from",
        std::to_string(Plan_.PuppetPassesFrom)};
    return Copy_.MakeLines(device, error, Plan_.Faults) &&
           Copy_.Start(options, Folder(), static_cast<unsigned>(Plan_.DelayS), error);
  }
  bool Finish(bool failed, std::string& why) override {
    // The copy ends its last game within moments of this one; after a failure
    // here it may wait on a silent line, so it is given less time.
    std::string how;
    if (!Copy_.Finish(failed ? 20000 : 120000, how)) {
      why = "the partner copy ended with " + how;
      return false;
    }
    for (int n = 1; n <= Plan_.Games; ++n)
      if (!SameGame(n, why)) return false;
    std::printf("[the partner copy's records in %s agree with these move for move]\n",
                Folder().c_str());
    return true;
  }

 private:
  std::string Folder() const { return Plan_.Out + "/partner"; }
  // The copy's record of game n is ours, move for move.
  bool SameGame(int n, std::string& why) const {
    const std::string name = "/game-" + std::to_string(n) + ".sgf";
    const std::vector<gtp::SgfMove> ours = gtp::SgfMoves(Slurp(Plan_.Out + name));
    const std::vector<gtp::SgfMove> theirs = gtp::SgfMoves(Slurp(Folder() + name));
    if (theirs.empty()) {
      why = "the partner copy kept no record of game " + std::to_string(n);
      return false;
    }
    std::size_t i = 0;
    while (i < ours.size() && i < theirs.size() && ours[i] == theirs[i]) ++i;
    if (i == ours.size() && i == theirs.size()) return true;
    why = "the partner copy's record of game " + std::to_string(n) + " differs from ours at move " +
          std::to_string(i + 1);
    return false;
  }

  int Profile_;
  PartnerPlan Plan_;
  TovarinPartner Copy_;
};

}  // namespace

std::unique_ptr<Partner> MakePartner(const std::string& p, const PartnerPlan& plan) {
  int n = 1;
  if (p == "gnugo") return std::make_unique<GnuGoKind>(1, plan);
  if (p.rfind("gnugo:", 0) == 0 && gtp::Number(p.c_str() + 6, n, 0, 10))
    return std::make_unique<GnuGoKind>(n, plan);
  if (p.rfind("device:", 0) == 0 && p.size() > 7) return std::make_unique<DeviceKind>(p.substr(7));
  if (p.rfind("gtp:", 0) == 0 && !GtpPartner::SplitCommand(p.substr(4)).empty())
    return std::make_unique<GtpKind>(p.substr(4), plan);
  if (p.rfind("controller:", 0) == 0 && !GtpPartner::SplitCommand(p.substr(11)).empty())
    return std::make_unique<ControllerKind>(p.substr(11), plan);
  if (p.rfind("tovarin:", 0) == 0 && gtp::Number(p.c_str() + 8, n, 1, puppet::ProfileCount))
    return std::make_unique<CopyKind>(n, plan);
  return nullptr;
}

}  // namespace simworld
