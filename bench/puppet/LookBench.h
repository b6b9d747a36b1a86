#pragma once
// What the benchmarks of a look at the puppet's board share, on the simulated
// desktop and under Wine: the look as Tovarin made it before it guarded what it
// reads (the puppet's window still there, one new stone at most, no white stone
// gone that no capture took), a game played up to the middle with the puppet, and
// the two looks timed side by side.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "sim/puppets/GoGame.h"
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Unit1.h"

namespace lookbench {

// One look as it was before the guard: the pass signs, one snapshot of the board
// region, then the points Tovarin holds empty, column by column from the left and
// each from the top, up to the first that shows a stone; a point holding a stone is
// not read. No box ever shows in the benchmarks, so the clicks that clear one are
// left out: a sign that shows ends the look as it did.
inline bool LookWithoutGuard(tovarin::TForm1& f, std::int32_t& x, std::int32_t& y) {
  const puppet::Reading* reading = puppet::ReadingOf(f.ProfileNo);
  if (!reading) return false;
  platform::Desktop& desktop = f.Sys.Desktop;
  const int w = desktop.ScreenWidth(), h = desktop.ScreenHeight();
  auto shows = [&](puppet::ScreenSpot spot, platform::ColorRef colour) {
    platform::Point p = spot.On(w, h);
    return desktop.Pixel(p.X, p.Y) == colour;
  };
  bool passed = false;
  switch (reading->Sign) {
    case puppet::PassSign::NoticeDialog:
      if (shows(reading->NoticeProbe, puppet::DialogGrey)) return false;
      [[fallthrough]];
    case puppet::PassSign::Dialog:
      passed = shows(reading->PassProbe, puppet::DialogGrey);
      break;
    case puppet::PassSign::PanelOrCentre:
      passed = (f.PassCheckDue && shows(reading->PanelProbe, puppet::Black)) ||
               shows(reading->PassProbe, puppet::DialogGrey);
      break;
    case puppet::PassSign::DialogSeries:
      passed = shows(reading->PassProbe, puppet::DialogGrey);
      break;
  }
  if (passed) {
    x = y = 0;
    return true;
  }
  desktop.Snapshot(puppet::SampleArea(*reading), f.BoardShot);
  auto read = [&f](int px, int py) { return f.BoardShot.At(px, py); };
  for (int c = 1; c <= board::BoardSize; ++c)
    for (int r = 1; r <= board::BoardSize; ++r) {
      if (f.Stones[static_cast<std::size_t>(board::PointCode(c, r))] != board::Empty) continue;
      if (puppet::LooksOccupied(puppet::PointTestFor(*reading, c, r), read)) {
        x = c;
        y = r;
        return true;
      }
    }
  // Nothing new: a pass shows as the last stone's mark gone.
  if (reading->Sign == puppet::PassSign::DialogSeries && f.MoveCount > 0 &&
      f.MoveCount < board::MoveRecordSize) {
    int m = f.MoveRecord[static_cast<std::size_t>(f.MoveCount)];
    int mx = board::CodeX(m), my = board::CodeY(m);
    if (mx >= 1 && mx <= board::BoardSize && my >= 1 && my <= board::BoardSize) {
      platform::ColorRef centre = f.BoardShot.At(reading->SampleX.At(mx), reading->SampleY.At(my));
      std::int32_t stone = f.Stones[static_cast<std::size_t>(m)];
      if ((stone == board::StoneBlack && centre == puppet::Black) ||
          (stone == board::StoneWhite && centre == reading->PlainWhiteFace)) {
        x = y = 0;
        return true;
      }
    }
  }
  return false;
}

// Plays a game of `moves` moves against the puppet, which plays White, as the relay
// does: each of Black's moves goes into Tovarin's board and is entered by `enter`
// (c, r); then looks, `pause` between them, read the puppet's answer into
// Tovarin's board. Black's moves are spread over the board and never take stones,
// so that no puppet shows a notice. Returns the moves made; fewer when an answer
// did not come.
inline int PlayGame(tovarin::TForm1& f, int moves, auto&& enter, auto&& pause) {
  f.ResetGame();
  refpuppet::GoGame game;  // for the moves Black may play
  auto record = [&](int c, int r) {
    const bool black = game.ToMove() == refpuppet::Stone::Black;
    game.Play(c, r);
    f.LastMoveCode = board::PointCode(c, r);
    f.PlaceStone(black);
  };
  for (int k = 0; game.MovesMade() < moves && k < 361; ++k) {
    const int at = k * 149 % 361;  // every point once, far from the one before
    const int c = 1 + at % 19, r = 1 + at / 19;
    if (!game.IsLegal(c, r) || game.Captures(c, r)) continue;
    record(c, r);
    enter(c, r);
    // The puppet passes only from move 160 on: a pass read here is its board read
    // before it has drawn Black's stone, and the looks go on.
    std::int32_t x = 0, y = 0;
    for (int looks = 0; !f.DetectPuppetMove(x, y) || x == 0; ++looks) {
      if (looks > 300) return game.MovesMade();
      pause();
    }
    record(x, y);
  }
  return game.MovesMade();
}

// The stones Tovarin holds, and the points of the last snapshot that look taken.
inline int StonesHeld(const tovarin::TForm1& f) {
  int n = 0;
  for (int c = 1; c <= board::BoardSize; ++c)
    for (int r = 1; r <= board::BoardSize; ++r)
      n += f.Stones[static_cast<std::size_t>(board::PointCode(c, r))] != board::Empty;
  return n;
}
inline int StonesSeen(const tovarin::TForm1& f) {
  const puppet::Reading& reading = *puppet::ReadingOf(f.ProfileNo);
  int n = 0;
  for (int c = 1; c <= board::BoardSize; ++c)
    for (int r = 1; r <= board::BoardSize; ++r)
      n += puppet::LooksOccupied(puppet::PointTestFor(reading, c, r),
                                 [&f](int x, int y) { return f.BoardShot.At(x, y); });
  return n;
}

// Times `rounds` looks of each kind, one of each in turn (which one first
// alternates), and prints a row: the median of each kind, and the median of the
// differences within the pairs, which share whatever else the machine is doing at
// the time. True when every look read nothing new and the guard refused none.
inline bool TimeAndPrint(tovarin::TForm1& f, const char* label, int rounds) {
  std::vector<double> with, without, extra;
  bool found = false;
  auto timeOne = [&](std::vector<double>& into, auto&& look) {
    std::int32_t x = 0, y = 0;
    auto start = std::chrono::steady_clock::now();
    found = look(x, y) || found;
    into.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  };
  auto guarded = [&](std::int32_t& x, std::int32_t& y) { return f.DetectPuppetMove(x, y); };
  auto old = [&](std::int32_t& x, std::int32_t& y) { return LookWithoutGuard(f, x, y); };
  for (int i = 0; i < rounds; ++i) {
    if (i % 2 == 0) {
      timeOne(with, guarded);
      timeOne(without, old);
    } else {
      timeOne(without, old);
      timeOne(with, guarded);
    }
    extra.push_back(with.back() - without.back());
  }
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  const double a = median(with), b = median(without), d = median(extra);
  const bool sound = f.LastSighting == tovarin::TForm1::Sighting::AllWell;
  std::printf("%-8d %-9s %4d/%-4d %16.1f %13.1f %11.1f %8.1f%s\n", f.ProfileNo, label,
              StonesHeld(f), StonesSeen(f), a, b, d, 100.0 * d / b,
              found   ? "  (a look found a move!)"
              : sound ? ""
                      : "  (the guard refused the look!)");
  std::fflush(stdout);
  return !found && sound;
}

// The rows of one profile: the empty board, then the board after the game that
// `play` plays (it returns the moves made), when the empty board read empty.
inline void TimeProfile(tovarin::TForm1& f, int rounds, auto&& play) {
  if (!TimeAndPrint(f, "empty", rounds)) {
    std::printf("%-8d %-9s (not played: the empty board does not read empty)\n", f.ProfileNo,
                "game");
    return;
  }
  char label[16];
  std::snprintf(label, sizeof label, "%d moves", play());
  TimeAndPrint(f, label, rounds);
}

inline void PrintHeader(const char* where, int rounds) {
  std::printf(
      "One look at the puppet's board %s: with the guard (DetectPuppetMove) and as\n"
      "before it (pass signs, one snapshot, the points held empty read up to the\n"
      "first new stone); medians of %d looks each, the two kinds in turn. Extra: the\n"
      "median difference between a guarded look and the unguarded one beside it.\n"
      "Stones: held by Tovarin / reading as taken in the last look's snapshot.\n",
      where, rounds);
  std::printf("%-8s %-9s %9s %16s %13s %11s %8s\n", "profile", "case", "stones", "with guard (us)",
              "without (us)", "extra (us)", "extra %");
}

}  // namespace lookbench
