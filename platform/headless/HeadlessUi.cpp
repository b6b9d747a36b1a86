#include "platform/headless/HeadlessUi.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace platform::headless {

// ---- Canvas ----

const ui::Picture& HeadlessCanvas::Surface() {
  int w = std::max(0, Form_.ClientWidth()), h = std::max(0, Form_.ClientHeight());
  // A resized window's client area is erased to the form's colour, as Windows
  // erases the background before the next paint.
  if (Surface_.Width() != w || Surface_.Height() != h) Surface_ = ui::Picture(w, h, Form_.Color());
  return Surface_;
}

void HeadlessCanvas::CopyRect(const Rect& dest, const ui::Picture& picture, const Rect& source) {
  Surface();
  int dw = dest.Width(), dh = dest.Height(), sw = source.Width(), sh = source.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  // Nearest-neighbour stretch, as StretchBlt does with COLORONCOLOR.
  for (int y = 0; y < dh; ++y) {
    int sy = source.Top + static_cast<int>(static_cast<long long>(y) * sh / dh);
    for (int x = 0; x < dw; ++x) {
      int sx = source.Left + static_cast<int>(static_cast<long long>(x) * sw / dw);
      ColorRef c = picture.At(sx, sy);
      if (c != InvalidColor) Surface_.Set(dest.Left + x, dest.Top + y, c);
    }
  }
  if (Drawn) Drawn(dest);
}

// ---- Peers ----

class HeadlessApplication::FormPeer final : public ui::Peer {
 public:
  FormPeer(HeadlessApplication& app, ui::Form& form) : App_(app), Form_(form) {}
  ~FormPeer() override {
    if (Window_ && App_.Desktop_) App_.Desktop_->DestroyWindow(Window_);
  }
  void Changed() override {
    if (!App_.Desktop_) return;
    Rect outer{Form_.Left(), Form_.Top(), Form_.Left() + Form_.Width(),
               Form_.Top() + Form_.Height()};
    if (!Window_) {
      Window_ =
          App_.Desktop_->CreateWindow(Form_.Caption(), outer, nullptr, Form_.Visible()).Handle();
      Repaint();
      return;
    }
    SimWindow* w = App_.Desktop_->Window(Window_);
    w->SetTitle(Form_.Caption());
    if (!(w->Outer() == outer)) {
      App_.Desktop_->MoveWindow(Window_, outer);
      Repaint();
    }
    App_.Desktop_->ShowWindow(Window_, Form_.Visible());
  }
  void Invalidate() override {
    if (Form_.OnPaint) Form_.OnPaint();
  }
  void Activate() override {
    if (App_.Desktop_ && Window_) App_.Desktop_->SetForegroundWindow(Window_);
  }
  // Copies the form's face and surface into its window on the simulated desktop.
  void CopyToWindow(const Rect& client) {
    if (!App_.Desktop_ || !Window_) return;
    SimWindow* w = App_.Desktop_->Window(Window_);
    ui::FrameMetrics f = App_.Frame(Form_.Border());
    const ui::Picture& s = App_.CanvasFor(Form_).Surface();
    for (int y = client.Top; y < client.Bottom; ++y)
      for (int x = client.Left; x < client.Right; ++x) {
        ColorRef c = s.At(x, y);
        if (c != InvalidColor) w->SetPixel(f.Left + x, f.Top + y, c);
      }
  }
  void Repaint() {
    if (!App_.Desktop_ || !Window_) return;
    SimWindow* w = App_.Desktop_->Window(Window_);
    w->FillRect(Rect{0, 0, Form_.Width(), Form_.Height()}, Rgb(128, 128, 128));
    CopyToWindow(Rect{0, 0, Form_.ClientWidth(), Form_.ClientHeight()});
  }

 private:
  HeadlessApplication& App_;
  ui::Form& Form_;
  WindowHandle Window_ = 0;
};

// ---- Application ----

HeadlessApplication::HeadlessApplication(SimClock& clock, SimDesktop* desktop, Idle idle)
    : Clock_(clock), Desktop_(desktop), Idle_(idle) {}

HeadlessApplication::~HeadlessApplication() = default;

std::unique_ptr<ui::Peer> HeadlessApplication::CreatePeer(ui::Form& form) {
  auto peer = std::make_unique<FormPeer>(*this, form);
  FormPeers_[&form] = peer.get();
  return peer;
}

namespace {

// A memo's lines are its own; the peer only tells of each new one.
class MemoPeer final : public ui::Peer {
 public:
  MemoPeer(HeadlessApplication& app, ui::Memo& memo) : App_(app), Memo_(memo) {}
  void LineAppended(const std::string& line) override {
    if (App_.OnLineAppended) App_.OnLineAppended(Memo_, line);
  }

 private:
  HeadlessApplication& App_;
  ui::Memo& Memo_;
};

}  // namespace

std::unique_ptr<ui::Peer> HeadlessApplication::CreatePeer(ui::Control& control) {
  if (control.Kind() == ui::ControlKind::Memo)
    return std::make_unique<MemoPeer>(*this, static_cast<ui::Memo&>(control));
  return nullptr;
}

ui::FrameMetrics HeadlessApplication::Frame(ui::BorderStyle style) const {
  // A classic Windows frame: 3 px fixed border, 4 px sizeable, caption 19 px.
  if (style == ui::BorderStyle::Sizeable) return ui::FrameMetrics{4, 23, 4, 4};
  return ui::FrameMetrics{3, 22, 3, 3};
}

HeadlessCanvas& HeadlessApplication::CanvasFor(ui::Form& form) {
  auto& slot = Canvases_[&form];
  if (!slot) {
    slot = std::make_unique<HeadlessCanvas>(form);
    slot->Drawn = [this, &form](const Rect& r) {
      auto it = FormPeers_.find(&form);
      if (it != FormPeers_.end()) it->second->CopyToWindow(r);
    };
  }
  return *slot;
}

ui::Canvas& HeadlessApplication::CanvasOf(ui::Form& form) { return CanvasFor(form); }

void HeadlessApplication::MessageBox(const std::string& text) {
  MessageBoxes.push_back(Box{Title(), text});
  if (OnMessageBox) OnMessageBox(MessageBoxes.back());
  // The box stands centred on the screen, above every other window, while the
  // operator reads it: a grey face under a title strip.
  WindowHandle shown = 0;
  if (Desktop_) {
    const int w = 360, h = 130;
    const int left = (Desktop_->ScreenWidth() - w) / 2, top = (Desktop_->ScreenHeight() - h) / 2;
    SimWindow& box = Desktop_->CreateWindow(Title(), Rect{left, top, left + w, top + h}, nullptr);
    box.FillRect(Rect{0, 0, w, h}, Rgb(192, 192, 192));
    box.FillRect(Rect{0, 0, w, 18}, Rgb(0, 0, 128));
    shown = box.Handle();
  }
  ModalLoop([] {}, [] { return false; });
  if (shown) Desktop_->DestroyWindow(shown);
}

void HeadlessApplication::Post(std::function<void()> input) { Posted_.push_back(std::move(input)); }

void HeadlessApplication::Click(ui::SpeedButton& button) {
  Post([&button] { button.Click(); });
}

void HeadlessApplication::ModalLoop(std::function<void()> answer,
                                    const std::function<bool()>& answered) {
  // 0 while the box waits, 1 once answered, -1 when the loop was left without an
  // answer (the program ended): a late answer then does nothing.
  auto state = std::make_shared<int>(0);
  Clock_.Schedule(OperatorReadsMs, [this, state, answer = std::move(answer)] {
    if (*state != 0) return;
    Post([state, answer] {
      if (*state != 0) return;
      answer();
      *state = 1;
    });
  });
  ++ModalDepth_;
  while (*state == 0 && !answered() && !Terminated_) ProcessMessages();
  --ModalDepth_;
  if (*state == 0) *state = -1;
}

void HeadlessApplication::ShowError(const std::string& text) { Errors.push_back(text); }

int HeadlessApplication::ShowModal(ui::Form& form) {
  form.ModalResult = ui::mrNone;
  // A modal form is shown centred on the screen.
  if (Desktop_)
    form.SetBounds((Desktop_->ScreenWidth() - form.Width()) / 2,
                   (Desktop_->ScreenHeight() - form.Height()) / 2, form.Width(), form.Height());
  form.Show();
  ModalLoop(
      [this, &form] {
        int result = ModalResponder ? ModalResponder(form) : ui::mrOk;
        if (result != ui::mrNone) form.ModalResult = result;
      },
      [&form] { return form.ModalResult != ui::mrNone; });
  form.Hide();
  return form.ModalResult;
}

void HeadlessApplication::CloseForm(ui::Form& form) {
  form.Hide();
  if (&form == MainForm_) Terminated_ = true;
}

void HeadlessApplication::TimerChanged(ui::Timer& timer) {
  if (timer.Enabled())
    Due_[&timer] = Clock_.TickCount() + timer.Interval();
  else
    Due_.erase(&timer);  // a disabled timer's pending tick is dropped
}

void HeadlessApplication::TimerDestroyed(ui::Timer& timer) { Due_.erase(&timer); }

bool HeadlessApplication::ExecuteOpenDialog(ui::OpenDialog& dialog, ui::Form&) {
  return OpenDialogResponder ? OpenDialogResponder(dialog) : false;
}

bool HeadlessApplication::Dispatch(const ui::Message& message) {
  if (OnMessage && OnMessage(message)) return false;
  if (message.Id == ui::WM_SYSCOMMAND_ && (message.WParam & 0xFFF0) == ui::SC_SCREENSAVE_)
    ++ScreenSaverStarts;
  return true;
}

bool HeadlessApplication::DeliverOneTimer() {
  std::uint32_t now = Clock_.TickCount();
  ui::Timer* best = nullptr;
  std::uint32_t bestDue = 0;
  for (auto& [timer, due] : Due_) {
    if (TickAfter(due, now)) continue;
    if (!best || TickAfter(bestDue, due)) {
      best = timer;
      bestDue = due;
    }
  }
  if (!best) return false;
  // One tick per due time: a late timer does not catch up on missed ticks.
  Due_[best] = now + best->Interval();
  ++TicksDelivered[best->Name()];
  if (best->OnTimer) best->OnTimer();
  return true;
}

void HeadlessApplication::WaitForNext(std::uint32_t capMs) {
  std::uint32_t now = Clock_.TickCount();
  std::uint32_t wait = capMs;
  for (auto& [timer, due] : Due_) {
    std::uint32_t d = TickAfter(due, now) ? due - now : 0;
    wait = std::min(wait, d);
  }
  std::uint32_t ev;
  if (Clock_.NextEventDelay(ev)) wait = std::min(wait, ev);
  if (wait == 0) return;
  const bool real =
      Idle_ == Idle::Real &&
      (FixedWaits_ > 0 ? FixedWaitsInRealTime : !WaitsOnTheOutside || WaitsOnTheOutside());
  if (!real) {
    Clock_.Sleep(wait);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<std::uint32_t>(wait, 5)));
  }
}

void HeadlessApplication::ProcessMessages() {
  Clock_.RunDueEvents();
  bool any = false;
  // Input first, as the system queue hands it out before timer messages; a loop
  // that ends on that input (a modal box answered) sees no timer tick after it.
  while (!Posted_.empty()) {
    std::function<void()> input = std::move(Posted_.front());
    Posted_.pop_front();
    input();
    any = true;
  }
  if (any) return;
  // Each due timer ticks at most once per call, as WM_TIMER messages do.
  std::size_t limit = Due_.size();
  for (std::size_t i = 0; i < limit && DeliverOneTimer(); ++i) any = true;
  if (!any && Posted_.empty()) WaitForNext(10);
}

bool HeadlessApplication::PumpUntil(const std::function<bool()>& done, std::uint32_t limitMs) {
  std::uint32_t start = Clock_.TickCount();
  while (!done() && !Terminated_) {
    if (Clock_.TickCount() - start >= limitMs) break;
    ProcessMessages();
  }
  return done();
}

void HeadlessApplication::Run(ui::Form& mainForm) {
  MainForm_ = &mainForm;
  while (!Terminated_) ProcessMessages();
}

}  // namespace platform::headless
