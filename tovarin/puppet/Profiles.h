#pragma once
// The 18 puppet programs Tovarin can drive, as pure data: how each is identified,
// the size and place its window must have, where its board points stand on the
// screen, how a move or a pass is clicked into it, how its board and its pass are
// read from the screen, and the scripts of clicks, keys, waits and pixel tests that
// start it, set its options, start a game and clear a finished one. Every screen
// point is valid only while the puppet's window stands at its play position with
// its target size.
//
// Each profile lives in one file of its own, tovarin/puppet/profiles/ProfileNN.cpp.
// Profile numbers run from 1 to 18; any other number is no profile at all, for
// which the lookups below give nullptr (or the "unknown" texts).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Geometry.h"
#include "tovarin/puppet/profiles/List.h"

namespace puppet {

#define TOVARIN_COUNT_PROFILE(name) +1
// The number of supported puppets: the lines of profiles/List.h.
inline constexpr int ProfileCount = 0 TOVARIN_PROFILES(TOVARIN_COUNT_PROFILE);
#undef TOVARIN_COUNT_PROFILE
// A profile number that names no puppet (any number outside 1..ProfileCount does).
inline constexpr int NoProfile = 0;
inline constexpr int TitleCount = ProfileCount + 2;
inline constexpr const char* UnknownTag = "[不明]";
inline constexpr const char* UnknownName = "不明";

inline constexpr platform::ColorRef Black = platform::Rgb(0, 0, 0);
// The face of a standard dialog box.
inline constexpr platform::ColorRef DialogGrey = platform::Rgb(192, 192, 192);

constexpr bool IsProfile(int profile) { return profile >= 1 && profile <= ProfileCount; }

// A screen coordinate as a linear function of a board column or row: Step * n + Offset.
struct Linear {
  std::int16_t Step = 0;
  std::int16_t Offset = 0;
  constexpr int At(int n) const { return Step * n + Offset; }
};

// A screen point, fixed or relative to the screen's centre (W/2, H/2, halves truncated).
struct ScreenSpot {
  bool FromCentre = false;
  std::int16_t X = 0;
  std::int16_t Y = 0;
  constexpr platform::Point On(int screenWidth, int screenHeight) const {
    return FromCentre ? platform::Point{screenWidth / 2 + X, screenHeight / 2 + Y}
                      : platform::Point{X, Y};
  }
};
constexpr ScreenSpot Fixed(int x, int y) {
  return ScreenSpot{false, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
}
constexpr ScreenSpot Centre(int dx, int dy) {
  return ScreenSpot{true, static_cast<std::int16_t>(dx), static_cast<std::int16_t>(dy)};
}

// ---- Identity ----

// Which last-write year of the executable belongs to the profile (6 and 16 share
// one file name and are told apart by it).
enum class ExecutableYear : std::uint8_t { Any, Not1999, Is1999 };

struct Identity {
  const char* Tag;          // shown after the colour labels of the main window
  const char* DisplayName;  // shown in the registry's lists
  const char* Executable;   // the identifying file name
  const char* Executable2;  // a second file name, or nullptr
  ExecutableYear Year;
  const char* Title;  // the title of the window that is driven
  // Titles of a second window that must exist beside it (either one), or nullptr:
  // profile 5 drives its board window, and its main window only has to be there.
  std::array<const char*, 2> MainTitles;
};

// The window titles searched for, one per profile at index profile - 1 (profile 5's
// board window there), and profile 5's two main-window titles at the end.
inline constexpr int Profile5MainTitle = ProfileCount;
inline constexpr int Profile5PlainTitle = ProfileCount + 1;
constexpr int TitleIndex(int profile) { return profile - 1; }
std::array<const char*, TitleCount> TitleTable();

// ---- Window and board geometry ----

struct Geometry {
  std::int16_t TargetWidth;  // outer size of the puppet window
  std::int16_t TargetHeight;
  // The left edge of the window while games are played; its top edge is then 0.
  // A window that must stand partly off the screen is moved sideways only.
  std::int16_t PlayLeft = 0;
  std::int16_t MinScreenWidth;  // narrower screens are refused before the start
  Linear BoardX;                // the screen point at which a click enters a stone at (c, r)
  Linear BoardY;
};

constexpr platform::Point BoardPoint(const Geometry& g, int c, int r) {
  return platform::Point{g.BoardX.At(c), g.BoardY.At(r)};
}

// ---- Move entry ----

// Profiles that take a click on their title bar before every move or pass.
inline constexpr platform::Point TitleClick{50, 10};

struct Entry {
  bool ClicksTitleFirst;
  std::uint8_t PassClickCount;  // 1 or 2
  std::array<ScreenSpot, 2> PassClicks;
};

// ---- Board reading ----

// How the puppet shows that it has passed.
enum class PassSign : std::uint8_t {
  Dialog,         // a grey pixel at the probe; one click at the dismiss point closes it
  NoticeDialog,   // as Dialog, but first a notice box may have to be clicked away
  PanelOrCentre,  // a black pass sign on its panel, or a grey box at the screen centre
  DialogSeries,   // three boxes clicked away in turn, or the last move's mark gone
};

// One point whose sample differs from the profile's formulas.
struct SampleException {
  std::int8_t C = 0;  // 0: none
  std::int8_t R = 0;
  std::int8_t Dx = 0;
  std::int8_t Dy = 0;
  bool BlackOnly = false;  // only black counts as empty there
};

// Profile 5's board window: row 1 is sampled left of the point, and the corner
// (1, 1) by six pixels around it, any of which is black under a stone.
struct BoardWindowSampling {
  Linear Row1SampleX;
  std::int16_t Row1SampleY;
  std::array<platform::Point, 6> CornerPixels;
};

struct Reading {
  PassSign Sign;
  ScreenSpot PassProbe;      // grey here means a pass box (Dialog, NoticeDialog, the
                             // centre box of PanelOrCentre, the first of DialogSeries)
  ScreenSpot PassDismiss{};  // closes the box of Dialog and NoticeDialog
  Linear SampleX;
  Linear SampleY;        // rows 1 to 18
  Linear SampleYBottom;  // row 19, where there is no grid line below the point
  SampleException Exception{};
  std::uint8_t EmptyColourCount;
  std::array<platform::ColorRef, 4> EmptyColours;
  const BoardWindowSampling* BoardWindow = nullptr;  // profile 5's rules, or none
  // NoticeDialog: a notice box, clicked away before anything else is looked at.
  ScreenSpot NoticeProbe{};
  ScreenSpot NoticeDismiss{};
  // PanelOrCentre: a black pass sign on the panel, trusted only PassTrustMs after
  // the partner's move; the board is redrawn slowly for RedrawAfterCaptureMs after
  // a capture.
  ScreenSpot PanelProbe{};
  std::uint16_t PassTrustMs = 0;
  std::uint16_t RedrawAfterCaptureMs = 0;
  // DialogSeries: three boxes clicked away in turn, each followed by its wait; or,
  // after a stone was played last, the mark on that stone gone: its centre shows
  // the stone's plain face, black or PlainWhiteFace.
  std::array<ScreenSpot, 3> SeriesClicks{};
  std::array<std::uint16_t, 3> SeriesWaitsMs{};
  platform::ColorRef PlainWhiteFace = 0;
};

// The pixels that tell whether the point (c, r) is empty, and how to judge them.
struct PointTest {
  std::uint8_t PixelCount = 1;
  std::array<platform::Point, 6> Pixels{};
  // false: occupied unless the one pixel has an empty colour.
  // true: occupied as soon as one of the pixels is black (profile 5's corner).
  bool OccupiedWhenBlack = false;
  std::uint8_t EmptyColourCount = 1;
  std::array<platform::ColorRef, 4> EmptyColours{};
};

PointTest PointTestFor(const Reading& reading, int c, int r);

// Judges a point by the pixels `read(x, y)` returns. A pixel that cannot be read
// (off the screen) never makes a point look occupied: the screen cannot show a
// stone there, and a move nobody can see must not be reported.
template <class ReadPixel>
bool LooksOccupied(const PointTest& test, ReadPixel&& read) {
  if (test.OccupiedWhenBlack) {
    for (int i = 0; i < test.PixelCount; ++i)
      if (read(test.Pixels[i].X, test.Pixels[i].Y) == Black) return true;
    return false;
  }
  platform::ColorRef c = read(test.Pixels[0].X, test.Pixels[0].Y);
  if (c == platform::InvalidColor) return false;
  for (int i = 0; i < test.EmptyColourCount; ++i)
    if (c == test.EmptyColours[i]) return false;
  return true;
}

// The smallest screen rectangle that holds every pixel the board scan may read.
platform::Rect SampleArea(const Reading& reading);

// ---- Scripts ----

// What a script step does.
enum class Does : std::uint8_t {
  Click,              // a click at (X, Y)
  Key,                // a press of Key, Count times
  Wait,               // a pause of WaitMs
  DragDivider,        // profile 2: its record pane's divider to the window's right edge
  ReadListChoice,     // profile 6: which entry of its player list is chosen
  StopIfPassCleared,  // the look that read the pass cleared the boxes: stop here
};

// When a step is taken at all.
enum class Only : std::uint8_t {
  Always,
  FirstGame,         // the first game of a match
  LaterGames,        // the second and later games of a series
  PuppetBlack,       // the puppet plays black
  AfterPartnerPass,  // the game ended on the partner's pass (given to the puppet)
};

// The pixel test that must hold at the moment of the step for it to be taken.
enum class Test : std::uint8_t {
  None,
  Black,        // Probe is black
  NotBlack,     // Probe is not black
  Grey,         // Probe shows a dialog's grey face
  EitherBlack,  // Probe is black, or else (Probe2X, Probe.Y) is
};

// The rows of profile 6's player lists stand this many pixels apart.
inline constexpr int ListRowHeight = 12;

// One term of a coordinate: fixed, from the screen's centre (half the width or
// height, truncated), or on the row of profile 6's list choice L (12 L + Value).
enum class From : std::uint8_t { Screen, CentreX, CentreY, ListRow };

struct Term {
  From Base = From::Screen;
  std::int16_t Value = 0;
  constexpr int At(int screenWidth, int screenHeight, int listChoice) const {
    switch (Base) {
      case From::CentreX:
        return screenWidth / 2 + Value;
      case From::CentreY:
        return screenHeight / 2 + Value;
      case From::ListRow:
        return ListRowHeight * listChoice + Value;
      case From::Screen:
        break;
    }
    return Value;
  }
};

// A coordinate whose term may differ with the puppet's colour.
struct Coord {
  Term IfBlack;
  Term IfWhite;
  constexpr Coord() = default;
  constexpr Coord(int v)  // NOLINT: a plain number is a fixed coordinate
      : IfBlack{From::Screen, static_cast<std::int16_t>(v)},
        IfWhite{From::Screen, static_cast<std::int16_t>(v)} {}
  constexpr Coord(Term black, Term white) : IfBlack(black), IfWhite(white) {}
  constexpr const Term& For(bool puppetBlack) const { return puppetBlack ? IfBlack : IfWhite; }
};

struct Step {
  const char* Label = nullptr;  // what the step is for, as a reader of the script needs it
  Does Action = Does::Click;
  Only When = Only::Always;
  Test If = Test::None;
  Coord X;
  Coord Y;
  platform::Point Probe{};
  std::int16_t Probe2X = 0;
  // A menu clicked open again after the click, for the next test in it; (0, 0): none.
  platform::Point Reopen{};
  Coord WaitMs;
  std::uint8_t Key = 0;
  std::uint8_t Count = 1;
};

using Script = std::span<const Step>;

// Profile 6: the new-game dialog's two player lists. The list whose mark is black
// holds the program; opened at Open, it shows its chosen entry in navy at EntryX,
// on the rows FirstRowY + ListRowHeight k for k = 1 to 9.
struct PlayerLists {
  struct List {
    platform::Point Mark;
    platform::Point Open;
    std::int16_t FirstRowY;
  };
  std::array<List, 2> Lists;
  std::int16_t EntryX;
};

// Profile 2: the divider of its record pane. It is the first white pixel from
// StartX rightwards on the line AboveBottom pixels above the window's bottom, and
// it is dragged by the point GripAboveBottom above the bottom.
struct Divider {
  std::int16_t StartX;
  std::int16_t AboveBottom;
  std::int16_t GripAboveBottom;
};

// Where Tovarin's own windows go beside the placed puppet.
enum class Arrangement : std::uint8_t {
  Beside,       // the main window right of the puppet if it would cover it, the log below
  LogInCorner,  // the puppet fills the screen's left: the log at the bottom right corner
};

struct Profile {
  Identity Id;
  Geometry Window;
  Entry Input;
  Reading Look;
  Arrangement Layout = Arrangement::Beside;
  // The pause before the first move of a puppet playing black is read, in the first
  // game of a match: some puppets show their first stone late.
  std::uint16_t FirstMovePauseMs = 0;
  const PlayerLists* Lists = nullptr;      // what Does::ReadListChoice reads
  const Divider* RecordDivider = nullptr;  // what Does::DragDivider drags
  Script Launch{};   // after the program is started: opening screens, the wait to settle
  Script Options{};  // once per match, with the window at (0, 0) and its target size
  Script NewGame{};  // before every game, after the puppet's window is brought forward
  Script GameEnd{};  // after the second pass, once the last pass was given to the puppet
};

// ---- Lookups ----

const Profile* ProfileOf(int profile);

const Identity* IdentityOf(int profile);
const Geometry* GeometryOf(int profile);
const Entry* EntryOf(int profile);
const Reading* ReadingOf(int profile);

// The tag and the display name, or the "unknown" texts outside 1 to 18.
const char* TagOf(int profile);
const char* DisplayNameOf(int profile);

// The profile of an executable, by the exact file-name part of `path` (after the
// last '\\' or '/') and the year of the file's last write, which tells profiles 6
// and 16 apart; 0 when no profile matches.
int ProfileForExecutable(std::string_view path, int lastWriteYear);

}  // namespace puppet
