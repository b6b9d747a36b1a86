// Profile 1: Velkaro Ⅱ. Players are chosen in a dialog of the Game menu; the side
// panel's button starts the game, asking first to clear a finished one.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu Options{200, 30};

constexpr Step Launch[] = {
    Wait("the program settles", 12000),
};

constexpr Step SetOptions[] = {
    Click("Options menu", 200, 30),
    TickOff("sound off", 191, 67, Options),
    LastTickOff("hints off", 191, 83),
};

constexpr Step NewGame[] = {
    Click("Game menu", 155, 25),
    Click("Game menu → Players…", 155, 68),
    Click("black: the program, or a person", BW(264, 180), 122),
    Click("white: a person, or the program", BW(180, 264), 204),
    Click("close the players dialog", 190, 340),
    Click("side panel: start", 480, 68),
    Later(Wait("the box that clears the finished game opens", 500)),
    Later(Click("clear the finished game", 200, 215)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 220, 220),
    Click("side panel: next", 470, 80),
    Click("close the box that clears the game", 200, 215),
};

}  // namespace

extern const Profile Profile01{
    .Id = {"[Velk2]",
           "Velkaro Ⅱ",
           "VK2.EXE",
           nullptr,
           ExecutableYear::Any,
           "[新規対局] - Velkaro Ⅱ",
           {}},
    .Window = {.TargetWidth = 500,
               .TargetHeight = 375,
               .MinScreenWidth = 750,
               .BoardX = {16, 123},
               .BoardY = {16, 52}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(480, 180)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(150, 212),
             .PassDismiss = Fixed(250, 215),
             .SampleX = {16, 123},
             .SampleY = {16, 58},
             .SampleYBottom = {16, 49},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
