// Profile 11: Velkaro Ⅲ. Players are chosen in a dialog of the Game menu and the
// window's button starts the game; its grid lines stop short of the corner
// (19, 19), which is read one pixel up.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Step Launch[] = {
    Wait("the program settles", 18000),
};

constexpr Step NewGame[] = {
    Click("Game menu", 280, 30),
    Click("Game menu → Players…", 280, 50),
    Click("black: the program, or a person", BW(292, 202), 102),
    Click("white: a person, or the program", BW(202, 292), 204),
    Click("even game", 385, 270),
    Click("close the players dialog", 200, 430),
    Wait("the dialog closes", 3000),
    Click("start button", 600, 70),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),   Click("close the result box", 315, 275),
    Wait("the next box opens", 1000), Click("start button: next", 604, 80),
    Wait("the last box opens", 1000), Click("close the last box", 260, 277),
};

}  // namespace

extern const Profile Profile11{
    .Id = {"[Velk3]", "Velkaro Ⅲ", "VK3.EXE", nullptr, ExecutableYear::Any, "Velkaro III", {}},
    .Window = {.TargetWidth = 640,
               .TargetHeight = 480,
               .MinScreenWidth = 750,
               .BoardX = {20, 186},
               .BoardY = {20, 61}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(604, 222)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(306, 275),
             .PassDismiss = Fixed(306, 275),
             .SampleX = {20, 186},
             .SampleY = {20, 61},
             .SampleYBottom = {20, 61},
             .Exception = {.C = 19, .R = 19, .Dy = -1},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
