#include "sim/puppets/PuppetDesigns.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "tovarin/puppet/Profiles.h"

namespace refpuppet {

namespace {

using platform::Rgb;

constexpr Place W(int x, int y) { return Place{Anchor::Window, x, y}; }
constexpr Place C(int x, int y) { return Place{Anchor::ScreenCentre, x, y}; }

// A box with its frame given and a 50 x 20 button centred on (bx, by).
constexpr BoxShape BoxOf(Anchor a, int left, int top, int right, int bottom, int bx, int by) {
  return BoxShape{Box{a, left, top, right, bottom}, Box{a, bx - 25, by - 10, bx + 25, by + 10}};
}
constexpr BoxShape BoxW(int left, int top, int right, int bottom, int bx, int by) {
  return BoxOf(Anchor::Window, left, top, right, bottom, bx, by);
}
constexpr BoxShape BoxC(int left, int top, int right, int bottom, int bx, int by) {
  return BoxOf(Anchor::ScreenCentre, left, top, right, bottom, bx, by);
}
// A 180 x 70 box around its button.
constexpr BoxShape AroundW(int bx, int by) {
  return BoxW(bx - 90, by - 45, bx + 90, by + 25, bx, by);
}
constexpr BoxShape AroundC(int bx, int by) {
  return BoxC(bx - 90, by - 45, bx + 90, by + 25, bx, by);
}

// ---- Menus, dialogs and settings ----

constexpr Box WBox(int left, int top, int right, int bottom) {
  return Box{Anchor::Window, left, top, right, bottom};
}
constexpr Box CBox(int left, int top, int right, int bottom) {
  return Box{Anchor::ScreenCentre, left, top, right, bottom};
}
constexpr Box Around(Place p, int halfWidth, int halfHeight) {
  return Box{p.From, p.X - halfWidth, p.Y - halfHeight, p.X + halfWidth, p.Y + halfHeight};
}

Control Make(Box area, Does what, int target = 0, int value = 0) {
  Control c;
  c.Area = area;
  c.What = what;
  c.Target = target;
  c.Value = value;
  return c;
}
Control Marked(Control c, Place mark) {
  c.HasMark = true;
  c.Mark = mark;
  return c;
}
Control OnPage(Control c, int page) {
  c.Page = page;
  return c;
}

// A push button of 50 x 20 around its point.
Control Button(Place p, Does what, int target = NoPanel, int value = 0) {
  return Make(Around(p, 25, 10), what, target, value);
}
// A radio button with its label around its point; its dot stands at the left.
Control Radio(Place p, Does what, int target, int value) {
  return Marked(Make(Around(p, 25, 7), what, target, value), Place{p.From, p.X - 19, p.Y});
}
// A check box whose tick stands at its point, its label to the right.
Control Check(Place p, int setting) {
  return Marked(Make(Box{p.From, p.X - 6, p.Y - 7, p.X + 50, p.Y + 7}, Does::Flip, setting), p);
}
// A check box with its label around its point, its tick at the left.
Control Toggle(Place p, int setting) {
  return Marked(Make(Box{p.From, p.X - 24, p.Y - 7, p.X + 56, p.Y + 7}, Does::Flip, setting),
                Place{p.From, p.X - 20, p.Y});
}
Control Tab(Place p, int page) { return Make(Around(p, 18, 8), Does::Page, 0, page); }
// A combo box showing its list's choice; the mark shows while the program plays.
Control Combo(Box area, int list, Place mark) { return Marked(Make(area, Does::Drop, list), mark); }

int Add(PuppetDesign& s, PanelDesign panel) {
  s.Panels.push_back(std::move(panel));
  return static_cast<int>(s.Panels.size()) - 1;
}

int Dialog(PuppetDesign& s, Box frame, std::vector<Control> controls, Shows when = Shows::Always,
           int then = NoPanel) {
  PanelDesign d;
  d.Kind = PanelKind::Dialog;
  d.Frame = frame;
  d.When = when;
  d.Then = then;
  d.Controls = std::move(controls);
  return Add(s, std::move(d));
}

// A grey box around its one button, which goes on to `next`.
int Message(PuppetDesign& s, Place button, int next, Shows when = Shows::Always,
            int then = NoPanel) {
  PanelDesign d;
  d.Kind = PanelKind::Box;
  d.Frame = Box{button.From, button.X - 90, button.Y - 45, button.X + 90, button.Y + 25};
  d.When = when;
  d.Then = then;
  d.Controls = {Button(button, Does::Next, next)};
  return Add(s, std::move(d));
}

// A menu entry 16 pixels high around its y; one with a MarkX shows its tick at
// (MarkX, Y).
struct Item {
  int Y;
  Does What = Does::Nothing;
  int Target = 0;
  int Value = 0;
  int MarkX = 0;
};

int Menu(PuppetDesign& s, Box frame, std::initializer_list<Item> items) {
  PanelDesign d;
  d.Kind = PanelKind::Menu;
  d.Frame = frame;
  for (const Item& i : items) {
    Control c =
        Make(WBox(frame.Left + 2, i.Y - 8, frame.Right - 2, i.Y + 8), i.What, i.Target, i.Value);
    if (i.MarkX != 0) c = Marked(c, W(i.MarkX, i.Y));
    d.Controls.push_back(c);
  }
  return Add(s, std::move(d));
}

// A menu that drops from the menu bar, as wide as left to right.
int BarMenu(PuppetDesign& s, int left, int right, std::initializer_list<Item> items) {
  int bottom = MenuBarBottom;
  for (const Item& i : items) bottom = std::max(bottom, i.Y + 12);
  return Menu(s, WBox(left, MenuBarBottom, right, bottom), items);
}

// A drop-down list under a combo box, its scroll bar from barLeft to its right edge.
int List(PuppetDesign& s, int side, Box rows, int barLeft) {
  PanelDesign d;
  d.Kind = PanelKind::List;
  d.Frame = rows;
  d.Side = side;
  d.BarLeft = barLeft;
  return Add(s, std::move(d));
}

// A title on the menu bar that opens `menu`.
void Title(PuppetDesign& s, int x, int menu, int halfWidth = 20) {
  s.WindowControls.push_back(Make(
      WBox(x - halfWidth, MenuBarTop + 1, x + halfWidth, MenuBarBottom - 1), Does::Open, menu));
}
// A button on the window (a tool bar or a side panel).
void WindowButton(PuppetDesign& s, Place p, Does what, int target = NoPanel) {
  s.WindowControls.push_back(Make(Around(p, 20, 9), what, target));
}

int Setting(PuppetDesign& s, const char* name, int initially, bool turns = true) {
  s.Settings.push_back(SettingDesign{name, initially, turns});
  return static_cast<int>(s.Settings.size()) - 1;
}

using AllDesigns = std::array<PuppetDesign, puppet::ProfileCount>;

PuppetDesign& Program(AllDesigns& all, int profile, const char* exe, const char* title, int width,
                      int height, int gridLeft, int gridTop, int pitchX, int pitchY) {
  PuppetDesign& s = all[static_cast<std::size_t>(profile - 1)];
  s = PuppetDesign{};
  s.Profile = profile;
  s.Executables = {exe, nullptr};
  s.Titles = {title, nullptr};
  s.BoardTitle = nullptr;
  s.Width = width;
  s.Height = height;
  s.GridLeft = gridLeft;
  s.GridTop = gridTop;
  s.PitchX = pitchX;
  s.PitchY = pitchY;
  s.LinesStopShort = false;
  s.LineColour = Rgb(0, 0, 0);
  s.ShadedCrossings = false;
  s.MarkC = s.MarkR = 0;
  s.Stones = StoneLook::Plain;
  s.OwnPass = MidGamePass::Box;
  s.OwnEndingPass = EndingPass::BoxThenEnd;
  s.HasNotice = false;
  s.EndBoxCount = 0;
  s.EndBoxDelaysMs = {100, 100, 100};
  s.ResultOpens = NoPanel;
  s.NoticeWhenWhite = false;
  s.DividerX = 0;
  s.DividerSetting = -1;
  s.HasOpening = false;
  return s;
}

void Opening(PuppetDesign& s, Place button) {
  s.HasOpening = true;
  s.OpeningButton = button;
}

// One button passes.
void Pass1(PuppetDesign& s, Place button) {
  s.PassClickCount = 1;
  s.PassClicks = {button, Place{}};
  WindowButton(s, button, Does::Pass);
}
// A first click opens a menu (or a confirmation) whose entry passes; the menu is
// part of the program's other menus below.
void Pass2(PuppetDesign& s, Place first, Place second) {
  s.PassClickCount = 2;
  s.PassClicks = {first, second};
}
void Ends(PuppetDesign& s, std::initializer_list<BoxShape> boxes) {
  s.EndBoxCount = 0;
  for (const BoxShape& b : boxes) s.EndBoxes[static_cast<std::size_t>(s.EndBoxCount++)] = b;
}

AllDesigns Build() {
  AllDesigns all{};

  PuppetDesign& p1 =
      Program(all, 1, "VK2.EXE", "[新規対局] - Velkaro Ⅱ", 500, 375, 139, 68, 16, 16);
  Pass1(p1, W(480, 180));
  p1.PassBox = BoxW(120, 185, 300, 245, 250, 215);
  Ends(p1, {AroundW(220, 220), AroundW(470, 80), AroundW(200, 215)});
  {
    // Players are chosen in a dialog; the side panel's button starts the game,
    // asking first to clear a finished one.
    int sound = Setting(p1, "sound", 1);
    int hints = Setting(p1, "hints", 0);
    int players = Dialog(
        p1, WBox(100, 85, 400, 365),
        {Radio(W(180, 122), Does::Seat, BlackSide, 0), Radio(W(264, 122), Does::Seat, BlackSide, 1),
         Radio(W(180, 204), Does::Seat, WhiteSide, 0), Radio(W(264, 204), Does::Seat, WhiteSide, 1),
         Button(W(190, 340), Does::Close)});
    int clear = Message(p1, W(200, 215), GameStarts, Shows::AfterAGame, GameStarts);
    Title(p1, 155, BarMenu(p1, 135, 285, {{51}, {68, Does::Open, players}}));
    Title(p1, 200,
          BarMenu(p1, 183, 330,
                  {{51}, {67, Does::Flip, sound, 0, 191}, {83, Does::Flip, hints, 0, 191}}));
    WindowButton(p1, W(480, 68), Does::Next, clear);
  }

  PuppetDesign& p2 =
      Program(all, 2, "HALVENDO.EXE", "無題 - Halvendo囲碁", 400, 372, 78, 60, 16, 16);
  Pass1(p2, W(40, 180));
  p2.PassBox = BoxW(120, 185, 280, 245, 200, 215);
  Ends(p2, {AroundW(200, 220)});
  {
    int coordinates = Setting(p2, "coordinates", 0);
    int sound = Setting(p2, "sound", 0);
    int animation = Setting(p2, "animation", 1);
    // The record pane right of the board, behind a white divider.
    p2.DividerX = 384;
    p2.DividerSetting = Setting(p2, "record-pane", 1);
    int players = Dialog(
        p2, WBox(15, 120, 385, 270),
        {Radio(W(42, 162), Does::Seat, BlackSide, 1), Radio(W(152, 162), Does::Seat, BlackSide, 0),
         Radio(W(252, 162), Does::Seat, WhiteSide, 1), Radio(W(356, 162), Does::Seat, WhiteSide, 0),
         Button(W(100, 245), Does::Close)});
    int clear = Message(p2, W(200, 220), GameStarts, Shows::AfterAGame, GameStarts);
    Title(p2, 210, BarMenu(p2, 190, 330, {{50, Does::Open, players}}));
    Title(p2, 260,
          BarMenu(p2, 245, 395,
                  {{51, Does::Flip, coordinates, 0, 253},
                   {67, Does::Flip, sound, 0, 253},
                   {83, Does::Flip, animation, 0, 253}}));
    WindowButton(p2, W(30, 60), Does::Next, clear);
  }

  PuppetDesign& p3 = Program(all, 3, "BRIMU6.EXE", "Brimu6 - 新規対局", 482, 410, 34, 73, 16, 17);
  Pass2(p3, W(90, 30), W(90, 75));
  p3.PassBox = BoxW(150, 200, 300, 265, 235, 235);
  p3.HasNotice = true;
  p3.Notice = BoxC(-140, -30, 80, 85, 20, 60);
  Ends(p3, {AroundW(240, 240)});
  {
    int ticks[7];
    const char* names[7] = {"labels", "sound",     "animation", "thinking-sign",
                            "hints",  "auto-save", "clock"};
    const int initially[7] = {1, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 7; ++i) ticks[i] = Setting(p3, names[i], initially[i]);
    int confirmMoves = Setting(p3, "confirm-moves", 1);
    int even = Setting(p3, "even-game", 0, false);
    int untimed = Setting(p3, "no-time-limit", 0, false);
    // New game: the side from a drop-down list, then a second page of conditions.
    int conditions =
        Dialog(p3, WBox(150, 120, 360, 260),
               {Radio(W(197, 166), Does::Keep, even, 1), Radio(W(197, 232), Does::Keep, untimed, 1),
                Button(W(320, 150), Does::Next, GameStarts)});
    int sides = Menu(p3, WBox(70, 244, 160, 280),
                     {{254, Does::Sides, 0, WhiteSide}, {270, Does::Sides, 0, BlackSide}});
    int side = Dialog(p3, WBox(60, 140, 360, 300),
                      {Make(WBox(70, 197, 150, 213), Does::Open, sides),
                       Button(W(300, 215), Does::Next, conditions)});
    int clear = Message(p3, W(235, 235), side, Shows::AfterAGame, side);
    int prefs =
        Dialog(p3, WBox(20, 60, 300, 350),
               {Tab(W(30, 90), 0), Tab(W(70, 90), 1), OnPage(Check(W(80, 164), confirmMoves), 1),
                Button(W(200, 330), Does::Close)});
    Title(p3, 25, BarMenu(p3, 5, 150, {{51}, {67}, {83}, {99}, {115, Does::Open, prefs}}));
    Title(p3, 90, BarMenu(p3, 70, 220, {{50, Does::Open, clear}, {75, Does::Pass}}));
    Title(p3, 260,
          BarMenu(p3, 246, 396,
                  {{51, Does::Flip, ticks[0], 0, 254},
                   {67, Does::Flip, ticks[1], 0, 254},
                   {83, Does::Flip, ticks[2], 0, 254},
                   {99, Does::Flip, ticks[3], 0, 254},
                   {124, Does::Flip, ticks[4], 0, 254},
                   {140, Does::Flip, ticks[5], 0, 254},
                   {156, Does::Flip, ticks[6], 0, 254}}));
  }

  PuppetDesign& p4 =
      Program(all, 4, "ZOLTA.EXE", "対局囲碁　Ostrugo - (無題)", 640, 480, 194, 73, 19, 19);
  Pass1(p4, W(615, 130));
  Opening(p4, C(0, 0));
  p4.OwnPass = MidGamePass::PanelSign;
  p4.OwnEndingPass = EndingPass::EndOnly;
  p4.PanelSign = W(614, 266);
  Ends(p4, {BoxC(-120, -40, 120, 85, 0, 60)});
  {
    int coordinates = Setting(p4, "coordinates", 0);
    int thinkTime = Setting(p4, "think-time", 120, false);
    int even = Setting(p4, "even-game", 0, false);
    int time = Dialog(
        p4, WBox(100, 150, 330, 380),
        {Make(WBox(130, 200, 230, 220), Does::Field, thinkTime), Button(W(160, 355), Does::Close)});
    int players = Dialog(
        p4, WBox(20, 100, 300, 380),
        {Radio(W(45, 135), Does::Seat, BlackSide, 0), Radio(W(45, 170), Does::Seat, BlackSide, 1),
         Radio(W(250, 135), Does::Seat, WhiteSide, 0), Radio(W(250, 170), Does::Seat, WhiteSide, 1),
         Radio(W(126, 264), Does::Keep, even, 1), Button(W(50, 350), Does::Next, GameStarts)});
    Title(p4, 80, BarMenu(p4, 60, 210, {{51}, {80, Does::Open, time}}));
    Title(p4, 123,
          BarMenu(p4, 110, 260,
                  {{51}, {67}, {83}, {99}, {115}, {140, Does::Flip, coordinates, 0, 124}}),
          19);
    WindowButton(p4, W(455, 60), Does::Open, players);
    // The result box stays until its button asks for the next game.
    p4.ResultOpens = players;
  }

  PuppetDesign& p5 = Program(all, 5, "MERVO.EXE", "Pelinarﾊﾟﾜｰｱｯﾌﾟ版", 410, 410, 33, 135, 19, 19);
  p5.Executables = {"MERVO.EXE", "PELINAR.EXE"};
  p5.Titles = {"Pelinarﾊﾟﾜｰｱｯﾌﾟ版", "Pelinar"};
  p5.BoardTitle = "碁盤";
  // Row 19 lies at y = 477, below the 410 it is asked for: the board window keeps
  // a height that shows the whole board and the wood below it.
  p5.KeptHeight = 500;
  p5.Stones = StoneLook::RingedDotted;
  Pass1(p5, W(230, 60));
  p5.PassBox = BoxC(-120, 10, 120, 90, 0, 56);
  Ends(p5, {AroundC(50, 55), AroundC(0, 55)});
  p5.EndBoxDelaysMs = {100, 1000, 100};
  {
    int sound = Setting(p5, "sound", 1);
    int hints = Setting(p5, "hints", 0);
    int animation = Setting(p5, "animation", 1);
    int rules = Setting(p5, "japanese-rules", 0, false);
    int details = Dialog(p5, CBox(-90, 0, 110, 110),
                         {Toggle(C(-30, 28), rules), Button(C(42, 82), Does::Close)});
    int players = Dialog(
        p5, CBox(-150, -170, 160, 185),
        {Button(C(128, 0), Does::Open, details), Radio(C(-30, -136), Does::Seat, BlackSide, 1),
         Radio(C(-30, -108), Does::Seat, BlackSide, 0),
         Radio(C(84, -108), Does::Seat, WhiteSide, 0), Radio(C(84, -136), Does::Seat, WhiteSide, 1),
         Button(C(-40, 160), Does::Next, GameStarts)});
    int abandon = Message(p5, C(40, 56), players);
    Title(p5, 220,
          BarMenu(p5, 190, 340,
                  {{51},
                   {67, Does::Flip, sound, 0, 199},
                   {83},
                   {108, Does::Flip, hints, 0, 199},
                   {124, Does::Flip, animation, 0, 199}}));
    WindowButton(p5, W(70, 60), Does::Open, abandon);
  }

  // Profiles 6 and 16 are two editions of one program file.
  PuppetDesign& p6 = Program(all, 6, "KANDO4.EXE", "無題 - Pelinar２", 424, 448, 39, 70, 17, 17);
  Pass1(p6, W(400, 430));
  p6.PassBox = BoxW(110, 215, 290, 280, 200, 255);
  Ends(p6, {AroundW(255, 255), AroundW(200, 255)});
  {
    int coordinates = Setting(p6, "coordinates", 0);
    int sound = Setting(p6, "sound", 1);
    int hints = Setting(p6, "hints", 1);
    int autoSave = Setting(p6, "auto-save", 0);
    int even = Setting(p6, "even-game", 0, false);
    int untimed = Setting(p6, "no-time-limit", 0, false);
    int prefs = Dialog(p6, WBox(10, 60, 400, 400),
                       {Tab(W(30, 90), 0), Tab(W(70, 90), 1), OnPage(Check(W(315, 120), hints), 0),
                        Button(W(44, 320), Does::Nothing), OnPage(Check(W(30, 120), autoSave), 1),
                        Button(W(330, 380), Does::Close)});
    // Each player from a list: a person first, then the program's strengths.
    int blackList = List(p6, BlackSide, WBox(140, 114, 262, 222), 246);
    int whiteList = List(p6, WhiteSide, WBox(140, 150, 262, 258), 246);
    int players =
        Dialog(p6, WBox(60, 80, 360, 380),
               {Combo(WBox(140, 98, 262, 112), blackList, W(180, 104)),
                Combo(WBox(140, 133, 262, 147), whiteList, W(180, 140)), Toggle(W(233, 236), even),
                Toggle(W(233, 266), untimed), Button(W(130, 360), Does::Next, GameStarts)});
    int abandon = Message(p6, W(210, 260), players);
    Title(p6, 200,
          BarMenu(p6, 190, 340,
                  {{50, Does::Open, prefs},
                   {67},
                   {83},
                   {101, Does::Flip, coordinates, 0, 199},
                   {117, Does::Flip, sound, 0, 199}}));
    WindowButton(p6, W(400, 60), Does::Open, abandon);
  }

  for (int profile : {7, 8}) {
    PuppetDesign& p =
        profile == 7 ? Program(all, 7, "BRIMU7.EXE", "Brimu7 - 新規対局", 460, 390, 32, 60, 16, 17)
                     : Program(all, 8, "BRIMU2K.EXE", "Brimu2000", 460, 390, 32, 60, 16, 17);
    Pass2(p, W(80, 30), W(80, 100));
    Opening(p, C(0, 40));
    p.PassBox = BoxW(150, 180, 310, 255, 230, 230);
    Ends(p, {AroundW(230, 225)});
    // New game: the first time a box of conditions, later a box that clears the
    // finished game; then the side the program takes.
    int even = Setting(p, "even-game", 0, false);
    int side = Dialog(p, WBox(60, 110, 340, 290),
                      {Radio(W(100, 245), Does::Sides, 0, WhiteSide),
                       Radio(W(100, 260), Does::Sides, 0, BlackSide),
                       Button(W(300, 140), Does::Next, GameStarts)});
    int clear = Message(p, W(230, 225), side, Shows::AfterAGame, side);
    int conditions =
        Dialog(p, WBox(60, 160, 330, 235),
               {Radio(W(96, 196), Does::Keep, even, 1), Button(W(290, 208), Does::Next, side)},
               Shows::FirstTime, clear);
    Title(p, 80, BarMenu(p, 60, 210, {{50, Does::Open, conditions}, {100, Does::Pass}}));
    if (profile == 7) {
      int ticks[6];
      const char* names[6] = {"labels", "sound", "animation", "thinking-sign", "hints", "clock"};
      const int initially[6] = {1, 0, 1, 0, 0, 1};
      for (int i = 0; i < 6; ++i) ticks[i] = Setting(p, names[i], initially[i]);
      int confirmMoves = Setting(p, "confirm-moves", 1);
      Title(p, 260,
            BarMenu(p, 247, 397,
                    {{51, Does::Flip, ticks[0], 0, 255},
                     {67, Does::Flip, ticks[1], 0, 255},
                     {83, Does::Flip, ticks[2], 0, 255},
                     {99, Does::Flip, ticks[3], 0, 255},
                     {124, Does::Flip, ticks[4], 0, 255},
                     {140, Does::Flip, ticks[5], 0, 255}}));
      int prefs =
          Dialog(p, WBox(20, 50, 300, 350),
                 {Tab(W(30, 80), 0), Tab(W(70, 80), 1), OnPage(Check(W(68, 154), confirmMoves), 1),
                  Button(W(180, 325), Does::Close)});
      Title(p, 30, BarMenu(p, 10, 160, {{51}, {67}, {83}, {99}, {120, Does::Open, prefs}}));
    } else {
      // Check marks stand at x 263, the dots of the two radio entries at x 267.
      int ticks[5];
      const char* names[5] = {"labels", "sound", "animation", "beginner-hints", "auto-play"};
      const int initially[5] = {1, 0, 1, 1, 0};
      for (int i = 0; i < 5; ++i) ticks[i] = Setting(p, names[i], initially[i]);
      int confirmMoves = Setting(p, "confirm-moves", 1);
      int prefs = Dialog(p, WBox(20, 100, 300, 350),
                         {Check(W(68, 154), confirmMoves), Button(W(190, 325), Does::Close)});
      Title(p, 280,
            BarMenu(p, 255, 405,
                    {{51, Does::Flip, ticks[0], 0, 263},
                     {67, Does::Flip, ticks[1], 0, 263},
                     {83, Does::Flip, ticks[2], 0, 263},
                     {99, Does::Flip, ticks[3], 0, 267},
                     {140, Does::Flip, ticks[4], 0, 267},
                     {190, Does::Open, prefs}}));
    }
  }

  PuppetDesign& p9 =
      Program(all, 9, "FIRSK.EXE", "－究極の囲碁ソフト－Quastor", 450, 470, 48, 83, 20, 20);
  p9.Stones = StoneLook::Marked;
  Pass2(p9, W(80, 30), W(80, 90));
  Opening(p9, C(-50, 140));
  p9.OwnPass = MidGamePass::MarkGone;
  p9.OwnEndingPass = EndingPass::EndOnly;
  Ends(p9, {BoxC(-100, 20, 120, 100, 12, 64), BoxC(-100, -10, 120, 60, 12, 34),
            BoxC(-150, 100, 60, 175, -48, 144)});
  {
    int rules = Setting(p9, "japanese-rules", 0, false);
    int players = Dialog(
        p9, CBox(-160, -150, 100, 170),
        {Toggle(C(-78, -126), rules), Radio(C(-78, -52), Does::Seat, BlackSide, 0),
         Radio(C(-78, -36), Does::Seat, BlackSide, 1), Radio(C(18, -52), Does::Seat, WhiteSide, 0),
         Radio(C(18, -36), Does::Seat, WhiteSide, 1), Button(C(-48, 144), Does::Next, GameStarts)});
    Title(p9, 30, BarMenu(p9, 10, 160, {{50, Does::Open, players}}));
    Title(p9, 80, BarMenu(p9, 60, 210, {{51}, {90, Does::Pass}}));
  }

  PuppetDesign& p10 =
      Program(all, 10, "RENDOLIN.EXE", "Untitled - Rendolin-98", 500, 420, 16, 54, 10, 10);
  p10.LinesStopShort = true;
  Pass2(p10, W(300, 400), W(235, 235));
  Opening(p10, C(162, -145));
  p10.PassBox = BoxW(200, 205, 320, 265, 260, 235);
  {
    int even = Setting(p10, "even-game", 0, false);
    int players = Dialog(
        p10, CBox(-150, -60, 80, 130),
        {Radio(C(-96, 16), Does::Sides, 0, BlackSide), Radio(C(28, 16), Does::Sides, 0, WhiteSide),
         Radio(C(-60, 100), Does::Keep, even, 1), Button(C(0, 100), Does::Next, GameStarts)});
    Title(p10, 30, BarMenu(p10, 10, 160, {{50, Does::Open, players}}));
    // The pass button asks once more.
    WindowButton(p10, W(300, 400), Does::Open,
                 Menu(p10, WBox(190, 195, 280, 250), {{235, Does::Pass}}));
  }

  PuppetDesign& p11 = Program(all, 11, "VK3.EXE", "Velkaro III", 640, 480, 206, 81, 20, 20);
  p11.LinesStopShort = true;
  Pass1(p11, W(604, 222));
  p11.PassBox = BoxW(240, 240, 380, 300, 306, 275);
  Ends(p11, {AroundW(315, 275), AroundW(604, 80), AroundW(260, 277)});
  p11.EndBoxDelaysMs = {100, 500, 500};
  {
    int even = Setting(p11, "even-game", 0, false);
    int players = Dialog(
        p11, WBox(150, 70, 450, 450),
        {Radio(W(202, 102), Does::Seat, BlackSide, 0), Radio(W(292, 102), Does::Seat, BlackSide, 1),
         Radio(W(202, 204), Does::Seat, WhiteSide, 0), Radio(W(292, 204), Does::Seat, WhiteSide, 1),
         Radio(W(385, 270), Does::Keep, even, 1), Button(W(200, 430), Does::Close)});
    Title(p11, 280, BarMenu(p11, 260, 410, {{50, Does::Open, players}}));
    WindowButton(p11, W(600, 70), Does::Next, GameStarts);
  }

  PuppetDesign& p12 = Program(all, 12, "LUMBA.EXE", "Sivarne - 無題", 510, 380, 202, 73, 15, 15);
  Pass2(p12, W(80, 30), W(80, 80));
  p12.PassBox = BoxW(170, 190, 310, 250, 240, 220);
  Ends(p12, {AroundW(240, 220)});
  {
    int ticks[5];
    const char* names[5] = {"labels", "sound", "animation", "hints", "clock"};
    const int initially[5] = {1, 0, 0, 1, 1};
    for (int i = 0; i < 5; ++i) ticks[i] = Setting(p12, names[i], initially[i]);
    int even = Setting(p12, "even-game", 0, false);
    int players = Dialog(
        p12, WBox(100, 50, 400, 375),
        {Radio(W(148, 78), Does::Seat, BlackSide, 0), Radio(W(148, 108), Does::Seat, BlackSide, 1),
         Radio(W(288, 78), Does::Seat, WhiteSide, 0), Radio(W(288, 108), Does::Seat, WhiteSide, 1),
         Radio(W(190, 350), Does::Keep, even, 1), Button(W(310, 355), Does::Close)});
    int clear = Message(p12, W(250, 220), GameStarts, Shows::AfterAGame, GameStarts);
    Title(p12, 80, BarMenu(p12, 60, 210, {{50, Does::Open, clear}, {80, Does::Pass}}));
    Title(p12, 210, BarMenu(p12, 190, 340, {{50, Does::Open, players}}));
    Title(p12, 260,
          BarMenu(p12, 245, 395,
                  {{51, Does::Flip, ticks[0], 0, 253},
                   {67, Does::Flip, ticks[1], 0, 253},
                   {83, Does::Flip, ticks[2], 0, 253},
                   {149, Does::Flip, ticks[3], 0, 253},
                   {165, Does::Flip, ticks[4], 0, 253}}));
  }

  PuppetDesign& p13 =
      Program(all, 13, "GRETO4.EXE", "無題 - Tulkomi S2", 500, 400, 198, 84, 15, 15);
  Pass2(p13, W(80, 30), W(90, 190));
  p13.PassBox = BoxW(160, 200, 300, 260, 230, 230);
  Ends(p13, {AroundW(280, 230), AroundW(235, 235)});
  {
    int labels = Setting(p13, "labels", 0);
    int sound = Setting(p13, "sound", 1);
    int hints = Setting(p13, "hints", 1);
    int boardStyle = Setting(p13, "board-style", 0, false);
    int even = Setting(p13, "even-game", 0, false);
    int untimed = Setting(p13, "no-time-limit", 0, false);
    // The program's strength for the side it plays, in a dialog of its own.
    int blackStrength = Dialog(p13, WBox(120, 90, 330, 170), {Button(W(180, 140), Does::Close)});
    int whiteStrength = Dialog(p13, WBox(120, 160, 330, 230), {Button(W(180, 205), Does::Close)});
    int players = Dialog(
        p13, WBox(20, 20, 480, 390),
        {Radio(W(100, 50), Does::Seat, BlackSide, 0), Radio(W(100, 75), Does::Seat, BlackSide, 1),
         Radio(W(100, 110), Does::Seat, WhiteSide, 0), Radio(W(100, 140), Does::Seat, WhiteSide, 1),
         Button(W(285, 75), Does::Open, blackStrength),
         Button(W(285, 145), Does::Open, whiteStrength), Toggle(W(350, 62), even),
         Toggle(W(323, 323), untimed), Button(W(200, 370), Does::Next, GameStarts)});
    int abandon = Message(p13, W(235, 235), players);
    int style =
        Dialog(p13, WBox(200, 110, 400, 200), {Button(W(330, 170), Does::Confirm, boardStyle, 1)});
    Title(p13, 30, BarMenu(p13, 10, 160, {{50, Does::Open, abandon}}));
    Title(p13, 80, BarMenu(p13, 60, 210, {{51}, {190, Does::Pass}}));
    Title(p13, 200,
          BarMenu(p13, 183, 333,
                  {{51, Does::Flip, labels, 0, 191},
                   {67, Does::Flip, sound, 0, 191},
                   {83},
                   {99, Does::Flip, hints, 0, 191},
                   {140, Does::Open, style}}));
  }

  // Profiles 14 and 17 play with their window pushed 35 pixels off the left edge.
  PuppetDesign& p14 = Program(all, 14, "UMBRISA.EXE", "Umbrisa", 534, 544, 63, 68, 25, 25);
  p14.LineColour = Rgb(24, 24, 24);
  Pass2(p14, W(75, 30), W(85, 100));
  p14.PassBox = BoxC(-110, 10, 110, 85, 0, 50);
  Ends(p14, {AroundC(0, 50), AroundC(0, 50)});
  p14.EndBoxDelaysMs = {100, 300, 100};
  {
    int even = Setting(p14, "even-game", 0, false);
    int side = Dialog(
        p14, WBox(175, 130, 420, 470),
        {Radio(W(255, 165), Does::Sides, 0, WhiteSide),
         Radio(W(255, 195), Does::Sides, 0, BlackSide), Radio(W(255, 290), Does::Keep, even, 1),
         Button(W(335, 450), Does::Next, GameStarts)});
    int abandon = Message(p14, C(-10, 50), side);
    Title(p14, 75, BarMenu(p14, 55, 205, {{50, Does::Open, abandon}, {100, Does::Pass}}));
  }

  PuppetDesign& p15 = Program(all, 15, "GRETO3.EXE", "無題 - Tulkomi３", 500, 400, 198, 74, 15, 15);
  Pass2(p15, W(80, 30), W(90, 190));
  p15.PassBox = BoxW(160, 200, 300, 270, 230, 230);
  Ends(p15, {AroundW(290, 230), AroundW(250, 230)});
  {
    int labels = Setting(p15, "labels", 1);
    int sound = Setting(p15, "sound", 0);
    int boardStyle = Setting(p15, "board-style", 0, false);
    int even = Setting(p15, "even-game", 0, false);
    int untimed = Setting(p15, "no-time-limit", 0, false);
    int blackStrength = Dialog(p15, WBox(120, 110, 330, 185), {Button(W(200, 164), Does::Close)});
    int whiteStrength = Dialog(p15, WBox(120, 180, 330, 250), {Button(W(200, 230), Does::Close)});
    int players = Dialog(
        p15, WBox(20, 20, 480, 380),
        {Radio(W(98, 70), Does::Seat, BlackSide, 0), Radio(W(98, 98), Does::Seat, BlackSide, 1),
         Radio(W(98, 134), Does::Seat, WhiteSide, 0), Radio(W(98, 164), Does::Seat, WhiteSide, 1),
         Button(W(286, 96), Does::Open, blackStrength),
         Button(W(286, 163), Does::Open, whiteStrength), Toggle(W(350, 85), even),
         Toggle(W(322, 300), untimed), Button(W(200, 345), Does::Next, GameStarts)});
    int clear = Message(p15, W(250, 230), players, Shows::AfterAGame, players);
    int style =
        Dialog(p15, WBox(200, 105, 400, 195), {Button(W(330, 165), Does::Confirm, boardStyle, 1)});
    Title(p15, 30, BarMenu(p15, 10, 160, {{50, Does::Open, clear}}));
    Title(p15, 80, BarMenu(p15, 60, 210, {{51}, {190, Does::Pass}}));
    Title(p15, 220,
          BarMenu(p15, 183, 333,
                  {{51, Does::Flip, labels, 0, 191},
                   {67, Does::Flip, sound, 0, 191},
                   {130, Does::Open, style}}));
  }

  PuppetDesign& p16 = Program(all, 16, "KANDO4.EXE", "無題 - Pelinar２", 380, 470, 40, 71, 17, 17);
  p16.WrittenYear = 1999;  // the later edition under the same file name
  Pass2(p16, W(90, 30), W(90, 200));
  p16.PassBox = BoxW(150, 220, 290, 295, 210, 270);
  Ends(p16, {AroundW(240, 266), AroundW(200, 270)});
  p16.EndBoxDelaysMs = {100, 300, 100};
  {
    int sound = Setting(p16, "sound", 1);
    int coordinates = Setting(p16, "coordinates", 0);
    int hints = Setting(p16, "hints", 1);
    int autoSave = Setting(p16, "auto-save", 0);
    int even = Setting(p16, "even-game", 0, false);
    int untimed = Setting(p16, "no-time-limit", 0, false);
    int prefs = Dialog(p16, WBox(10, 60, 370, 410),
                       {Tab(W(30, 90), 0), Tab(W(80, 100), 1), OnPage(Check(W(315, 132), hints), 0),
                        Button(W(44, 334), Does::Nothing), OnPage(Check(W(31, 132), autoSave), 1),
                        Button(W(320, 390), Does::Close)});
    int blackList = List(p16, BlackSide, WBox(130, 126, 256, 234), 244);
    int whiteList = List(p16, WhiteSide, WBox(130, 162, 256, 270), 244);
    int players =
        Dialog(p16, WBox(20, 80, 370, 400),
               {Combo(WBox(130, 108, 258, 122), blackList, W(140, 115)),
                Combo(WBox(130, 143, 258, 157), whiteList, W(140, 150)), Toggle(W(233, 236), even),
                Toggle(W(228, 275), untimed), Button(W(120, 370), Does::Next, GameStarts)});
    int abandon = Message(p16, W(180, 270), players);
    Title(p16, 30, BarMenu(p16, 10, 160, {{50, Does::Open, abandon}}));
    Title(p16, 90, BarMenu(p16, 70, 220, {{51}, {200, Does::Pass}}));
    Title(p16, 200,
          BarMenu(p16, 192, 342,
                  {{50, Does::Open, prefs},
                   {67},
                   {83},
                   {101, Does::Flip, sound, 0, 200},
                   {117, Does::Flip, coordinates, 0, 200}}));
  }

  PuppetDesign& p17 = Program(all, 17, "NOVRA2.EXE", "Umbrisa・弐", 680, 670, 71, 75, 32, 32);
  p17.ShadedCrossings = true;
  p17.MarkC = 1;
  p17.MarkR = 14;
  Pass2(p17, W(75, 30), W(85, 100));
  p17.PassBox = BoxC(-110, 10, 110, 85, 0, 50);
  Ends(p17, {AroundC(0, 50), AroundC(0, 50)});
  p17.EndBoxDelaysMs = {100, 300, 100};
  {
    int even = Setting(p17, "even-game", 0, false);
    int side = Dialog(
        p17, WBox(250, 100, 560, 370),
        {Radio(W(345, 134), Does::Sides, 0, WhiteSide),
         Radio(W(345, 154), Does::Sides, 0, BlackSide), Radio(W(345, 220), Does::Keep, even, 1),
         Button(W(505, 335), Does::Next, GameStarts)});
    int abandon = Message(p17, C(-10, 50), side);
    Title(p17, 75, BarMenu(p17, 55, 205, {{50, Does::Open, abandon}, {100, Does::Pass}}));
  }

  PuppetDesign& p18 = Program(all, 18, "WENDRIX.EXE", "Wendrix", 640, 480, 149, 70, 20, 20);
  Pass1(p18, W(560, 150));
  p18.PassBox = BoxW(260, 240, 400, 300, 329, 270);
  p18.OwnEndingPass = EndingPass::BoxIsFirstEnd;
  Ends(p18, {AroundW(329, 270), AroundW(329, 270)});
  p18.EndBoxDelaysMs = {100, 3000, 100};
  {
    // Strength and komi are chosen in submenus of the game menu.
    int level = Setting(p18, "level", 3, false);
    int komi = Setting(p18, "komi", 2, false);
    int even = Setting(p18, "even-game", 0, false);
    int untimed = Setting(p18, "no-time-limit", 0, false);
    int showResult = Setting(p18, "show-result", 0, false);
    int handicap = Setting(p18, "handicap-none", 0, false);
    int players = Dialog(
        p18, WBox(150, 45, 420, 470),
        {Radio(W(284, 70), Does::Seat, BlackSide, 1), Radio(W(284, 108), Does::Seat, BlackSide, 0),
         Radio(W(230, 70), Does::Seat, WhiteSide, 1), Radio(W(230, 108), Does::Seat, WhiteSide, 0),
         Radio(W(230, 160), Does::Keep, handicap, 1), Toggle(W(230, 226), even),
         Toggle(W(230, 262), untimed), Toggle(W(284, 380), showResult),
         Button(W(250, 450), Does::Close)});
    int levels = Menu(p18, WBox(205, 68, 330, 150),
                      {{76, Does::Keep, level, 0, 212},
                       {92, Does::Keep, level, 1, 212},
                       {108, Does::Keep, level, 2, 212},
                       {124, Does::Keep, level, 3, 212},
                       {140, Does::Keep, level, 4, 212}});
    int komis = Menu(p18, WBox(205, 118, 330, 168),
                     {{126, Does::Keep, komi, 0, 212},
                      {142, Does::Keep, komi, 1, 212},
                      {158, Does::Keep, komi, 2, 212}});
    Title(p18, 140,
          BarMenu(p18, 120, 270,
                  {{50, Does::Open, players}, {80, Does::Open, levels}, {125, Does::Open, komis}}));
    WindowButton(p18, W(560, 85), Does::Next, GameStarts);
    // A game with the opponent to move first begins with a box that says so.
    p18.NoticeWhenWhite = true;
  }

  return all;
}

const AllDesigns Designs = Build();

}  // namespace

const PuppetDesign* DesignOf(int profile) {
  if (profile < 1 || profile > puppet::ProfileCount) return nullptr;
  const PuppetDesign& design = Designs[static_cast<std::size_t>(profile - 1)];
  return design.Profile == profile ? &design : nullptr;  // none made for it
}

const PuppetDesign* DesignFor(std::string_view file, int writtenYear, int& executable) {
  const PuppetDesign* found = nullptr;
  for (const PuppetDesign& design : Designs) {
    for (int e = 0; e < 2; ++e) {
      const char* name = design.Executables[static_cast<std::size_t>(e)];
      if (!name || file != name) continue;
      if (!found || design.WrittenYear == writtenYear) {
        found = &design;
        executable = e;
      }
    }
  }
  return found;
}

platform::Rect OnScreen(const Box& box, const platform::Rect& window, int screenWidth,
                        int screenHeight) {
  int ox = box.From == Anchor::Window ? window.Left : screenWidth / 2;
  int oy = box.From == Anchor::Window ? window.Top : screenHeight / 2;
  return platform::Rect{ox + box.Left, oy + box.Top, ox + box.Right, oy + box.Bottom};
}

platform::Point OnScreen(const Place& place, const platform::Rect& window, int screenWidth,
                         int screenHeight) {
  int ox = place.From == Anchor::Window ? window.Left : screenWidth / 2;
  int oy = place.From == Anchor::Window ? window.Top : screenHeight / 2;
  return platform::Point{ox + place.X, oy + place.Y};
}

}  // namespace refpuppet
