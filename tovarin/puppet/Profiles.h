#pragma once
// The 18 puppet programs Tovarin can drive, as pure data: how each is identified,
// the size and place its window must have, where its board points stand on the
// screen, how a move or a pass is clicked into it, and how its board and its pass
// are read from the screen. Every screen point is valid only while the puppet's
// window stands at its play position with its target size.
//
// Profile numbers run from 1 to 18; any other number is no profile at all, for
// which the lookups below give nullptr (or the "unknown" texts).
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Geometry.h"

namespace puppet {

inline constexpr int ProfileCount = 18;
inline constexpr int TitleCount = 20;
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
};

// The window titles searched for, one per profile at index profile - 1 (profile 5's
// board window there), and profile 5's two main-window titles at the end.
inline constexpr int Profile5MainTitle = 18;
inline constexpr int Profile5PlainTitle = 19;
constexpr int TitleIndex(int profile) { return profile - 1; }
extern const std::array<const char*, TitleCount> TitleTable;

// ---- Window and board geometry ----

struct Geometry {
  std::int16_t TargetWidth;  // outer size of the puppet window
  std::int16_t TargetHeight;
  std::int16_t PlayLeft;  // top-left corner of the window while games are played
  std::int16_t PlayTop;
  std::int16_t MinScreenWidth;
  Linear BoardX;  // the screen point at which a click enters a stone at (c, r)
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

struct Reading {
  PassSign Sign;
  ScreenSpot PassProbe;  // grey here means a pass dialog (Dialog, NoticeDialog)
  ScreenSpot PassDismiss;
  Linear SampleX;
  Linear SampleY;        // rows 1 to 18
  Linear SampleYBottom;  // row 19, where there is no grid line below the point
  SampleException Exception;
  std::uint8_t EmptyColourCount;
  std::array<platform::ColorRef, 4> EmptyColours;
  bool BoardWindowRules;  // profile 5: row 1 and the corner (1, 1) read differently
};

// Profile 3: a notice box, clicked away before anything else is looked at.
inline constexpr ScreenSpot NoticeProbe = Centre(-100, 0);
inline constexpr ScreenSpot NoticeDismiss = Centre(20, 60);

// Profile 4: a black pass sign on its panel, trusted only once the grace time since
// the partner's move has passed, or a grey box at the screen centre.
inline constexpr ScreenSpot PassPanel = Fixed(614, 266);
inline constexpr ScreenSpot CentreBox = Centre(0, 0);

// Profile 9: three boxes in a row, each clicked away after the wait given with it;
// or, after a stone was played last, the mark on that stone gone: its centre shows
// the stone's plain face, black or this light grey.
inline constexpr ScreenSpot SeriesProbe = Centre(12, 84);
inline constexpr std::array<ScreenSpot, 3> SeriesClicks{Centre(12, 64), Centre(12, 34),
                                                        Centre(-48, 144)};
inline constexpr std::array<std::uint32_t, 3> SeriesWaitsMs{500, 500, 300};
inline constexpr platform::ColorRef WhiteStoneFace = platform::Rgb(200, 200, 200);

// Profile 5: row 1 is sampled left of the point, and the corner (1, 1) by six
// pixels around it, any of which is black under a stone.
inline constexpr Linear Row1SampleX{19, 5};
inline constexpr int Row1SampleY = 135;
inline constexpr std::array<platform::Point, 6> CornerPixels{
    {{34, 136}, {32, 136}, {32, 135}, {32, 134}, {33, 134}, {34, 134}}};

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

// ---- Lookups ----

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
