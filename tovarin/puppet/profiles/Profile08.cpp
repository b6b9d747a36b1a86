// Profile 8: Brimu２０００, profile 7's later edition: the same window, board, moves,
// new game and game end. Its options menu shows check marks at x 263 and the dots
// of its radio entries at x 267.
#include "tovarin/puppet/profiles/Profile07.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{280, 30};

// The entry at y is on when its check mark (263, y) or its dot (267, y) is black;
// the dot is read only when the check mark is not.
constexpr Step MarkOff(const char* label, int y) {
  Step s = TickOff(label, 267, y, View);
  s.If = Test::EitherBlack;
  s.Probe = platform::Point{263, y};
  s.Probe2X = 267;
  return s;
}

constexpr Step SetOptions[] = {
    Click("View menu", 280, 30),
    MarkOff("labels off", 51),
    MarkOff("sound off", 67),
    MarkOff("animation off", 83),
    MarkOff("beginner hints off", 99),
    MarkOff("auto-play off", 140),
    Click("View menu → Preferences…", 300, 190),
    LastTickOff("confirm moves off", 68, 154),
    Click("close the preferences", 190, 325),
};

}  // namespace

extern const Profile Profile08{
    .Id =
        {"[Bri2K]", "Brimu２０００", "BRIMU2K.EXE", nullptr, ExecutableYear::Any, "Brimu2000", {}},
    .Window = Profile7Window,
    .Input = Profile7Input,
    .Look = Profile7Look,
    .Launch = Profile7Launch,
    .Options = SetOptions,
    .NewGame = Profile7NewGame,
    .GameEnd = Profile7GameEnd,
};

}  // namespace puppet
