// Profile 12: Sivarne対局. Players are set in a dialog of their own menu; the game
// starts from the Game menu, which asks to clear a finished one.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu View{260, 30};

constexpr Step Launch[] = {
    Wait("the program settles", 14000),
};

constexpr Step SetOptions[] = {
    Click("View menu", 260, 30),
    TickOff("labels off", 253, 51, View),
    TickOff("sound off", 253, 67, View),
    TickOff("animation off", 253, 83, View),
    TickOff("hints off", 253, 149, View),
    LastTickOff("clock off", 253, 165),
    Click("title bar: close the menu", 50, 10),
};

constexpr Step NewGame[] = {
    Click("Players menu", 210, 30),
    Click("Players menu → Players…", 210, 50),
    Click("black: the program, or a person", 148, BW(108, 78)),
    Click("white: a person, or the program", 288, BW(78, 108)),
    Click("even game", 190, 350),
    Click("close the players dialog", 310, 355),
    Click("Game menu", 80, 30),
    Click("Game menu → New game", 80, 50),
    Later(Click("clear the finished game", 250, 220)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 240, 220),
};

}  // namespace

extern const Profile Profile12{
    .Id =
        {"[SivB]", "Sivarne対局", "LUMBA.EXE", nullptr, ExecutableYear::Any, "Sivarne - 無題", {}},
    .Window = {.TargetWidth = 510,
               .TargetHeight = 380,
               .MinScreenWidth = 750,
               .BoardX = {15, 187},
               .BoardY = {15, 58}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(80, 30), Fixed(80, 80)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(240, 220),
             .PassDismiss = Fixed(240, 220),
             .SampleX = {15, 187},
             .SampleY = {15, 64},
             .SampleYBottom = {15, 52},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
