#pragma once
// The reference puppets' stage on the simulated desktop: their windows are windows
// of the desktop, their timers events of its clock.
#include <map>

#include "platform/headless/SimDesktop.h"
#include "sim/puppets/PuppetStage.h"

namespace refpuppet {

class SimStage final : public Stage, private platform::headless::SimWindowOwner {
 public:
  explicit SimStage(platform::headless::SimDesktop& desktop) : Desktop_(desktop) {}
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
  platform::headless::SimDesktop& Desktop_;
  std::map<StageWindow, StageInput*> Inputs_;

  StageInput* InputOf(platform::headless::SimWindow& w);
  void OnMouseDown(platform::headless::SimWindow& w, int x, int y) override;
  void OnMouseUp(platform::headless::SimWindow& w, int x, int y) override;
  void OnKeyDown(platform::headless::SimWindow& w, std::uint8_t virtualKey) override;
  bool OnPlacing(platform::headless::SimWindow& w, platform::Rect& requested) override;
  void OnPlaced(platform::headless::SimWindow& w) override;
};

}  // namespace refpuppet
