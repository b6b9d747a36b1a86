#pragma once
// What profile 7 (Brimu７) shares with its later edition, profile 8: the window,
// the board, the clicks of a move and a pass, the board's look, and the scripts
// that launch it, start a game and clear a finished one.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet::data {

inline constexpr Geometry Profile7Window{.TargetWidth = 460,
                                         .TargetHeight = 390,
                                         .MinScreenWidth = 750,
                                         .BoardX = {16, 16},
                                         .BoardY = {17, 43}};
inline constexpr Entry Profile7Input{
    .ClicksTitleFirst = true, .PassClickCount = 2, .PassClicks = {Fixed(80, 30), Fixed(80, 100)}};
inline constexpr Reading Profile7Look{.Sign = PassSign::Dialog,
                                      .PassProbe = Fixed(220, 200),
                                      .PassDismiss = Fixed(230, 230),
                                      .SampleX = {16, 16},
                                      .SampleY = {17, 50},
                                      .SampleYBottom = {17, 36},
                                      .EmptyColourCount = 1,
                                      .EmptyColours = BlackOnly};

inline constexpr std::array<Step, 3> Profile7Launch{{
    Wait("the title screen shows", 2000),
    Click("click the title screen away", CX(0), CY(40)),
    Wait("the program settles", 5000),
}};

inline constexpr std::array<Step, 7> Profile7NewGame{{
    Click("Game menu", 80, 30),
    Click("Game menu → New game…", 80, 50),
    First(Click("conditions: even game", 96, 196)),
    First(Click("conditions: next", 290, 208)),
    Later(Click("clear the finished game", 230, 225)),
    Click("the program's side: black, or white", 100, BW(260, 245)),
    Click("start", 300, 140),
}};

inline constexpr std::array<Step, 2> Profile7GameEnd{{
    Wait("the result shows", 3000),
    Click("close the result box", 230, 225),
}};

}  // namespace puppet::data
