// Profile 7: Brimu７. It opens with a title screen. A new game asks for its
// conditions the first time and to clear the finished game later, then for the
// side the program takes. Profile 8 is its later edition and shares all of this
// but its options.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace data {

extern const std::array<Step, 3> Profile7Launch{{
    Wait("the title screen shows", 2000),
    Click("click the title screen away", CX(0), CY(40)),
    Wait("the program settles", 5000),
}};

extern const std::array<Step, 7> Profile7NewGame{{
    Click("Game menu", 80, 30),
    Click("Game menu → New game…", 80, 50),
    First(Click("conditions: even game", 96, 196)),
    First(Click("conditions: next", 290, 208)),
    Later(Click("clear the finished game", 230, 225)),
    Click("the program's side: black, or white", 100, BW(260, 245)),
    Click("start", 300, 140),
}};

extern const std::array<Step, 2> Profile7GameEnd{{
    Wait("the result shows", 3000),
    Click("close the result box", 230, 225),
}};

}  // namespace data

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
    .Window = {460, 390, 0, 0, 750, {16, 16}, {17, 43}},
    .Input = {true, 2, {Fixed(80, 30), Fixed(80, 100)}},
    .Look = {PassSign::Dialog,
             Fixed(220, 200),
             Fixed(230, 230),
             {16, 16},
             {17, 50},
             {17, 36},
             {},
             1,
             BlackOnly},
    .Launch = Profile7Launch,
    .Options = SetOptions,
    .NewGame = Profile7NewGame,
    .GameEnd = Profile7GameEnd,
};

}  // namespace puppet
