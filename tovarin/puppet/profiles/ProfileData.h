#pragma once
// The words the profile files are written in: colour sets, reading exceptions and
// the step builders of the scripts. Only the profile files include this.
//
// A script reads as the user's actions in the puppet, one step a line:
// clang-format off
//   Click("Game menu", 155, 25)                     a click at (155, 25)
//   Click("black: the program", BW(264, 180), 122)  x 264 when the puppet plays black,
//                                                   180 when it plays white
//   Click("OK", CX(-40), CY(160))                   from the screen's centre
//   TickOff("sound", 191, 67, Menu{200, 30})        the entry is ticked (its pixel is
//                                                   black): click it, then open the
//                                                   menu again
//   TickOn(...)                                     the same for an entry that must be
//                                                   ticked
//   LastTickOff("hints", 191, 83)                   as TickOff, the menu left closed
//   Wait("the dialog opens", 500)
//   First(step), Later(step), IfPuppetBlack(step), AfterPartnerPass(step): only then
// clang-format on
#include "tovarin/puppet/Profiles.h"

namespace puppet::data {

inline constexpr std::array<platform::ColorRef, 4> BlackOnly{Black};

// ---- Coordinates ----

constexpr Term Fix(int v) { return Term{From::Screen, static_cast<std::int16_t>(v)}; }

// One coordinate when the puppet plays black, another when it plays white.
constexpr Coord BW(Coord black, Coord white) { return Coord{black.IfBlack, white.IfWhite}; }
// From the centre of the screen.
constexpr Coord CX(int d) {
  return Coord{Term{From::CentreX, static_cast<std::int16_t>(d)},
               Term{From::CentreX, static_cast<std::int16_t>(d)}};
}
constexpr Coord CY(int d) {
  return Coord{Term{From::CentreY, static_cast<std::int16_t>(d)},
               Term{From::CentreY, static_cast<std::int16_t>(d)}};
}
// On the row of profile 6's list choice L: 12 L + offset.
constexpr Coord ListRow(int offset) {
  return Coord{Term{From::ListRow, static_cast<std::int16_t>(offset)},
               Term{From::ListRow, static_cast<std::int16_t>(offset)}};
}

struct Menu {
  int X;
  int Y;
};

// ---- Steps ----

constexpr Step Labelled(const char* label, Does action) {
  Step s;
  s.Label = label;
  s.Action = action;
  return s;
}

constexpr Step Click(const char* label, Coord x, Coord y) {
  Step s = Labelled(label, Does::Click);
  s.X = x;
  s.Y = y;
  return s;
}

constexpr Step Wait(const char* label, Coord ms) {
  Step s = Labelled(label, Does::Wait);
  s.WaitMs = ms;
  return s;
}

constexpr Step Keys(const char* label, std::uint8_t virtualKey, int count) {
  Step s = Labelled(label, Does::Key);
  s.Key = virtualKey;
  s.Count = static_cast<std::uint8_t>(count);
  return s;
}

// A click at (x, y) taken only when the pixel test at (x, y) holds.
constexpr Step ClickIf(const char* label, Test test, int x, int y) {
  Step s = Click(label, x, y);
  s.If = test;
  s.Probe = platform::Point{x, y};
  return s;
}

// A menu entry whose tick stands at (x, y) must not be ticked: when it is, it is
// clicked and the menu at `menu` opened again for the next entry.
constexpr Step TickOff(const char* label, int x, int y, Menu menu) {
  Step s = ClickIf(label, Test::Black, x, y);
  s.Reopen = platform::Point{menu.X, menu.Y};
  return s;
}
// The same for an entry that must be ticked.
constexpr Step TickOn(const char* label, int x, int y, Menu menu) {
  Step s = ClickIf(label, Test::NotBlack, x, y);
  s.Reopen = platform::Point{menu.X, menu.Y};
  return s;
}
// The last entry tested in a menu: the click closes the menu, which stays closed.
constexpr Step LastTickOff(const char* label, int x, int y) {
  return ClickIf(label, Test::Black, x, y);
}
constexpr Step LastTickOn(const char* label, int x, int y) {
  return ClickIf(label, Test::NotBlack, x, y);
}

constexpr Step Special(const char* label, Does action) { return Labelled(label, action); }

constexpr Step OnlyWhen(Only when, Step s) {
  s.When = when;
  return s;
}
constexpr Step First(Step s) { return OnlyWhen(Only::FirstGame, s); }
constexpr Step Later(Step s) { return OnlyWhen(Only::LaterGames, s); }
constexpr Step IfPuppetBlack(Step s) { return OnlyWhen(Only::PuppetBlack, s); }
constexpr Step AfterPartnerPass(Step s) { return OnlyWhen(Only::AfterPartnerPass, s); }

// Profiles whose scripts another profile shares.
extern const std::array<Step, 4> Profile14GameEnd;

}  // namespace puppet::data

namespace puppet {
#define TOVARIN_DECLARE_PROFILE(name) extern const Profile name;
TOVARIN_PROFILES(TOVARIN_DECLARE_PROFILE)
#undef TOVARIN_DECLARE_PROFILE
}  // namespace puppet
