#include "sim/puppets/SimStage.h"

#include <string>

namespace refpuppet {

using platform::Rect;
using platform::headless::SimWindow;

SimStage::~SimStage() {
  for (const auto& [window, input] : Inputs_) Desktop_.DestroyWindow(window);
}

StageWindow SimStage::Open(std::string_view title, const Rect& outer, WindowLook, StageWindow owner,
                           StageInput* input) {
  // The simulated desktop draws no frames: a main window is what its program paints.
  // A popup stays above the window it belongs to.
  StageWindow window = Desktop_.CreateWindow(std::string(title), outer, this, true, owner).Handle();
  Inputs_[window] = input;
  return window;
}

void SimStage::Close(StageWindow window) {
  if (Inputs_.erase(window) == 0) return;
  Desktop_.DestroyWindow(window);
}

Rect SimStage::Outer(StageWindow window) {
  Rect r;
  Desktop_.GetWindowRect(window, r);
  return r;
}

void SimStage::Move(StageWindow window, const Rect& outer) { Desktop_.MoveWindow(window, outer); }

void SimStage::Fill(StageWindow window, const Rect& local, platform::ColorRef colour) {
  if (SimWindow* w = Desktop_.Window(window)) w->FillRect(local, colour);
}

Stage::TimerId SimStage::After(std::uint32_t ms, std::function<void()> fn) {
  return Desktop_.Clock().Schedule(ms, std::move(fn));
}

StageInput* SimStage::InputOf(SimWindow& w) {
  auto it = Inputs_.find(w.Handle());
  return it == Inputs_.end() ? nullptr : it->second;
}

void SimStage::OnMouseDown(SimWindow& w, int x, int y) {
  if (StageInput* input = InputOf(w)) input->OnMouseDown(w.Handle(), x, y);
}

void SimStage::OnMouseUp(SimWindow& w, int x, int y) {
  if (StageInput* input = InputOf(w)) input->OnMouseUp(w.Handle(), x, y);
}

void SimStage::OnKeyDown(SimWindow& w, std::uint8_t virtualKey) {
  if (StageInput* input = InputOf(w)) input->OnKeyDown(w.Handle(), virtualKey);
}

bool SimStage::OnPlacing(SimWindow& w, Rect& requested) {
  StageInput* input = InputOf(w);
  return !input || input->OnPlacing(w.Handle(), requested);
}

void SimStage::OnPlaced(SimWindow& w) {
  if (StageInput* input = InputOf(w)) input->OnPlaced(w.Handle());
}

}  // namespace refpuppet
