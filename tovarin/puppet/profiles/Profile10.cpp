// Profile 10: Rendolin(98). It opens with a title screen; its players dialog stands
// at the screen's centre, and its pass button asks once more. Its grid lines stop
// short of the corner (19, 19), which is read one pixel up.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Step Launch[] = {
    Wait("the title screen shows", 2000),
    Click("click the title screen away", CX(162), CY(-145)),
    Wait("the program settles", 2000),
};

constexpr Step NewGame[] = {
    Click("Game menu", 30, 30),
    Click("Game menu → New game…", 30, 50),
    Wait("the players dialog opens", 500),
    Click("the program's side: black, or white", BW(CX(-96), CX(28)), CY(16)),
    Click("even game", CX(-60), CY(100)),
    Click("start", CX(0), CY(100)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows; nothing is left to clear", 3000),
};

}  // namespace

extern const Profile Profile10{
    .Id = {"[RENDO]",
           "Rendolin(98)",
           "RENDOLIN.EXE",
           nullptr,
           ExecutableYear::Any,
           "Untitled - Rendolin-98",
           {}},
    .Window = {.TargetWidth = 500,
               .TargetHeight = 420,
               .MinScreenWidth = 750,
               .BoardX = {10, 6},
               .BoardY = {10, 44}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(300, 400), Fixed(235, 235)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(260, 235),
             .PassDismiss = Fixed(260, 235),
             .SampleX = {10, 6},
             .SampleY = {10, 44},
             .SampleYBottom = {10, 44},
             .Exception = {.C = 19, .R = 19, .Dy = -1},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
