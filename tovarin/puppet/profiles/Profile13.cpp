// Profile 13: Tulkomi S2. Its board style is confirmed in a dialog of the View
// menu; the program's strength for its side is set in a dialog of its own.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{200, 30};

constexpr Step Launch[] = {
    Wait("the program settles", 18000),
};

constexpr Step SetOptions[] = {
    Click("View menu", 200, 30),
    TickOff("labels off", 191, 51, View),
    TickOff("sound off", 191, 67, View),
    TickOff("hints off", 191, 99, View),
    Click("View menu → Board style…", 240, 140),
    Click("board style: OK", 330, 170),
};

constexpr Step NewGame[] = {
    Click("Game menu", 30, 30),
    Click("Game menu → New game…", 50, 50),
    Wait("the box opens", 500),
    Click("abandon the game: yes", 235, 235),
    Click("black: the program, or a person", 100, BW(75, 50)),
    Click("white: a person, or the program", 100, BW(110, 140)),
    Click("the program's strength…", 285, BW(75, 145)),
    Wait("the strength dialog opens", 500),
    Click("close the strength dialog", 180, BW(140, 205)),
    First(Click("even game", 350, 62)),
    First(Click("no time limit", 323, 323)),
    Click("start", 200, 370),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 280, 230),
    Click("close the next box", 235, 235),
};

}  // namespace

extern const Profile Profile13{
    .Id = {"[TulS2]",
           "Tulkomi S2",
           "GRETO4.EXE",
           nullptr,
           ExecutableYear::Any,
           "無題 - Tulkomi S2",
           {}},
    .Window = {.TargetWidth = 500,
               .TargetHeight = 400,
               .MinScreenWidth = 750,
               .BoardX = {15, 183},
               .BoardY = {15, 69}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(80, 30), Fixed(90, 190)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(190, 230),
             .PassDismiss = Fixed(230, 230),
             .SampleX = {15, 183},
             .SampleY = {15, 69},
             .SampleYBottom = {15, 69},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
