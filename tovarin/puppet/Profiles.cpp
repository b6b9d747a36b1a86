#include "tovarin/puppet/Profiles.h"

#include <algorithm>

#include "tovarin/board/Board.h"
#include "tovarin/puppet/profiles/ProfileData.h"

namespace puppet {

namespace {

#define TOVARIN_PROFILE_ADDRESS(name) &name,
constexpr std::array<const Profile*, ProfileCount> All{TOVARIN_PROFILES(TOVARIN_PROFILE_ADDRESS)};
#undef TOVARIN_PROFILE_ADDRESS

}  // namespace

const Profile* ProfileOf(int profile) {
  return IsProfile(profile) ? All[static_cast<std::size_t>(profile - 1)] : nullptr;
}

std::array<const char*, TitleCount> TitleTable() {
  std::array<const char*, TitleCount> titles{};
  for (int p = 1; p <= ProfileCount; ++p)
    titles[static_cast<std::size_t>(TitleIndex(p))] = ProfileOf(p)->Id.Title;
  titles[Profile5MainTitle] = Profile05.Id.MainTitles[0];
  titles[Profile5PlainTitle] = Profile05.Id.MainTitles[1];
  return titles;
}

const Identity* IdentityOf(int profile) {
  const Profile* p = ProfileOf(profile);
  return p ? &p->Id : nullptr;
}
const Geometry* GeometryOf(int profile) {
  const Profile* p = ProfileOf(profile);
  return p ? &p->Window : nullptr;
}
const Entry* EntryOf(int profile) {
  const Profile* p = ProfileOf(profile);
  return p ? &p->Input : nullptr;
}
const Reading* ReadingOf(int profile) {
  const Profile* p = ProfileOf(profile);
  return p ? &p->Look : nullptr;
}

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
    const Identity& id = ProfileOf(p)->Id;
    bool named = name == id.Executable || (id.Executable2 && name == id.Executable2);
    if (!named) continue;
    if (id.Year == ExecutableYear::Is1999 && lastWriteYear != 1999) continue;
    if (id.Year == ExecutableYear::Not1999 && lastWriteYear == 1999) continue;
    return p;
  }
  return 0;
}

PointTest PointTestFor(const Reading& reading, int c, int r) {
  PointTest t;
  t.EmptyColourCount = reading.EmptyColourCount;
  t.EmptyColours = reading.EmptyColours;
  if (const BoardWindowSampling* w = reading.BoardWindow) {
    t.EmptyColourCount = 1;
    t.EmptyColours = data::BlackOnly;
    if (c == 1 && r == 1) {
      t.OccupiedWhenBlack = true;
      t.PixelCount = static_cast<std::uint8_t>(w->CornerPixels.size());
      std::copy(w->CornerPixels.begin(), w->CornerPixels.end(), t.Pixels.begin());
    } else if (r == 1) {
      t.Pixels[0] = platform::Point{w->Row1SampleX.At(c), w->Row1SampleY};
    } else {
      t.Pixels[0] = platform::Point{reading.SampleX.At(c), reading.SampleY.At(r)};
    }
    return t;
  }
  int x = reading.SampleX.At(c);
  int y = r == board::BoardSize ? reading.SampleYBottom.At(r) : reading.SampleY.At(r);
  const SampleException& e = reading.Exception;
  if (e.C != 0 && e.C == c && e.R == r) {
    x += e.Dx;
    y += e.Dy;
    if (e.BlackOnly) {
      t.EmptyColourCount = 1;
      t.EmptyColours = data::BlackOnly;
    }
  }
  t.Pixels[0] = platform::Point{x, y};
  return t;
}

platform::Rect SampleArea(const Reading& reading) {
  platform::Rect area{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
  for (int c = 1; c <= board::BoardSize; ++c)
    for (int r = 1; r <= board::BoardSize; ++r) {
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
