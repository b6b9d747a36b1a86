// Profile 4: Ostrugo. It opens with a title screen, takes its thinking time from a
// field typed into, shows its pass as a sign on its panel (trusted only a while
// after the partner's move) or a box at the screen's centre, and redraws its board
// slowly after a capture.
#include "platform/Desktop.h"
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Step Launch[] = {
    Wait("the title screen shows", 2000),
    Click("click the title screen away", CX(0), CY(0)),
    Wait("the program settles", 2000),
};

constexpr Step SetOptions[] = {
    Click("View menu", 123, 30),
    LastTickOn("coordinates on", 124, 140),
    Click("title bar: close the menu", 260, 10),
    Click("Settings menu", 80, 30),
    Click("Settings menu → Thinking time…", 80, 80),
    Click("the time field", 170, 210),
    Keys("clear the field", platform::VkBack, 3),
    Keys("type 555", platform::VkNumpad5, 3),
    Click("close the time dialog", 160, 355),
};

constexpr Step NewGame[] = {
    Click("new game button", 455, 60),
    Later(Wait("the result box is still up", 200)),
    Later(Click("result box: next game", CX(0), CY(60))),
    Click("black: the program, or a person", 45, BW(170, 135)),
    Click("white: a person, or the program", 250, BW(135, 170)),
    Click("even game", 126, 264),
    Click("start", 50, 350),
    Wait("the program sets up its game", BW(5000, 3000)),
};

constexpr Step GameEnd[] = {
    Wait("the result shows; its box stays until the next game", 3000),
};

}  // namespace

extern const Profile Profile04{
    .Id = {"[Ostr]",
           "Ostrugo",
           "ZOLTA.EXE",
           nullptr,
           ExecutableYear::Any,
           "対局囲碁　Ostrugo - (無題)",
           {}},
    .Window = {.TargetWidth = 640,
               .TargetHeight = 480,
               .MinScreenWidth = 750,
               .BoardX = {19, 175},
               .BoardY = {19, 54}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(615, 130)}},
    .Look = {.Sign = PassSign::PanelOrCentre,
             .PassProbe = Centre(0, 0),
             .SampleX = {19, 175},
             .SampleY = {19, 62},
             .SampleYBottom = {19, 48},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly,
             .PanelProbe = Fixed(614, 266),
             .PassTrustMs = 7000,
             .RedrawAfterCaptureMs = 1500},
    .FirstMovePauseMs = 2000,
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
