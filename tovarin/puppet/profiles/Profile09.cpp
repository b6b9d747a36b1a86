// Profile 9: Quastor. It opens with a title screen that stays 11 s. Its dialogs
// stand at the screen's centre. Its pass shows as three boxes in a row, or, after a
// stone was played last, as the mark on that stone gone.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

// The three boxes of a pass, and of the game's end, clicked away in turn.
constexpr ScreenSpot FirstBox = Centre(12, 64);
constexpr ScreenSpot SecondBox = Centre(12, 34);
constexpr ScreenSpot ThirdBox = Centre(-48, 144);

constexpr Step Launch[] = {
    Wait("the title screen shows", 11000),
    Click("click the title screen away", CX(-50), CY(140)),
    Wait("the program settles", 2000),
};

constexpr Step NewGame[] = {
    Click("Game menu", 30, 30),
    Click("Game menu → New game…", 30, 50),
    First(Click("Japanese rules", CX(-78), CY(-126))),
    Click("black: the program, or a person", CX(-78), BW(CY(-36), CY(-52))),
    Click("white: a person, or the program", CX(18), BW(CY(-52), CY(-36))),
    Click("start", CX(-48), CY(144)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Special("the look that read the pass has cleared the boxes already", Does::StopIfPassCleared),
    Click("close the first box", CX(FirstBox.X), CY(FirstBox.Y)),
    Wait("the second box opens", 300),
    Click("close the second box", CX(SecondBox.X), CY(SecondBox.Y)),
    Wait("the third box opens", 300),
    Click("close the third box", CX(ThirdBox.X), CY(ThirdBox.Y)),
    Wait("the box closes", 300),
};

}  // namespace

extern const Profile Profile09{
    .Id = {"[Quas]",
           "Quastor",
           "FIRSK.EXE",
           nullptr,
           ExecutableYear::Any,
           "－究極の囲碁ソフト－Quastor",
           {}},
    .Window = {.TargetWidth = 450,
               .TargetHeight = 470,
               .MinScreenWidth = 750,
               .BoardX = {20, 28},
               .BoardY = {20, 63}},
    .Input = {.ClicksTitleFirst = false,
              .PassClickCount = 2,
              .PassClicks = {Fixed(80, 30), Fixed(80, 90)}},
    .Look = {.Sign = PassSign::DialogSeries,
             .PassProbe = Centre(12, 84),
             .SampleX = {20, 28},
             .SampleY = {20, 63},
             .SampleYBottom = {20, 63},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly,
             .SeriesClicks = {FirstBox, SecondBox, ThirdBox},
             .SeriesWaitsMs = {500, 500, 300},
             .PlainWhiteFace = platform::Rgb(200, 200, 200)},
    .Launch = Launch,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
