#pragma once
// Clocks of the simulated world. Both keep a queue of scheduled events (a puppet
// finishing its think, a dialog appearing) that run when the clock passes their
// tick, so the simulated programs live on the same time line as Tovarin's waits.
#include <cstdint>
#include <functional>
#include <map>

#include "platform/Clock.h"

namespace platform::headless {

class SimClock : public Clock {
 public:
  using Event = std::function<void()>;
  using EventId = std::uint64_t;

  // Runs `event` once the clock has moved `delayMs` past now.
  EventId Schedule(std::uint32_t delayMs, Event event);
  void Cancel(EventId id);
  // Runs every event that is due now, in tick order (and in scheduling order
  // within one tick). Events scheduled by events run too when due.
  void RunDueEvents();
  // Milliseconds from now to the next scheduled event; false when none is queued.
  bool NextEventDelay(std::uint32_t& delayMs);

 protected:
  // Moves the clock to `tick` and runs the events that fall due on the way, each
  // with the clock standing at its own tick.
  void AdvanceTo(std::uint64_t tick);
  std::uint64_t Now_ = 0;  // 64-bit so that the queue order survives the 32-bit wrap

 private:
  struct Key {
    std::uint64_t Tick;
    EventId Id;
    bool operator<(const Key& o) const { return Tick != o.Tick ? Tick < o.Tick : Id < o.Id; }
  };
  std::map<Key, Event> Events_;
  EventId NextId_ = 1;
};

// Time moves only when a test advances it or the code under test sleeps.
class ManualClock final : public SimClock {
 public:
  explicit ManualClock(std::uint32_t startTick = 1000) { Now_ = startTick; }
  std::uint32_t TickCount() override { return static_cast<std::uint32_t>(Now_); }
  void Sleep(std::uint32_t ms) override { AdvanceTo(Now_ + ms); }
  void Advance(std::uint32_t ms) { AdvanceTo(Now_ + ms); }
  std::uint64_t TotalSleptMs() const { return Now_; }
};

// Real time plus every sleep: a sleep returns at once and adds its length, while
// time spent waiting for the outside world (a partner on a serial line) passes as
// real time. Used by the tovarin-sim program.
class AcceleratedClock final : public SimClock {
 public:
  AcceleratedClock();
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t ms) override;

 private:
  std::uint64_t RealMs() const;
  std::uint64_t Offset_ = 0;
  std::uint64_t Start_ = 0;
};

}  // namespace platform::headless
