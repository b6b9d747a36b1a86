// The line for the pure parts' tests: its answers are scripted, and everything
// done to it is kept.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gtp/Line.h"

namespace gtp {

using Point = std::pair<int, int>;

struct FakeLine : GmpLine {
  std::deque<bool> NewGameAnswers;  // true once these are used up
  std::deque<Point> FarMoves;       // the far end's moves; silence when none are left
  bool Acknowledges = true;
  bool Denies = false;  // a move not acknowledged was refused
  std::vector<std::string> Events;
  std::vector<Point> Sent;
  bool IsOpen = false;

  bool Open(std::string&) override {
    Events.push_back("open");
    IsOpen = true;
    return true;
  }
  void Close() override {
    if (IsOpen) Events.push_back("close");
    IsOpen = false;
  }
  bool NewGame(int colour) override {
    EXPECT_TRUE(IsOpen);
    Events.push_back("newgame " + std::to_string(colour));
    if (NewGameAnswers.empty()) return true;
    const bool answer = NewGameAnswers.front();
    NewGameAnswers.pop_front();
    return answer;
  }
  bool SendMove(int x, int y) override {
    EXPECT_TRUE(IsOpen);
    Sent.push_back({x, y});
    return Acknowledges;
  }
  bool MoveDenied() override { return Denies; }
  bool WaitMove(int& x, int& y, std::uint32_t) override {
    EXPECT_TRUE(IsOpen);
    if (FarMoves.empty()) return false;
    std::tie(x, y) = FarMoves.front();
    FarMoves.pop_front();
    return true;
  }
  bool Lost() override { return false; }
  bool DeniedMove(int&, int&, int&) override { return false; }
  std::string Name() const override { return "COM1"; }
  std::uint32_t WaitMs() const override { return 10000; }
};

}  // namespace gtp
