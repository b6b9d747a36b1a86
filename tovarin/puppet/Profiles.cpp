#include "tovarin/puppet/Profiles.h"

#include <algorithm>

namespace puppet {

namespace {

using platform::ColorRef;
using platform::Rgb;
using Year = ExecutableYear;

constexpr std::array<Identity, ProfileCount> Identities{{
    {"[Velk2]", "Velkaro Ⅱ", "VK2.EXE", nullptr, Year::Any},
    {"[SivA]", "Halvendo囲碁", "HALVENDO.EXE", nullptr, Year::Any},
    {"[Bri6]", "Brimu６", "BRIMU6.EXE", nullptr, Year::Any},
    {"[Ostr]", "Ostrugo", "ZOLTA.EXE", nullptr, Year::Any},
    {"[Pel?]", "Pelinar(97)", "MERVO.EXE", "PELINAR.EXE", Year::Any},
    {"[Pel2]", "PelinarⅡ", "KANDO4.EXE", nullptr, Year::Not1999},
    {"[Bri7]", "Brimu７", "BRIMU7.EXE", nullptr, Year::Any},
    {"[Bri2K]", "Brimu２０００", "BRIMU2K.EXE", nullptr, Year::Any},
    {"[Quas]", "Quastor", "FIRSK.EXE", nullptr, Year::Any},
    {"[RENDO]", "Rendolin(98)", "RENDOLIN.EXE", nullptr, Year::Any},
    {"[Velk3]", "Velkaro Ⅲ", "VK3.EXE", nullptr, Year::Any},
    {"[SivB]", "Sivarne対局", "LUMBA.EXE", nullptr, Year::Any},
    {"[TulS2]", "Tulkomi S2", "GRETO4.EXE", nullptr, Year::Any},
    {"[Umbr]", "Umbrisa", "UMBRISA.EXE", nullptr, Year::Any},
    {"[Tul3]", "Tulkomi３", "GRETO3.EXE", nullptr, Year::Any},
    {"[P2UP]", "PelinarⅡ(パワーアップ版)", "KANDO4.EXE", nullptr, Year::Is1999},
    {"[Umbr2]", "Umbrisa２", "NOVRA2.EXE", nullptr, Year::Any},
    {"[Wendrix]", "Wendrix", "WENDRIX.EXE", nullptr, Year::Any},
}};

//                                           w    h  left top  min   board x     board y
constexpr std::array<Geometry, ProfileCount> Geometries{{
    /*  1 */ {500, 375, 0, 0, 750, {16, 123}, {16, 52}},
    /*  2 */ {400, 372, 0, 0, 750, {16, 62}, {16, 44}},
    /*  3 */ {482, 410, 0, 0, 750, {16, 18}, {17, 56}},
    /*  4 */ {640, 480, 0, 0, 750, {19, 175}, {19, 54}},
    /*  5 */ {410, 410, 0, 0, 750, {19, 14}, {19, 116}},
    /*  6 */ {424, 448, 0, 0, 750, {17, 22}, {17, 53}},
    /*  7 */ {460, 390, 0, 0, 750, {16, 16}, {17, 43}},
    /*  8 */ {460, 390, 0, 0, 750, {16, 16}, {17, 43}},
    /*  9 */ {450, 470, 0, 0, 750, {20, 28}, {20, 63}},
    /* 10 */ {500, 420, 0, 0, 750, {10, 6}, {10, 44}},
    /* 11 */ {640, 480, 0, 0, 750, {20, 186}, {20, 61}},
    /* 12 */ {510, 380, 0, 0, 750, {15, 187}, {15, 58}},
    /* 13 */ {500, 400, 0, 0, 750, {15, 183}, {15, 69}},
    /* 14 */ {534, 544, -35, 0, 750, {25, 3}, {25, 43}},
    /* 15 */ {500, 400, 0, 0, 750, {15, 183}, {15, 59}},
    /* 16 */ {380, 470, 0, 0, 750, {17, 23}, {17, 54}},
    /* 17 */ {680, 670, -35, 0, 900, {32, 4}, {32, 43}},
    /* 18 */ {640, 480, 0, 0, 750, {20, 129}, {20, 50}},
}};

//                                        title  clicks  pass clicks in order
constexpr std::array<Entry, ProfileCount> Entries{{
    /*  1 */ {false, 1, {Fixed(480, 180)}},
    /*  2 */ {false, 1, {Fixed(40, 180)}},
    /*  3 */ {true, 2, {Fixed(90, 30), Fixed(90, 75)}},
    /*  4 */ {false, 1, {Fixed(615, 130)}},
    /*  5 */ {false, 1, {Fixed(230, 60)}},
    /*  6 */ {false, 1, {Fixed(400, 430)}},
    /*  7 */ {true, 2, {Fixed(80, 30), Fixed(80, 100)}},
    /*  8 */ {true, 2, {Fixed(80, 30), Fixed(80, 100)}},
    /*  9 */ {false, 2, {Fixed(80, 30), Fixed(80, 90)}},
    /* 10 */ {false, 2, {Fixed(300, 400), Fixed(235, 235)}},
    /* 11 */ {false, 1, {Fixed(604, 222)}},
    /* 12 */ {false, 2, {Fixed(80, 30), Fixed(80, 80)}},
    /* 13 */ {false, 2, {Fixed(80, 30), Fixed(90, 190)}},
    /* 14 */ {false, 2, {Fixed(40, 30), Fixed(50, 100)}},
    /* 15 */ {false, 2, {Fixed(80, 30), Fixed(90, 190)}},
    /* 16 */ {false, 2, {Fixed(90, 30), Fixed(90, 200)}},
    /* 17 */ {false, 2, {Fixed(40, 30), Fixed(50, 100)}},
    /* 18 */ {false, 1, {Fixed(560, 150)}},
}};

constexpr std::array<ColorRef, 4> BlackOnly{Black};
constexpr std::array<ColorRef, 4> DarkGreyOnly{Rgb(24, 24, 24)};
constexpr std::array<ColorRef, 4> FourDarks{Rgb(0, 0, 0), Rgb(24, 0, 0), Rgb(96, 1, 4),
                                            Rgb(40, 40, 40)};
constexpr SampleException None{};
constexpr SampleException CornerOneUp{19, 19, 0, -1, false};
constexpr SampleException OneRightBlackOnly{1, 14, 1, 0, true};
constexpr ScreenSpot Nowhere{};
using S = PassSign;

// sign, pass probe, dismiss; sample x, sample y (rows 1-18), sample y (row 19);
// exception; empty colours; board-window rules
// clang-format off
constexpr std::array<Reading, ProfileCount> Readings{{
    /*  1 */ {S::Dialog, Fixed(150, 212), Fixed(250, 215), {16, 123}, {16, 58}, {16, 49}, None, 1, BlackOnly, false},
    /*  2 */ {S::Dialog, Fixed(150, 212), Fixed(200, 215), {16, 62}, {16, 47}, {16, 38}, None, 1, BlackOnly, false},
    /*  3 */ {S::NoticeDialog, Fixed(185, 235), Fixed(235, 235), {16, 18}, {17, 63}, {17, 50}, None, 1, BlackOnly, false},
    /*  4 */ {S::PanelOrCentre, Nowhere, Nowhere, {19, 175}, {19, 62}, {19, 48}, None, 1, BlackOnly, false},
    /*  5 */ {S::Dialog, Centre(-55, 56), Centre(0, 56), {19, 14}, {19, 107}, {19, 107}, None, 1, BlackOnly, true},
    /*  6 */ {S::Dialog, Fixed(135, 250), Fixed(200, 255), {17, 22}, {17, 56}, {17, 45}, None, 1, BlackOnly, false},
    /*  7 */ {S::Dialog, Fixed(220, 200), Fixed(230, 230), {16, 16}, {17, 50}, {17, 36}, None, 1, BlackOnly, false},
    /*  8 */ {S::Dialog, Fixed(220, 200), Fixed(230, 230), {16, 16}, {17, 50}, {17, 36}, None, 1, BlackOnly, false},
    /*  9 */ {S::DialogSeries, Nowhere, Nowhere, {20, 28}, {20, 63}, {20, 63}, None, 1, BlackOnly, false},
    /* 10 */ {S::Dialog, Fixed(260, 235), Fixed(260, 235), {10, 6}, {10, 44}, {10, 44}, CornerOneUp, 1, BlackOnly, false},
    /* 11 */ {S::Dialog, Fixed(306, 275), Fixed(306, 275), {20, 186}, {20, 61}, {20, 61}, CornerOneUp, 1, BlackOnly, false},
    /* 12 */ {S::Dialog, Fixed(240, 220), Fixed(240, 220), {15, 187}, {15, 64}, {15, 52}, None, 1, BlackOnly, false},
    /* 13 */ {S::Dialog, Fixed(190, 230), Fixed(230, 230), {15, 183}, {15, 69}, {15, 69}, None, 1, BlackOnly, false},
    /* 14 */ {S::Dialog, Centre(0, 50), Centre(0, 50), {25, 3}, {25, 43}, {25, 43}, None, 1, DarkGreyOnly, false},
    /* 15 */ {S::Dialog, Fixed(192, 250), Fixed(230, 230), {15, 183}, {15, 59}, {15, 59}, None, 1, BlackOnly, false},
    /* 16 */ {S::Dialog, Fixed(210, 240), Fixed(210, 270), {17, 23}, {17, 54}, {17, 54}, None, 1, BlackOnly, false},
    /* 17 */ {S::Dialog, Centre(0, 50), Centre(0, 50), {32, 4}, {32, 43}, {32, 43}, OneRightBlackOnly, 4, FourDarks, false},
    /* 18 */ {S::Dialog, Fixed(329, 270), Fixed(329, 270), {20, 129}, {20, 50}, {20, 50}, None, 1, BlackOnly, false},
}};
// clang-format on

template <class T>
const T* Row(const std::array<T, ProfileCount>& table, int profile) {
  return IsProfile(profile) ? &table[static_cast<std::size_t>(profile - 1)] : nullptr;
}

}  // namespace

const std::array<const char*, TitleCount> TitleTable{
    "[新規対局] - Velkaro Ⅱ",
    "無題 - Halvendo囲碁",
    "Brimu6 - 新規対局",
    "対局囲碁　Ostrugo - (無題)",
    "碁盤",
    "無題 - Pelinar２",
    "Brimu7 - 新規対局",
    "Brimu2000",
    "－究極の囲碁ソフト－Quastor",
    "Untitled - Rendolin-98",
    "Velkaro III",
    "Sivarne - 無題",
    "無題 - Tulkomi S2",
    "Umbrisa",
    "無題 - Tulkomi３",
    "無題 - Pelinar２",
    "Umbrisa・弐",
    "Wendrix",
    "Pelinarﾊﾟﾜｰｱｯﾌﾟ版",
    "Pelinar",
};

const Identity* IdentityOf(int profile) { return Row(Identities, profile); }
const Geometry* GeometryOf(int profile) { return Row(Geometries, profile); }
const Entry* EntryOf(int profile) { return Row(Entries, profile); }
const Reading* ReadingOf(int profile) { return Row(Readings, profile); }

const char* TagOf(int profile) {
  const Identity* id = IdentityOf(profile);
  return id ? id->Tag : UnknownTag;
}

const char* DisplayNameOf(int profile) {
  const Identity* id = IdentityOf(profile);
  return id ? id->DisplayName : UnknownName;
}

int ProfileForExecutable(std::string_view path, int lastWriteYear) {
  std::size_t cut = path.find_last_of("\\/");
  std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  for (int p = 1; p <= ProfileCount; ++p) {
    const Identity& id = Identities[static_cast<std::size_t>(p - 1)];
    bool named = name == id.Executable || (id.Executable2 && name == id.Executable2);
    if (!named) continue;
    if (id.Year == Year::Is1999 && lastWriteYear != 1999) continue;
    if (id.Year == Year::Not1999 && lastWriteYear == 1999) continue;
    return p;
  }
  return 0;
}

PointTest PointTestFor(const Reading& reading, int c, int r) {
  PointTest t;
  t.EmptyColourCount = reading.EmptyColourCount;
  t.EmptyColours = reading.EmptyColours;
  if (reading.BoardWindowRules) {
    t.EmptyColourCount = 1;
    t.EmptyColours = BlackOnly;
    if (c == 1 && r == 1) {
      t.OccupiedWhenBlack = true;
      t.PixelCount = static_cast<std::uint8_t>(CornerPixels.size());
      std::copy(CornerPixels.begin(), CornerPixels.end(), t.Pixels.begin());
    } else if (r == 1) {
      t.Pixels[0] = platform::Point{Row1SampleX.At(c), Row1SampleY};
    } else {
      t.Pixels[0] = platform::Point{reading.SampleX.At(c), reading.SampleY.At(r)};
    }
    return t;
  }
  int x = reading.SampleX.At(c);
  int y = r == 19 ? reading.SampleYBottom.At(r) : reading.SampleY.At(r);
  const SampleException& e = reading.Exception;
  if (e.C != 0 && e.C == c && e.R == r) {
    x += e.Dx;
    y += e.Dy;
    if (e.BlackOnly) {
      t.EmptyColourCount = 1;
      t.EmptyColours = BlackOnly;
    }
  }
  t.Pixels[0] = platform::Point{x, y};
  return t;
}

platform::Rect SampleArea(const Reading& reading) {
  platform::Rect area{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
  for (int c = 1; c <= 19; ++c)
    for (int r = 1; r <= 19; ++r) {
      PointTest t = PointTestFor(reading, c, r);
      for (int i = 0; i < t.PixelCount; ++i) {
        area.Left = std::min(area.Left, t.Pixels[i].X);
        area.Top = std::min(area.Top, t.Pixels[i].Y);
        area.Right = std::max(area.Right, t.Pixels[i].X + 1);
        area.Bottom = std::max(area.Bottom, t.Pixels[i].Y + 1);
      }
    }
  return area;
}

}  // namespace puppet
