#pragma once
// The headless backend of the user-interface toolkit: forms and controls live in
// memory, each form paints onto an in-memory surface that tests read pixel by
// pixel, timers run on a simulated clock when messages are processed, and message
// boxes are recorded instead of shown. Forms may be given windows on a simulated
// desktop, so that Tovarin's own windows take screen space there.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/SimClock.h"
#include "platform/headless/SimDesktop.h"
#include "platform/ui/Ui.h"

namespace platform::headless {

class HeadlessCanvas final : public ui::Canvas {
 public:
  explicit HeadlessCanvas(ui::Form& form) : Form_(form) {}
  void CopyRect(const Rect& dest, const ui::Picture& picture, const Rect& source) override;
  // The form's client area as drawn so far.
  const ui::Picture& Surface();
  ColorRef PixelAt(int x, int y) { return Surface().At(x, y); }

 private:
  friend class HeadlessApplication;
  ui::Form& Form_;
  ui::Picture Surface_;
  std::function<void(const Rect&)> Drawn;  // client rectangle just drawn
};

class HeadlessApplication final : public ui::Application {
 public:
  // How idle time passes when nothing is due: Virtual jumps the clock to the next
  // due timer or event (tests with a manual clock); Real waits for it in real time
  // (a simulated world that talks to real programs). Fixed waits that pump
  // messages pass in virtual time unless FixedWaitsInRealTime is set.
  enum class Idle { Virtual, Real };

  explicit HeadlessApplication(SimClock& clock, SimDesktop* desktop = nullptr,
                               Idle idle = Idle::Virtual);
  ~HeadlessApplication() override;

  struct Box {
    std::string Caption;
    std::string Text;
  };
  std::vector<Box> MessageBoxes;    // every message box, in order
  std::vector<std::string> Errors;  // every error box
  // Called when a message box is shown (the user reading it), after it is recorded.
  std::function<void(const Box&)> OnMessageBox;
  // Plays the user in a modal form: may set its controls, returns its result.
  // Without one, the OK button is pressed.
  std::function<int(ui::Form&)> ModalResponder;
  // How long the operator takes to answer a message box or a modal form. The box
  // runs a modal loop meanwhile, as on Windows: due timers tick and posted input
  // arrives.
  std::uint32_t OperatorReadsMs = 0;
  // With Idle::Real: asked before idle time passes; false lets it pass in virtual
  // time (the program waits only for the simulated world, not for a real program).
  std::function<bool()> WaitsOnTheOutside;
  // With Idle::Real: the fixed waits that pump messages (the operator's prompt
  // before the first new game, the pause between the games of a series) pass in
  // real time. They order the two sides of the line, so they must when the
  // partner is a program that another operator started.
  bool FixedWaitsInRealTime = false;

  // Called for every line appended to a memo.
  std::function<void(const ui::Memo&, const std::string&)> OnLineAppended;

  // The operator's input (a click, a key): it is queued and delivered, in order,
  // when the user-interface thread next handles its messages, never inside a
  // blocking sleep or a tick-count read.
  void Post(std::function<void()> input);
  // The operator presses a button.
  void Click(ui::SpeedButton& button);
  // Plays the user in the file-open dialog; without one the dialog is cancelled.
  std::function<bool(ui::OpenDialog&)> OpenDialogResponder;

  // Sends a message through the message hook as the queue would; returns true
  // when it went on to its default handling.
  bool Dispatch(const ui::Message& message);
  // Default handling of screen-saver commands that got through.
  int ScreenSaverStarts = 0;

  // Pumps messages, moving the clock on, until `done` is true or `limitMs` of
  // clock time have passed; returns `done()`.
  bool PumpUntil(const std::function<bool()>& done, std::uint32_t limitMs);
  bool Terminated() const override { return Terminated_; }
  // The form whose closing ends the program (Run sets it too).
  void SetMainForm(ui::Form& form) { MainForm_ = &form; }
  HeadlessCanvas& CanvasFor(ui::Form& form);
  // Ticks delivered so far, by timer name.
  std::map<std::string, int> TicksDelivered;

  // ui::Application
  void ProcessMessages() override;
  void Run(ui::Form& mainForm) override;
  void MessageBox(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::unique_ptr<ui::Peer> CreatePeer(ui::Form& form) override;
  std::unique_ptr<ui::Peer> CreatePeer(ui::Control& control) override;
  ui::FrameMetrics Frame(ui::BorderStyle style) const override;
  ui::Canvas& CanvasOf(ui::Form& form) override;
  int ShowModal(ui::Form& form) override;
  void CloseForm(ui::Form& form) override;
  void TimerChanged(ui::Timer& timer) override;
  void TimerDestroyed(ui::Timer& timer) override;
  bool ExecuteOpenDialog(ui::OpenDialog& dialog, ui::Form& owner) override;

 protected:
  void FixedWaitChanged(bool waiting) override { FixedWaits_ += waiting ? 1 : -1; }

 private:
  class FormPeer;
  friend class FormPeer;
  SimClock& Clock_;
  SimDesktop* Desktop_;
  Idle Idle_;
  bool Terminated_ = false;
  int FixedWaits_ = 0;
  std::deque<std::function<void()>> Posted_;
  ui::Form* MainForm_ = nullptr;
  std::map<ui::Timer*, std::uint32_t> Due_;  // enabled timers and their next tick
  std::map<ui::Form*, std::unique_ptr<HeadlessCanvas>> Canvases_;
  std::map<ui::Form*, FormPeer*> FormPeers_;

  // Delivers the one due timer tick that is earliest; false when none is due.
  bool DeliverOneTimer();
  // Runs a modal loop until `answered()` holds, the operator's answer (given
  // after OperatorReadsMs) has been delivered, or the program ends.
  void ModalLoop(std::function<void()> answer, const std::function<bool()>& answered);
  void WaitForNext(std::uint32_t capMs);
};

}  // namespace platform::headless
