// Profile 15: Tulkomi３, profile 13's earlier edition: the same dialogs at other
// places, and a new game that asks to clear a finished one.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{220, 30};

constexpr Step Launch[] = {
    Wait("the program settles", 18000),
};

constexpr Step SetOptions[] = {
    Click("View menu", 220, 30),        TickOff("labels off", 191, 51, View),
    TickOn("sound on", 191, 67, View),  Click("View menu → Board style…", 240, 130),
    Click("board style: OK", 330, 165),
};

constexpr Step NewGame[] = {
    Click("Game menu", 30, 30),
    Click("Game menu → New game…", 50, 50),
    Wait("the box opens", 500),
    Later(Click("clear the finished game", 250, 230)),
    Click("black: the program, or a person", 98, BW(98, 70)),
    Click("white: a person, or the program", 98, BW(134, 164)),
    Click("the program's strength…", 286, BW(96, 163)),
    Wait("the strength dialog opens", 500),
    Click("close the strength dialog", 200, BW(164, 230)),
    First(Click("even game", 350, 85)),
    First(Click("no time limit", 322, 300)),
    Click("start", 200, 345),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 290, 230),
    Click("close the next box", 250, 230),
};

}  // namespace

extern const Profile Profile15{
    .Id =
        {"[Tul3]", "Tulkomi３", "GRETO3.EXE", nullptr, ExecutableYear::Any, "無題 - Tulkomi３", {}},
    .Window = {.TargetWidth = 500,
               .TargetHeight = 400,
               .MinScreenWidth = 750,
               .BoardX = {15, 183},
               .BoardY = {15, 59}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(80, 30), Fixed(90, 190)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(192, 250),
             .PassDismiss = Fixed(230, 230),
             .SampleX = {15, 183},
             .SampleY = {15, 59},
             .SampleYBottom = {15, 59},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
