#include "platform/headless/SimClock.h"

#include <chrono>
#include <utility>

namespace platform::headless {

SimClock::EventId SimClock::Schedule(std::uint32_t delayMs, Event event) {
  EventId id = NextId_++;
  Events_.emplace(Key{Now_ + delayMs, id}, std::move(event));
  return id;
}

void SimClock::Cancel(EventId id) {
  for (auto it = Events_.begin(); it != Events_.end(); ++it) {
    if (it->first.Id == id) {
      Events_.erase(it);
      return;
    }
  }
}

void SimClock::RunDueEvents() {
  TickCount();  // an accelerated clock catches up with real time here
  while (!Events_.empty() && Events_.begin()->first.Tick <= Now_) {
    auto node = Events_.extract(Events_.begin());
    node.mapped()();
  }
}

bool SimClock::NextEventDelay(std::uint32_t& delayMs) {
  if (Events_.empty()) return false;
  std::uint64_t due = Events_.begin()->first.Tick;
  delayMs = due > Now_ ? static_cast<std::uint32_t>(due - Now_) : 0;
  return true;
}

void SimClock::AdvanceTo(std::uint64_t tick) {
  while (!Events_.empty() && Events_.begin()->first.Tick <= tick) {
    auto node = Events_.extract(Events_.begin());
    if (node.key().Tick > Now_) Now_ = node.key().Tick;
    node.mapped()();
  }
  if (tick > Now_) Now_ = tick;
}

AcceleratedClock::AcceleratedClock() {
  Start_ = RealMs();
  Now_ = 1000;
  Offset_ = 1000;
}

std::uint64_t AcceleratedClock::RealMs() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint32_t AcceleratedClock::TickCount() {
  std::uint64_t now = RealMs() - Start_ + Offset_;
  if (now > Now_) AdvanceTo(now);
  return static_cast<std::uint32_t>(Now_);
}

void AcceleratedClock::Sleep(std::uint32_t ms) {
  TickCount();
  Offset_ += ms;
  AdvanceTo(Now_ + ms);
}

}  // namespace platform::headless
