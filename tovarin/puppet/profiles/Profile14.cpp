// Profile 14: Umbrisa. Its window plays pushed 35 pixels off the screen's left edge
// and fills the screen's left, so Tovarin's log goes to the bottom right corner.
// Its empty points show a dark grey, not black.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Step Launch[] = {
    Wait("the program settles", 5000),
};

constexpr Step NewGame[] = {
    Click("Game menu", 40, 30),
    Click("Game menu → New game", 40, 50),
    Wait("the box opens", 500),
    Click("abandon the game: yes", CX(-10), CY(50)),
    Click("the program's side: black, or white", 220, BW(195, 165)),
    Click("even game", 220, 290),
    Click("start", 300, 450),
};

}  // namespace

namespace data {

// Profile 17 clears its game's end the same way.
extern const std::array<Step, 4> Profile14GameEnd{{
    Wait("the result shows", 3000),
    Click("close the result box", CX(0), CY(50)),
    Wait("the next box opens", 500),
    Click("close the next box", CX(0), CY(50)),
}};

}  // namespace data

extern const Profile Profile14{
    .Id = {"[Umbr]", "Umbrisa", "UMBRISA.EXE", nullptr, ExecutableYear::Any, "Umbrisa", {}},
    .Window = {.TargetWidth = 534,
               .TargetHeight = 544,
               .PlayLeft = -35,
               .MinScreenWidth = 750,
               .BoardX = {25, 3},
               .BoardY = {25, 43}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(40, 30), Fixed(50, 100)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Centre(0, 50),
             .PassDismiss = Centre(0, 50),
             .SampleX = {25, 3},
             .SampleY = {25, 43},
             .SampleYBottom = {25, 43},
             .EmptyColourCount = 1,
             .EmptyColours = {platform::Rgb(24, 24, 24)}},
    .Layout = Arrangement::LogInCorner,
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = data::Profile14GameEnd,
};

}  // namespace puppet
