// Profile 6: PelinarⅡ, the edition whose executable was not last written in 1999
// (profile 16 is the other). Each player is chosen from a list: a person first,
// then the program's strengths; the entry the program's list shows in the first
// game is kept for the match.
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {
namespace {
using namespace data;

constexpr Menu Options{200, 30};

// Black's list, then white's: its mark, where it opens, the row before its first.
constexpr PlayerLists Lists{{{{{180, 104}, {252, 105}, 108}, {{180, 140}, {252, 140}, 144}}}, 200};

constexpr Step Launch[] = {
    Wait("the program settles", 12000),
};

constexpr Step SetOptions[] = {
    Click("Options menu", 200, 30),
    TickOn("coordinates on", 199, 101, Options),
    TickOff("sound off", 199, 117, Options),
    Click("Options menu → Preferences…", 200, 50),
    Click("preferences: first tab", 30, 90),
    LastTickOff("hints off", 315, 120),
    Click("preferences: the first page's button", 44, 320),
    Click("preferences: second tab", 70, 90),
    LastTickOff("auto-save off", 30, 120),
    Click("close the preferences", 330, 380),
};

constexpr Step NewGame[] = {
    Click("new game button", 400, 60),
    Click("abandon the game: yes", 210, 260),
    First(Special("read which entry of its list the program plays", Does::ReadListChoice)),
    First(Click("even game", 233, 236)),
    First(Click("no time limit", 233, 266)),
    Click("open black's list", 252, 105),
    Click("black's list: scroll to the program, or to the top", 253, BW(215, 125)),
    Click("black: the program's entry, or a person", 200, BW(ListRow(108), 120)),
    Click("open white's list", 252, 140),
    Click("white's list: scroll to the top, or to the program", 253, BW(160, 252)),
    Click("white: a person, or the program's entry", 200, BW(160, ListRow(144))),
    Click("start", 130, 360),
};

constexpr Step GameEnd[] = {
    Wait("the result shows", 3000),
    Click("close the result box", 255, 255),
    Click("close the next box", 200, 255),
};

}  // namespace

extern const Profile Profile06{
    .Id = {"[Pel2]",
           "PelinarⅡ",
           "KANDO4.EXE",
           nullptr,
           ExecutableYear::Not1999,
           "無題 - Pelinar２",
           {}},
    .Window = {.TargetWidth = 424,
               .TargetHeight = 448,
               .MinScreenWidth = 750,
               .BoardX = {17, 22},
               .BoardY = {17, 53}},
    .Input = {.ClicksTitleFirst = false, .PassClickCount = 1, .PassClicks = {Fixed(400, 430)}},
    .Look = {.Sign = PassSign::Dialog,
             .PassProbe = Fixed(135, 250),
             .PassDismiss = Fixed(200, 255),
             .SampleX = {17, 22},
             .SampleY = {17, 56},
             .SampleYBottom = {17, 45},
             .EmptyColourCount = 1,
             .EmptyColours = BlackOnly},
    .Lists = &Lists,
    .Launch = Launch,
    .Options = SetOptions,
    .NewGame = NewGame,
    .GameEnd = GameEnd,
};

}  // namespace puppet
