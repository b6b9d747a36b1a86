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
    .Window = {534, 544, -35, 0, 750, {25, 3}, {25, 43}},
    .Input = {false, 2, {Fixed(40, 30), Fixed(50, 100)}},
    .Look = {PassSign::Dialog,
             Centre(0, 50),
             Centre(0, 50),
             {25, 3},
             {25, 43},
             {25, 43},
             {},
             1,
             {platform::Rgb(24, 24, 24)}},
    .Layout = Arrangement::LogInCorner,
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = data::Profile14GameEnd,
};

}  // namespace puppet
