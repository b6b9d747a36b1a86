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
    .Window = {680, 670, -35, 0, 900, {32, 4}, {32, 43}},
    .Input = {false, 2, {Fixed(40, 30), Fixed(50, 100)}},
    .Look = {PassSign::Dialog,
             Centre(0, 50),
             Centre(0, 50),
             {32, 4},
             {32, 43},
             {32, 43},
             {1, 14, 1, 0, true},
             4,
             {platform::Rgb(0, 0, 0), platform::Rgb(24, 0, 0), platform::Rgb(96, 1, 4),
              platform::Rgb(40, 40, 40)}},
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = Profile14GameEnd,
};

}  // namespace puppet
