#pragma once
// What each reference puppet program looks like, in its own terms: its file names
// and titles, the size it lays itself out for, where it draws its board inside its
// window, how the opponent's pass is clicked, and the boxes it shows. Points are
// window coordinates (from the window's outer top-left corner) or offsets from the
// screen's centre, as a program places a box in the middle of the screen.
//
// This table is written for the programs and is kept apart from Tovarin's profile
// table on purpose: the two are checked against each other only through the
// screen, so a wrong number on either side shows up as a game that goes astray.
#include <array>
#include <cstdint>

#include "platform/Geometry.h"

namespace refpuppet {

enum class Anchor : std::uint8_t { Window, ScreenCentre };

struct Place {
  Anchor From = Anchor::Window;
  int X = 0;
  int Y = 0;
};

struct Box {
  Anchor From = Anchor::Window;
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// A grey box with one button.
struct BoxShape {
  Box Frame;
  Box Button;
};

// How the stones look.
enum class StoneLook : std::uint8_t {
  Plain,         // dark grey and off-white discs
  RingedDotted,  // black and white discs with a grey rim; white ones with a black dot
  Marked,        // black and light grey discs; the stone played last carries a red mark
};

// How the program shows its own pass in the middle of a game.
enum class MidGamePass : std::uint8_t {
  Box,        // the pass box
  PanelSign,  // a black sign on its panel while the last move is a pass
  MarkGone,   // no box: the mark of the last stone disappears
};

// How it shows its own pass when that pass ends the game.
enum class EndingPass : std::uint8_t {
  BoxThenEnd,     // the pass box, then the end-of-game boxes
  EndOnly,        // the end-of-game boxes at once
  BoxIsFirstEnd,  // the pass box stands in for the first end-of-game box
};

struct PuppetDesign {
  int Profile;
  std::array<const char*, 2> Executables;  // second may be nullptr
  std::array<const char*, 2> Titles;       // title of the main window per executable
  const char* BoardTitle;                  // the separate board window, or nullptr
  int Width;                               // the outer size it is laid out for
  int Height;
  // The board: intersection (1, 1) and the spacing of the lines.
  int GridLeft;
  int GridTop;
  int PitchX;
  int PitchY;
  bool LinesStopShort;  // lines drawn without their last pixel
  platform::ColorRef LineColour;
  bool ShadedCrossings;  // crossing pixels in four dark shades
  int MarkC;             // a point whose crossing pixel carries a small mark (0: none)
  int MarkR;
  StoneLook Stones;
  // The opponent's pass: one button, or a first click that opens a menu (or a
  // confirmation box) holding the second.
  int PassClickCount;
  std::array<Place, 2> PassClicks;
  MidGamePass OwnPass;
  EndingPass OwnEndingPass;
  BoxShape PassBox;
  Place PanelSign;  // PanelSign only
  bool HasNotice;   // a notice box when the opponent has taken stones
  BoxShape Notice;
  int EndBoxCount;
  std::array<BoxShape, 3> EndBoxes;
  std::array<std::uint32_t, 3> EndBoxDelaysMs;  // from the game's end or the box before
};

// The program of profile 1 to 18, or nullptr.
const PuppetDesign* DesignOf(int profile);

// Screen rectangle of a box for a window whose outer rectangle is `window`.
platform::Rect OnScreen(const Box& box, const platform::Rect& window, int screenWidth,
                        int screenHeight);
platform::Point OnScreen(const Place& place, const platform::Rect& window, int screenWidth,
                         int screenHeight);

}  // namespace refpuppet
