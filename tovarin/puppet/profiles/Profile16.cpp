// Profile 16: PelinarⅡ(パワーアップ版), the edition whose executable was last
// written in 1999 (profile 6 is the other, with the same file name and title).
// Each player is chosen from a list that opens slowly.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu Options{200, 30};

constexpr Step Launch[] = {
    Wait("the program settles", 12000),
};

constexpr Step SetOptions[] = {
    Click("title bar", 200, 10),
    Click("Options menu", 200, 30),
    Wait("the menu opens", 500),
    TickOff("sound off", 200, 101, Options),
    TickOn("coordinates on", 200, 117, Options),
    Click("Options menu → Preferences…", 200, 50),
    Click("preferences: first tab", 30, 90),
    LastTickOff("hints off", 315, 132),
    Click("preferences: the first page's button", 44, 334),
    Click("preferences: second tab", 80, 100),
    LastTickOff("auto-save off", 31, 132),
    Click("close the preferences", 320, 390),
};

constexpr Step NewGame[] = {
    Click("Game menu", 30, 30),
    Click("Game menu → New game", 30, 50),
    Click("abandon the game: yes", 180, 270),
    First(Click("even game", 233, 236)),
    First(Click("no time limit", 228, 275)),
    Click("open black's list", 248, 115),
    Wait("the list opens", 500),
    Click("black's list: the program, or a person", 250, BW(230, 132)),
    Click("black's list: take the entry", 160, BW(230, 132)),
    Click("open white's list", 248, 150),
    Wait("the list opens", 500),
    Click("white's list: a person, or the program", 250, BW(170, 262)),
    Click("white's list: take the entry", 160, BW(170, 262)),
    Click("start", 120, 370),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 240, 266),
    Wait("the next box opens", 500),
    Click("close the next box", 200, 270),
};

}  // namespace

extern const Profile Profile16{
    .Id = {"[P2UP]",
           "PelinarⅡ(パワーアップ版)",
           "KANDO4.EXE",
           nullptr,
           ExecutableYear::Is1999,
           "無題 - Pelinar２",
           {}},
    .Window = {.TargetWidth = 380,
               .TargetHeight = 470,
               .MinScreenWidth = 750,
               .BoardX = {17, 23},
               .BoardY = {17, 54}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(90, 30), Fixed(90, 200)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(210, 240),
             .PassDismiss = Fixed(210, 270),
             .SampleX = {17, 23},
             .SampleY = {17, 54},
             .SampleYBottom = {17, 54},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
