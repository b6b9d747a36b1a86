// Profile 2: Halvendo囲碁. Its record pane stands right of the board behind a white
// divider, which is dragged to the window's edge to leave the board alone.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{260, 30};

// The divider stands on the line 50 above the window's bottom, right of x 50.
constexpr Divider RecordPane{50, 50, 43};

constexpr Step Launch[] = {
    Wait("the program settles", 5000),
};

constexpr Step SetOptions[] = {
    Click("View menu", 260, 30),
    TickOn("coordinates on", 253, 51, View),
    TickOff("sound off", 253, 67, View),
    LastTickOff("animation off", 253, 83),
    Click("title bar: close the menu", 260, 10),
    Special("drag the record pane's divider to the window's right edge", Does::DragDivider),
};

constexpr Step NewGame[] = {
    Click("Game menu", 210, 25),
    Click("Game menu → Players…", 210, 50),
    Click("black: the program, or a person", BW(42, 152), 162),
    Click("white: a person, or the program", BW(356, 252), 162),
    Click("close the players dialog", 100, 245),
    Click("start button", 30, 60),
    Later(Wait("the box that clears the finished game opens", 200)),
    Later(Click("clear the finished game", 200, 220)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 200, 220),
};

}  // namespace

extern const Profile Profile02{
    .Id = {"[SivA]",
           "Halvendo囲碁",
           "HALVENDO.EXE",
           nullptr,
           ExecutableYear::Any,
           "無題 - Halvendo囲碁",
           {}},
    .Window = {.TargetWidth = 400,
               .TargetHeight = 372,
               .MinScreenWidth = 750,
               .BoardX = {16, 62},
               .BoardY = {16, 44}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(40, 180)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(150, 212),
             .PassDismiss = Fixed(200, 215),
             .SampleX = {16, 62},
             .SampleY = {16, 47},
             .SampleYBottom = {16, 38},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .RecordDivider = &RecordPane,
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
