// The simulated world behaves as Windows does where Tovarin depends on it: the
// topmost window owns a pixel, input goes to the window under the cursor, timers
// tick only when messages are taken and never pile up, and clocks order events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessUi.h"
#include "platform/headless/SimClock.h"
#include "platform/headless/SimDesktop.h"

namespace {

using platform::Rect;
using platform::Rgb;
using platform::headless::HeadlessApplication;
using platform::headless::ManualClock;
using platform::headless::SimDesktop;
using platform::headless::SimWindow;

TEST(SimClock, EventsRunInTickOrderWhileTimePasses) {
  ManualClock clock(0);
  std::vector<std::string> seen;
  clock.Schedule(300, [&] { seen.push_back("b@" + std::to_string(clock.TickCount())); });
  clock.Schedule(100, [&] {
    seen.push_back("a@" + std::to_string(clock.TickCount()));
    clock.Schedule(50, [&] { seen.push_back("c@" + std::to_string(clock.TickCount())); });
  });
  auto cancelled = clock.Schedule(200, [&] { seen.push_back("x"); });
  clock.Cancel(cancelled);
  clock.Sleep(250);
  EXPECT_EQ(seen, (std::vector<std::string>{"a@100", "c@150"}));
  EXPECT_EQ(clock.TickCount(), 250u);
  clock.Advance(100);
  EXPECT_EQ(seen.back(), "b@300");
}

TEST(SimClock, TickCountWrapsAsAnUnsigned32BitValue) {
  ManualClock clock(0xFFFFFF00u);
  std::uint32_t start = clock.TickCount();
  clock.Sleep(0x200);
  EXPECT_EQ(clock.TickCount(), 0x100u);
  EXPECT_EQ(clock.TickCount() - start, 0x200u);
  EXPECT_TRUE(platform::TickAfter(clock.TickCount(), start));
}

TEST(SimClock, AcceleratedSleepsCostNoRealTime) {
  platform::headless::AcceleratedClock clock;
  std::uint32_t start = clock.TickCount();
  bool fired = false;
  clock.Schedule(15000, [&] { fired = true; });
  clock.Sleep(20000);
  EXPECT_TRUE(fired);
  EXPECT_GE(clock.TickCount() - start, 20000u);
  EXPECT_LT(clock.TickCount() - start, 25000u);
}

struct Recorder : platform::headless::SimWindowOwner {
  std::vector<std::string> Events;
  bool Refuse = false;
  void OnMouseDown(SimWindow&, int x, int y) override {
    Events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnMouseUp(SimWindow&, int x, int y) override {
    Events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnKeyDown(SimWindow&, std::uint8_t vk) override {
    Events.push_back("key " + std::to_string(vk));
  }
  bool OnPlacing(SimWindow&, Rect&) override { return !Refuse; }
};

TEST(SimDesktop, TopmostWindowOwnsThePixelAndTheClick) {
  ManualClock clock;
  SimDesktop desk(clock, 800, 600);
  Recorder lowOwner, highOwner;
  SimWindow& low = desk.CreateWindow("low", Rect{0, 0, 400, 300}, &lowOwner);
  low.FillRect(Rect{0, 0, 400, 300}, Rgb(0, 0, 0));
  SimWindow& high = desk.CreateWindow("high", Rect{100, 100, 200, 200}, &highOwner);
  high.FillRect(Rect{0, 0, 100, 100}, Rgb(192, 192, 192));
  EXPECT_EQ(desk.Pixel(150, 150), Rgb(192, 192, 192));
  EXPECT_EQ(desk.Pixel(50, 50), Rgb(0, 0, 0));
  EXPECT_EQ(desk.Pixel(500, 500), desk.Background);
  EXPECT_EQ(desk.Pixel(800, 10), platform::InvalidColor);
  platform::ScreenSnapshot shot;
  desk.Snapshot(Rect{90, 90, 110, 110}, shot);
  EXPECT_EQ(shot.At(95, 95), Rgb(0, 0, 0));
  EXPECT_EQ(shot.At(105, 105), Rgb(192, 192, 192));
  EXPECT_EQ(shot.At(120, 120), platform::InvalidColor);  // outside the snapshot

  desk.SetCursorPos(150, 160);
  desk.MouseLeftDown();
  desk.MouseLeftUp();
  EXPECT_EQ(highOwner.Events, (std::vector<std::string>{"down 50,60", "up 50,60"}));
  EXPECT_TRUE(lowOwner.Events.empty());
  desk.KeyDown(0x08);
  EXPECT_EQ(highOwner.Events.back(), "key 8");

  // Sent to the bottom of the stack, the window no longer covers the other.
  ASSERT_TRUE(desk.SetWindowPos(high.Handle(), platform::InsertBottom, 100, 100, 100, 100,
                                platform::SwpShowWindow));
  EXPECT_EQ(desk.Pixel(150, 150), Rgb(0, 0, 0));
  // A click brings a window to the top, as on Windows.
  desk.SetCursorPos(10, 10);
  desk.MouseLeftDown();
  desk.MouseLeftUp();
  EXPECT_EQ(desk.StackingOrder().front(), low.Handle());
  EXPECT_EQ(desk.Clicks().size(), 2u);
}

TEST(SimDesktop, FindPlaceAndRefuse) {
  ManualClock clock;
  SimDesktop desk(clock);
  Recorder owner;
  SimWindow& w = desk.CreateWindow("無題 - Pelinar２", Rect{50, 60, 250, 260}, &owner);
  EXPECT_EQ(desk.FindWindowByTitle("無題 - Pelinar２"), w.Handle());
  EXPECT_EQ(desk.FindWindowByTitle("無題 - Pelinar2"), 0u);  // half-width digit
  ASSERT_TRUE(desk.SetWindowPos(w.Handle(), platform::InsertBottom, 0, 0, 424, 448,
                                platform::SwpShowWindow));
  Rect r;
  ASSERT_TRUE(desk.GetWindowRect(w.Handle(), r));
  EXPECT_EQ(r, (Rect{0, 0, 424, 448}));
  owner.Refuse = true;
  EXPECT_FALSE(desk.SetWindowPos(w.Handle(), platform::InsertBottom, 5, 5, 10, 10, 0));
  desk.Minimize(w.Handle());
  ASSERT_TRUE(desk.GetWindowRect(w.Handle(), r));
  EXPECT_EQ(r.Left, 3000);
  // The cursor stays on the screen.
  desk.SetCursorPos(-35, 5000);
  EXPECT_EQ(desk.CursorPos(), (platform::Point{0, 767}));
}

TEST(SimDesktop, ProgramsStartByTheirFileName) {
  ManualClock clock;
  SimDesktop desk(clock);
  int started = 0;
  desk.RegisterProgram("VK2.EXE",
                       [&](SimDesktop&, const std::string&, const std::string&) { ++started; });
  EXPECT_TRUE(desk.StartProgram("C:\\Go\\VK2.EXE", "C:\\Go\\"));
  EXPECT_FALSE(desk.StartProgram("C:\\Go\\vk2.exe", "C:\\Go\\"));
  EXPECT_EQ(started, 1);
  ASSERT_EQ(desk.StartedPrograms().size(), 1u);
  EXPECT_EQ(desk.StartedPrograms()[0].WorkingFolder, "C:\\Go\\");
}

// A form with two timers, for the message-loop rules.
struct TimerForm : ui::Form {
  explicit TimerForm(ui::Application& app)
      : ui::Form(app, "TimerForm"),
        Fast(*this, "Fast", 200, true),
        Slow(*this, "Slow", 1000, true) {}
  ui::Timer Fast;
  ui::Timer Slow;
};

TEST(HeadlessTimers, TicksComeOnlyWhenMessagesAreTakenAndDoNotPileUp) {
  ManualClock clock(0);
  HeadlessApplication app(clock);
  TimerForm form(app);
  int fast = 0, slow = 0;
  form.Fast.OnTimer = [&] { ++fast; };
  form.Slow.OnTimer = [&] {
    ++slow;
    clock.Sleep(3000);  // a handler that sleeps blocks every other timer
    form.Slow.SetEnabled(false);
  };
  clock.Advance(5000);  // no messages taken: nothing ticks
  EXPECT_EQ(fast + slow, 0);
  app.ProcessMessages();  // one tick each, however late
  EXPECT_EQ(fast, 1);
  EXPECT_EQ(slow, 1);
  EXPECT_EQ(clock.TickCount(), 8000u);
  // Fast missed its ticks during the sleep: one late tick, then every 200 ms.
  app.PumpUntil([] { return false; }, 1000);
  EXPECT_EQ(fast, 1 + 1 + 4);
  // Disabling drops the pending tick.
  clock.Advance(250);
  form.Fast.SetEnabled(false);
  app.ProcessMessages();
  EXPECT_EQ(fast, 6);
  EXPECT_EQ(slow, 1);
  // A wait that pumps until a tick mark ends under the manual clock.
  std::uint32_t start = clock.TickCount();
  EXPECT_FALSE(app.PumpUntil([] { return false; }, 5000));
  EXPECT_GE(clock.TickCount() - start, 5000u);
}

}  // namespace
