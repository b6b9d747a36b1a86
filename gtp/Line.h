// The serial line as the relay uses it: the Go Modem Protocol through the link
// library, one game per opening of the line.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace gtp {

class GmpLine {
 public:
  virtual ~GmpLine() = default;

  // Opens the line afresh: a new link with both sequence bits at 0, as the far
  // end expects at the start of each game. False with the reason in `error`.
  virtual bool Open(std::string& error) = 0;
  virtual void Close() = 0;
  // One wait of the link library for a new game in which this side plays
  // `colour` (1 black: sends the request; 2 white: waits for it).
  virtual bool NewGame(int colour) = 0;
  // Sends a move (0, 0 a pass) and waits for the far end to take it: false on
  // the link library's time-out, or when the far end refused it (MoveDenied).
  virtual bool SendMove(int x, int y) = 0;
  virtual bool MoveDenied() = 0;
  // Waits up to `timeoutMs` for the far end's move.
  virtual bool WaitMove(int& x, int& y, std::uint32_t timeoutMs) = 0;
  // The line can no longer be read (the far end hung up, the device is gone):
  // the calls above fail at once.
  virtual bool Lost() = 0;
  // The last move the far end sent in this side's own colour, which the line
  // denied, since the line was opened or the far end's last move was taken.
  virtual bool DeniedMove(int& colour, int& x, int& y) = 0;

  // The line's name for messages, and the link library's wait in NewGame and
  // SendMove.
  virtual std::string Name() const = 0;
  virtual std::uint32_t WaitMs() const = 0;
};

// When this side sends the request of a later game, it waits this long after
// the game before it ended: Tovarin's white side listens again only after its
// 15 s pause, and until it closes the last game's link a request would reach
// that link instead, and the far end would miss the first move.
constexpr std::uint32_t NextRequestDelayMs = 20000;

// Sleeps until `delayMs` after `lastEnd`, calling `saying` first when there is
// a wait at all.
template <typename Saying>
void WaitForFarEnd(std::chrono::steady_clock::time_point lastEnd, std::uint32_t delayMs,
                   Saying&& saying) {
  const auto due = lastEnd + std::chrono::milliseconds(delayMs);
  if (std::chrono::steady_clock::now() < due) saying();
  std::this_thread::sleep_until(due);
}

}  // namespace gtp
