// Profile 7: Brimu７. It opens with a title screen. A new game asks for its
// conditions the first time and to clear the finished game later, then for the
// side the program takes. Profile 8 is its later edition and shares all of this
// but its options (Profile07.h).
#include "tovarin/puppet/profiles/Profile07.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{260, 30};

constexpr Step SetOptions[] = {
    Click("View menu", 260, 30),
    TickOff("labels off", 255, 51, View),
    TickOff("sound off", 255, 67, View),
    TickOff("animation off", 255, 83, View),
    TickOff("thinking sign off", 255, 99, View),
    TickOn("hints on", 255, 124, View),
    LastTickOff("clock off", 255, 140),
    Click("title bar: close the menu", 260, 10),
    Click("File menu", 30, 30),
    Click("File menu → Preferences…", 30, 120),
    Click("preferences: second tab", 70, 80),
    LastTickOff("confirm moves off", 68, 154),
    Click("close the preferences", 180, 325),
};

}  // namespace

extern const Profile Profile07{
    .Id =
        {"[Bri7]", "Brimu７", "BRIMU7.EXE", nullptr, ExecutableYear::Any, "Brimu7 - 新規対局", {}},
    .Window = Profile7Window,
    .Input = Profile7Input,
    .Look = Profile7Look,
    .Launch = Profile7Launch,
    .Options = SetOptions,
    .NewGame = Profile7NewGame,
    .GameEnd = Profile7GameEnd,
};

}  // namespace puppet
