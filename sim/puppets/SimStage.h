#pragma once
// The reference puppets' stage on the simulated desktop: their windows are windows
// of the desktop, their timers events of its clock.
#include <map>

#include "platform/sim/SimDesktop.h"
#include "sim/puppets/PuppetStage.h"

namespace refpuppet {

class SimStage final : public Stage, private platform::sim::SimWindowOwner {
 public:
  explicit SimStage(platform::sim::SimDesktop& desktop) : Desktop_(desktop) {}
  ~SimStage() override;
  SimStage(const SimStage&) = delete;
  SimStage& operator=(const SimStage&) = delete;

  int ScreenWidth() override { return Desktop_.ScreenWidth(); }
  int ScreenHeight() override { return Desktop_.ScreenHeight(); }
  StageWindow Open(std::string_view title, const platform::Rect& outer, WindowLook look,
                   StageWindow owner, StageInput* input) override;
  void Close(StageWindow window) override;
  platform::Rect Outer(StageWindow window) override;
  void Move(StageWindow window, const platform::Rect& outer) override;
  void Raise(StageWindow window) override { Desktop_.BringToTop(window); }
  void Minimize(StageWindow window) override { Desktop_.Minimize(window); }
  void Fill(StageWindow window, const platform::Rect& local, platform::ColorRef colour) override;
  TimerId After(std::uint32_t ms, std::function<void()> fn) override;
  void Cancel(TimerId timer) override { Desktop_.Clock().Cancel(timer); }

 private:
  platform::sim::SimDesktop& Desktop_;
  std::map<StageWindow, StageInput*> Inputs_;

  StageInput* InputOf(platform::sim::SimWindow& w);
  void OnMouseDown(platform::sim::SimWindow& w, int x, int y) override;
  void OnMouseUp(platform::sim::SimWindow& w, int x, int y) override;
  void OnKeyDown(platform::sim::SimWindow& w, std::uint8_t virtualKey) override;
  bool OnPlacing(platform::sim::SimWindow& w, platform::Rect& requested) override;
  void OnPlaced(platform::sim::SimWindow& w) override;
};

}  // namespace refpuppet
