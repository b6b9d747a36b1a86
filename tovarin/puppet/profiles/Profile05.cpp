// Profile 5: Pelinar(97). The program's main window must exist, but the window
// driven is its board window 「碁盤」. Its dialogs stand at the screen's centre. Its
// board window reads row 1 and the corner (1, 1) by rules of their own, and it
// shows its first stone late.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu Options{220, 30};

constexpr BoardWindowSampling BoardWindow{
    {19, 5}, 135, {{{34, 136}, {32, 136}, {32, 135}, {32, 134}, {33, 134}, {34, 134}}}};

constexpr Step Launch[] = {
    Wait("the program settles", 18000),
};

constexpr Step SetOptions[] = {
    Click("Options menu", 220, 30),
    TickOff("sound off", 199, 67, Options),
    TickOff("hints off", 199, 108, Options),
    LastTickOff("animation off", 199, 124),
    Click("title bar: close the menu", 200, 10),
};

constexpr Step NewGame[] = {
    Click("new game button", 70, 60),
    Click("abandon the game: yes", CX(40), CY(56)),
    First(Click("players: details…", CX(128), CY(0))),
    First(Click("details: Japanese rules", CX(-30), CY(28))),
    First(Click("close the details", CX(42), CY(82))),
    Click("black: the program, or a person", CX(-30), BW(CY(-136), CY(-108))),
    Click("white: a person, or the program", CX(84), BW(CY(-108), CY(-136))),
    Click("start", CX(-40), CY(160)),
    IfPuppetBlack(Wait("the program sets up its game", 5000)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", CX(50), CY(55)),
    Wait("the next box opens", 2000),
    Click("close the next box", CX(0), CY(55)),
};

}  // namespace

extern const Profile Profile05{
    .Id = {"[Pel?]",
           "Pelinar(97)",
           "MERVO.EXE",
           "PELINAR.EXE",
           ExecutableYear::Any,
           "碁盤",
           {"Pelinarﾊﾟﾜｰｱｯﾌﾟ版", "Pelinar"}},
    .Window = {.TargetWidth = 410,
               .TargetHeight = 410,
               .MinScreenWidth = 750,
               .BoardX = {19, 14},
               .BoardY = {19, 116}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(230, 60)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Centre(-55, 56),
             .PassDismiss = Centre(0, 56),
             .SampleX = {19, 14},
             .SampleY = {19, 107},
             .SampleYBottom = {19, 107},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly,
             .BoardWindow = &BoardWindow},
    .FirstMovePauseMs = 3000,
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
