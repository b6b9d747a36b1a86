// Profile 18: Wendrix. Strength and komi are chosen in submenus of the Game menu.
// Every box it shows (its pass, a game where the partner moves first, its result)
// has its button at the same point; a pass given to it shows a box before its
// result.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

// The button of each of its boxes.
constexpr int BoxButtonX = 329;
constexpr int BoxButtonY = 270;

constexpr Step Launch[] = {
    Wait("the program settles", 10000),
};

constexpr Step SetOptions[] = {
    Click("Game menu", 140, 30),           Click("Game menu → Level ▸", 140, 80),
    Click("level: the first", 225, 76),    Click("Game menu", 140, 30),
    Click("Game menu → Komi ▸", 140, 125), Click("komi: the first", 225, 126),
};

constexpr Step NewGame[] = {
    Click("Game menu", 140, 30),
    Click("Game menu → Players…", 140, 50),
    Wait("the players dialog opens", 500),
    Click("black: the program, or a person", 284, BW(70, 108)),
    Click("white: a person, or the program", 230, BW(108, 70)),
    Click("no handicap", 230, 160),
    First(Click("even game", 230, 226)),
    First(Click("no time limit", 230, 262)),
    First(Click("show the result", 284, 380)),
    Click("close the players dialog", 250, 450),
    Wait("the dialog closes", 500),
    Click("start button", 560, 85),
    ClickIf("close the box that says the partner moves first", Test::Grey, BoxButtonX, BoxButtonY),
};

// No further wait before it: the boxes come late enough.
constexpr Step GameEnd[] = {
    AfterPartnerPass(Wait("the box for the pass it was given shows", 500)),
    AfterPartnerPass(Click("close the box for the pass", BoxButtonX, BoxButtonY)),
    Wait("the result shows", 10000),
    Click("close the result box", BoxButtonX, BoxButtonY),
};

}  // namespace

extern const Profile Profile18{
    .Id = {"[Wendrix]", "Wendrix", "WENDRIX.EXE", nullptr, ExecutableYear::Any, "Wendrix", {}},
    .Window = {.TargetWidth = 640,
               .TargetHeight = 480,
               .MinScreenWidth = 750,
               .BoardX = {20, 129},
               .BoardY = {20, 50}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(560, 150)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(BoxButtonX, BoxButtonY),
             .PassDismiss = Fixed(BoxButtonX, BoxButtonY),
             .SampleX = {20, 129},
             .SampleY = {20, 50},
             .SampleYBottom = {20, 50},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
