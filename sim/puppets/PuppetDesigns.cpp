#include "sim/puppets/PuppetDesigns.h"

#include <initializer_list>

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

PuppetDesign& Program(std::array<PuppetDesign, 18>& all, int profile, const char* exe,
                      const char* title, int width, int height, int gridLeft, int gridTop,
                      int pitchX, int pitchY) {
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
  return s;
}

void Pass1(PuppetDesign& s, Place button) {
  s.PassClickCount = 1;
  s.PassClicks = {button, Place{}};
}
void Pass2(PuppetDesign& s, Place first, Place second) {
  s.PassClickCount = 2;
  s.PassClicks = {first, second};
}
void Ends(PuppetDesign& s, std::initializer_list<BoxShape> boxes) {
  s.EndBoxCount = 0;
  for (const BoxShape& b : boxes) s.EndBoxes[static_cast<std::size_t>(s.EndBoxCount++)] = b;
}

std::array<PuppetDesign, 18> Build() {
  std::array<PuppetDesign, 18> all{};

  PuppetDesign& p1 =
      Program(all, 1, "VK2.EXE", "[新規対局] - Velkaro Ⅱ", 500, 375, 139, 68, 16, 16);
  Pass1(p1, W(480, 180));
  p1.PassBox = BoxW(120, 185, 300, 245, 250, 215);
  Ends(p1, {AroundW(220, 220), AroundW(470, 80), AroundW(200, 215)});

  PuppetDesign& p2 =
      Program(all, 2, "HALVENDO.EXE", "無題 - Halvendo囲碁", 400, 372, 78, 60, 16, 16);
  Pass1(p2, W(40, 180));
  p2.PassBox = BoxW(120, 185, 280, 245, 200, 215);
  Ends(p2, {AroundW(200, 220)});

  PuppetDesign& p3 = Program(all, 3, "BRIMU6.EXE", "Brimu6 - 新規対局", 482, 410, 34, 73, 16, 17);
  Pass2(p3, W(90, 30), W(90, 75));
  p3.PassBox = BoxW(150, 200, 300, 265, 235, 235);
  p3.HasNotice = true;
  p3.Notice = BoxC(-140, -30, 80, 85, 20, 60);
  Ends(p3, {AroundW(240, 240)});

  PuppetDesign& p4 =
      Program(all, 4, "ZOLTA.EXE", "対局囲碁　Ostrugo - (無題)", 640, 480, 194, 73, 19, 19);
  Pass1(p4, W(615, 130));
  p4.OwnPass = MidGamePass::PanelSign;
  p4.OwnEndingPass = EndingPass::EndOnly;
  p4.PanelSign = W(614, 266);
  Ends(p4, {BoxC(-120, -40, 120, 85, 0, 60)});

  PuppetDesign& p5 = Program(all, 5, "MERVO.EXE", "Pelinarﾊﾟﾜｰｱｯﾌﾟ版", 410, 410, 33, 135, 19, 19);
  p5.Executables = {"MERVO.EXE", "PELINAR.EXE"};
  p5.Titles = {"Pelinarﾊﾟﾜｰｱｯﾌﾟ版", "Pelinar"};
  p5.BoardTitle = "碁盤";
  p5.Stones = StoneLook::RingedDotted;
  Pass1(p5, W(230, 60));
  p5.PassBox = BoxC(-120, 10, 120, 90, 0, 56);
  Ends(p5, {AroundC(50, 55), AroundC(0, 55)});
  p5.EndBoxDelaysMs = {100, 1000, 100};

  // Profiles 6 and 16 are two editions of one program file.
  PuppetDesign& p6 = Program(all, 6, "KANDO4.EXE", "無題 - Pelinar２", 424, 448, 39, 70, 17, 17);
  Pass1(p6, W(400, 430));
  p6.PassBox = BoxW(110, 215, 290, 280, 200, 255);
  Ends(p6, {AroundW(255, 255), AroundW(200, 255)});

  for (int profile : {7, 8}) {
    PuppetDesign& p =
        profile == 7 ? Program(all, 7, "BRIMU7.EXE", "Brimu7 - 新規対局", 460, 390, 32, 60, 16, 17)
                     : Program(all, 8, "BRIMU2K.EXE", "Brimu2000", 460, 390, 32, 60, 16, 17);
    Pass2(p, W(80, 30), W(80, 100));
    p.PassBox = BoxW(150, 180, 310, 255, 230, 230);
    Ends(p, {AroundW(230, 225)});
  }

  PuppetDesign& p9 =
      Program(all, 9, "FIRSK.EXE", "－究極の囲碁ソフト－Quastor", 450, 470, 48, 83, 20, 20);
  p9.Stones = StoneLook::Marked;
  Pass2(p9, W(80, 30), W(80, 90));
  p9.OwnPass = MidGamePass::MarkGone;
  p9.OwnEndingPass = EndingPass::EndOnly;
  Ends(p9, {BoxC(-100, 20, 120, 100, 12, 64), BoxC(-100, -10, 120, 60, 12, 34),
            BoxC(-150, 100, 60, 175, -48, 144)});

  PuppetDesign& p10 =
      Program(all, 10, "RENDOLIN.EXE", "Untitled - Rendolin-98", 500, 420, 16, 54, 10, 10);
  p10.LinesStopShort = true;
  Pass2(p10, W(300, 400), W(235, 235));
  p10.PassBox = BoxW(200, 205, 320, 265, 260, 235);

  PuppetDesign& p11 = Program(all, 11, "VK3.EXE", "Velkaro III", 640, 480, 206, 81, 20, 20);
  p11.LinesStopShort = true;
  Pass1(p11, W(604, 222));
  p11.PassBox = BoxW(240, 240, 380, 300, 306, 275);
  Ends(p11, {AroundW(315, 275), AroundW(604, 80), AroundW(260, 277)});
  p11.EndBoxDelaysMs = {100, 500, 500};

  PuppetDesign& p12 = Program(all, 12, "LUMBA.EXE", "Sivarne - 無題", 510, 380, 202, 73, 15, 15);
  Pass2(p12, W(80, 30), W(80, 80));
  p12.PassBox = BoxW(170, 190, 310, 250, 240, 220);
  Ends(p12, {AroundW(240, 220)});

  PuppetDesign& p13 =
      Program(all, 13, "GRETO4.EXE", "無題 - Tulkomi S2", 500, 400, 198, 84, 15, 15);
  Pass2(p13, W(80, 30), W(90, 190));
  p13.PassBox = BoxW(160, 200, 300, 260, 230, 230);
  Ends(p13, {AroundW(280, 230), AroundW(235, 235)});

  // Profiles 14 and 17 play with their window pushed 35 pixels off the left edge.
  PuppetDesign& p14 = Program(all, 14, "UMBRISA.EXE", "Umbrisa", 534, 544, 63, 68, 25, 25);
  p14.LineColour = Rgb(24, 24, 24);
  Pass2(p14, W(75, 30), W(85, 100));
  p14.PassBox = BoxC(-110, 10, 110, 85, 0, 50);
  Ends(p14, {AroundC(0, 50), AroundC(0, 50)});
  p14.EndBoxDelaysMs = {100, 300, 100};

  PuppetDesign& p15 = Program(all, 15, "GRETO3.EXE", "無題 - Tulkomi３", 500, 400, 198, 74, 15, 15);
  Pass2(p15, W(80, 30), W(90, 190));
  p15.PassBox = BoxW(160, 200, 300, 270, 230, 230);
  Ends(p15, {AroundW(290, 230), AroundW(250, 230)});

  PuppetDesign& p16 = Program(all, 16, "KANDO4.EXE", "無題 - Pelinar２", 380, 470, 40, 71, 17, 17);
  Pass2(p16, W(90, 30), W(90, 200));
  p16.PassBox = BoxW(150, 220, 290, 295, 210, 270);
  Ends(p16, {AroundW(240, 266), AroundW(200, 270)});
  p16.EndBoxDelaysMs = {100, 300, 100};

  PuppetDesign& p17 = Program(all, 17, "NOVRA2.EXE", "Umbrisa・弐", 680, 670, 71, 75, 32, 32);
  p17.ShadedCrossings = true;
  p17.MarkC = 1;
  p17.MarkR = 14;
  Pass2(p17, W(75, 30), W(85, 100));
  p17.PassBox = BoxC(-110, 10, 110, 85, 0, 50);
  Ends(p17, {AroundC(0, 50), AroundC(0, 50)});
  p17.EndBoxDelaysMs = {100, 300, 100};

  PuppetDesign& p18 = Program(all, 18, "WENDRIX.EXE", "Wendrix", 640, 480, 149, 70, 20, 20);
  Pass1(p18, W(560, 150));
  p18.PassBox = BoxW(260, 240, 400, 300, 329, 270);
  p18.OwnEndingPass = EndingPass::BoxIsFirstEnd;
  Ends(p18, {AroundW(329, 270), AroundW(329, 270)});
  p18.EndBoxDelaysMs = {100, 3000, 100};

  return all;
}

const std::array<PuppetDesign, 18> Designs = Build();

}  // namespace

const PuppetDesign* DesignOf(int profile) {
  if (profile < 1 || profile > 18) return nullptr;
  return &Designs[static_cast<std::size_t>(profile - 1)];
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
