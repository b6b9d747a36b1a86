// Profile 3: Brimu６. Its side comes from a drop-down list, then a second page of
// conditions; a notice box may stand over the board and is clicked away first.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{260, 30};

constexpr Step Launch[] = {
    Wait("the program settles", 7000),
};

constexpr Step SetOptions[] = {
    Click("View menu", 260, 30),
    TickOff("labels off", 254, 51, View),
    TickOff("sound off", 254, 67, View),
    TickOff("animation off", 254, 83, View),
    TickOff("thinking sign off", 254, 99, View),
    TickOn("hints on", 254, 124, View),
    TickOff("auto-save off", 254, 140, View),
    LastTickOff("clock off", 254, 156),
    Click("title bar: close the menu", 260, 10),
    Click("File menu", 25, 30),
    Click("File menu → Preferences…", 25, 115),
    Click("preferences: second tab", 70, 90),
    LastTickOff("confirm moves off", 80, 164),
    Click("close the preferences", 200, 330),
};

constexpr Step NewGame[] = {
    Click("Game menu", 90, 30),
    Click("Game menu → New game…", 90, 50),
    Later(Click("clear the finished game", 235, 235)),
    Click("open the side list", 110, 205),
    Click("side: black, or white", 112, BW(270, 254)),
    Click("next page", 300, 215),
    Click("even game", 197, 166),
    Click("no time limit", 197, 232),
    Click("start", 320, 150),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 240, 240),
};

}  // namespace

extern const Profile Profile03{
    .Id =
        {"[Bri6]", "Brimu６", "BRIMU6.EXE", nullptr, ExecutableYear::Any, "Brimu6 - 新規対局", {}},
    .Window = {.TargetWidth = 482,
               .TargetHeight = 410,
               .MinScreenWidth = 750,
               .BoardX = {16, 18},
               .BoardY = {17, 56}},
    .Input = {.ClicksTitleFirst = true,
              .PassClickCount = 2,
              .PassClicks = {Fixed(90, 30), Fixed(90, 75)}},
    .Look = {.Sign = PassSign::NoticeDialog,
             .PassProbe = Fixed(185, 235),
             .PassDismiss = Fixed(235, 235),
             .SampleX = {16, 18},
             .SampleY = {17, 63},
             .SampleYBottom = {17, 50},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly,
             .NoticeProbe = Centre(-100, 0),
             .NoticeDismiss = Centre(20, 60)},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
