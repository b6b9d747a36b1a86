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
#include <string_view>
#include <vector>

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

// ---- Menus, dialogs and the settings they change ----
//
// Besides its board every program has a menu bar, a few buttons, and the menus,
// dialogs, message boxes and drop-down lists they open: its panels. A panel is a
// small top-level window of its own, placed by the window or by the screen's
// centre, with controls that react to a click.

// Where a control leads: a panel of the program (its index), or nowhere.
inline constexpr int NoPanel = -1;
// Leads to the start of a game with the players chosen so far.
inline constexpr int GameStarts = -2;

// The two sides of the board, as the new-game settings name them.
inline constexpr int BlackSide = 0;
inline constexpr int WhiteSide = 1;

// What a click on a control does.
enum class Does : std::uint8_t {
  Nothing,  // a label, a frame, a button without effect here
  Open,     // opens panel Target on top (from a menu: the menu closes first, unless
            // Target is a submenu)
  Next,     // closes its panel and goes on to Target (a panel or GameStarts)
  Close,    // closes its panel
  Seat,     // side Target is played by a person (Value 0) or by the program (Value 1)
  Sides,    // the program plays side Value, a person the other one
  Keep,     // setting Target := Value (a radio button, a submenu entry)
  Flip,     // setting Target := 1 - setting Target (a tick, a check box)
  Confirm,  // setting Target := Value, and its panel closes
  Page,     // a tab: its panel shows page Value
  Field,    // an edit field: key presses from now on edit setting Target
  Drop,     // opens the drop-down list Target under the control
  Pass,     // the opponent passes
};

enum class PanelKind : std::uint8_t {
  Menu,    // drops from the menu bar (or from a menu entry); closes on a click beside it
  List,    // a drop-down list with a scroll bar, under a combo box of a dialog
  Dialog,  // modal: the program takes no other click while it is open
  Box,     // a grey message box, modal too
};

// When a panel shows on its way; a panel that does not show passes on to its Then.
enum class Shows : std::uint8_t {
  Always,
  FirstTime,   // only the first time in a run of the program
  AfterAGame,  // only while a finished game stands on the board
};

struct Control {
  Box Area;
  Does What = Does::Nothing;
  int Target = 0;
  int Value = 0;
  int Page = -1;  // shown on this page of its panel only; -1: on every page
  // Where its state shows, as a small black mark while it is on (ticks, check
  // boxes, radio buttons, the program's sign in a combo box).
  bool HasMark = false;
  Place Mark;
};

struct PanelDesign {
  PanelKind Kind = PanelKind::Dialog;
  Box Frame;
  Shows When = Shows::Always;
  int Then = NoPanel;  // where a panel that does not show leads instead
  std::vector<Control> Controls;
  // Lists only: whose player they choose, their rows, and the scroll bar. The rows
  // fill the frame from its top; entry 0 is a person, entry k the program at
  // strength k. The bar's first and last rows scroll up and down by one.
  int Side = BlackSide;
  int RowHeight = 12;
  int Rows = 9;
  int Entries = 10;
  int BarLeft = 0;
};

struct SettingDesign {
  const char* Name;
  int Initially;
  bool Turns;  // a tick or check box, which a program may start the other way round
};

struct PuppetDesign {
  int Profile;
  std::array<const char*, 2> Executables;  // second may be nullptr
  // The year its executable file was last written: editions that share a file
  // name are told apart by it (profile 16's was written in 1999).
  int WrittenYear = 2005;
  std::array<const char*, 2> Titles;  // title of the main window per executable
  const char* BoardTitle;             // the separate board window, or nullptr
  int Width;                          // the outer size it is laid out for
  int Height;
  // A board window that shows its whole board whatever it is asked: it opens this
  // tall and keeps at least this height (0: it takes any size).
  int KeptHeight = 0;
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
  // Its menu bar titles and buttons (window coordinates), its panels (by index),
  // and the settings they change (by index).
  std::vector<Control> WindowControls;
  std::vector<PanelDesign> Panels;
  std::vector<SettingDesign> Settings;
  int ResultOpens;       // what closing the last end-of-game box opens, or NoPanel
  bool NoticeWhenWhite;  // a box (the pass box's shape) when a game starts with it as White
  int DividerX;          // the divider of its record pane (window x; 0: none); the pane
  int DividerSetting;    // shows while this setting is 1 and goes when the divider
                         // is dragged to the window's right edge
  bool HasOpening;       // a title screen at the screen's centre on start-up, which
  Place OpeningButton;   // a click at this point takes away
};

// The menu bar: below the title strip, across the window.
inline constexpr int MenuBarTop = 19;
inline constexpr int MenuBarBottom = 39;

// The program of profile 1 to 18, or nullptr.
const PuppetDesign* DesignOf(int profile);
// The design started by the executable `file` last written in `writtenYear`
// (0 when unknown: the first that bears the name), and which of its file names
// it is; nullptr when none bears it.
const PuppetDesign* DesignFor(std::string_view file, int writtenYear, int& executable);

// Screen rectangle of a box for a window whose outer rectangle is `window`.
platform::Rect OnScreen(const Box& box, const platform::Rect& window, int screenWidth,
                        int screenHeight);
platform::Point OnScreen(const Place& place, const platform::Rect& window, int screenWidth,
                         int screenHeight);

}  // namespace refpuppet
