// Profile 17: Umbrisa２, profile 14's later edition on a larger board: its window
// plays pushed 35 pixels off the screen's left edge and needs a screen at least
// 900 pixels wide. Its empty points show one of four dark colours, and the point
// (1, 14) is read one pixel right, where only black counts as empty.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Step Launch[] = {
    Wait("the program settles", 18000),
};

constexpr Step NewGame[] = {
    Click("Game menu", 40, 30),
    Click("Game menu → New game", 40, 50),
    Wait("the box opens", 500),
    Click("abandon the game: yes", CX(-10), CY(50)),
    Click("the program's side: black, or white", 310, BW(154, 134)),
    Click("even game", 310, 220),
    Click("start", 470, 335),
};

}  // namespace

extern const Profile Profile17{
    .Id = {"[Umbr2]", "Umbrisa２", "NOVRA2.EXE", nullptr, ExecutableYear::Any, "Umbrisa・弐", {}},
    .Window = {.TargetWidth = 680,
               .TargetHeight = 670,
               .PlayLeft = -35,
               .MinScreenWidth = 900,
               .BoardX = {32, 4},
               .BoardY = {32, 43}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(40, 30), Fixed(50, 100)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Centre(0, 50),
             .PassDismiss = Centre(0, 50),
             .SampleX = {32, 4},
             .SampleY = {32, 43},
             .SampleYBottom = {32, 43},
             .Exception = {.C = 1, .R = 14, .Dx = 1, .BlackOnly = true},
             .EmptyColourCount = 4,
             .EmptyColours = {platform::Rgb(0, 0, 0), platform::Rgb(24, 0, 0),
                              platform::Rgb(96, 1, 4), platform::Rgb(40, 40, 40)}},
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = Profile14GameEnd,
};

}  // namespace puppet
