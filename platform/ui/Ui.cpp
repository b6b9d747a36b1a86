#include "platform/ui/Ui.h"

#include <algorithm>

namespace ui {

// ---- Control ----

Control::Control(Form& owner, Control* parent, ControlKind kind, std::string name, Bounds bounds)
    : Owner_(owner), Parent_(parent), Kind_(kind), Name_(std::move(name)) {
  Bounds_ = Rect{bounds.Left, bounds.Top, bounds.Left + bounds.Width, bounds.Top + bounds.Height};
  Font_ = owner.Font();
  if (kind == ControlKind::Edit || kind == ControlKind::ListBox || kind == ControlKind::Memo)
    Color_ = clWindow;
  owner.Controls_.push_back(this);
  Peer_ = owner.App().CreatePeer(*this);
}

Control::~Control() {
  Peer_.reset();
  auto& list = Owner_.Controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Control::Changed() {
  if (Peer_) Peer_->Changed();
}

void Control::SetBounds(int left, int top, int width, int height) {
  Bounds_ = Rect{left, top, left + width, top + height};
  Changed();
}

void Control::SetVisible(bool visible) {
  Visible_ = visible;
  Changed();
}

void Control::SetCaption(const std::string& caption) {
  Caption_ = caption;
  Changed();
}

void Control::SetFont(const ui::Font& font) {
  Font_ = font;
  Changed();
}

void Control::SetColor(ColorRef color) {
  Color_ = color;
  Changed();
}

void SpeedButton::Click() {
  if (Visible() && OnClick) OnClick();
}

void BitBtn::Click() {
  if (!Visible()) return;
  if (ModalResult != mrNone) Owner().ModalResult = ModalResult;
}

void Image::LoadFromFile(const std::string& path) {
  Picture_ = ui::Picture::LoadFromFile(path);
  if (AutoSize) SetBounds(Left(), Top(), Picture_.Width(), Picture_.Height());
  Changed();
}

void Memo::Append(const std::string& line) {
  Lines_.push_back(line);
  if (GetPeer()) GetPeer()->LineAppended(line);
}

void Memo::Clear() {
  Lines_.clear();
  if (GetPeer()) GetPeer()->LinesCleared();
}

void ListBox::Clear() {
  Items_.clear();
  ItemIndex_ = -1;
  if (GetPeer()) GetPeer()->LinesCleared();
}

void ListBox::Add(const std::string& item) {
  Items_.push_back(item);
  Changed();
}

void ListBox::SetItemIndex(int index) {
  ItemIndex_ = (index >= 0 && index < static_cast<int>(Items_.size())) ? index : -1;
  Changed();
}

void RadioButton::SetChecked(bool checked) {
  Checked_ = checked;
  if (checked) {
    for (Control* c : Owner().Controls()) {
      if (c != this && c->Kind() == ControlKind::RadioButton && c->Parent() == Parent()) {
        auto* other = static_cast<RadioButton*>(c);
        if (other->Checked_) {
          other->Checked_ = false;
          other->Changed();
        }
      }
    }
  }
  Changed();
}

void Edit::SetFocus() {
  Owner().Focused = this;
  if (GetPeer()) GetPeer()->Focus();
}

// ---- Timer ----

Timer::Timer(Form& owner, std::string name, std::uint32_t intervalMs, bool enabled)
    : Owner_(owner), Name_(std::move(name)), IntervalMs_(intervalMs), Enabled_(enabled) {
  owner.Timers_.push_back(this);
  owner.App().TimerChanged(*this);
}

Timer::~Timer() {
  Owner_.App().TimerDestroyed(*this);
  auto& list = Owner_.Timers_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Timer::SetEnabled(bool enabled) {
  if (Enabled_ == enabled) return;
  Enabled_ = enabled;
  Owner_.App().TimerChanged(*this);
}

bool OpenDialog::Execute() { return Owner_.App().ExecuteOpenDialog(*this, Owner_); }

// ---- Form ----

Form::Form(Application& app, std::string name) : App_(app), Name_(std::move(name)) {
  Peer_ = app.CreatePeer(*this);
}

Form::~Form() { Peer_.reset(); }

void Form::SetCaption(const std::string& caption) {
  Caption_ = caption;
  if (Peer_) Peer_->Changed();
}

void Form::SetBorder(::ui::BorderStyle style) {
  int cw = ClientWidth(), ch = ClientHeight();
  Border_ = style;
  SetClientSize(cw, ch);
}

void Form::SetBounds(int left, int top, int width, int height) {
  Outer_ = Rect{left, top, left + width, top + height};
  if (Peer_) Peer_->Changed();
  if (OnResize) OnResize();
}

int Form::ClientWidth() const {
  FrameMetrics f = App_.Frame(Border_);
  return Outer_.Width() - f.Left - f.Right;
}

int Form::ClientHeight() const {
  FrameMetrics f = App_.Frame(Border_);
  return Outer_.Height() - f.Top - f.Bottom;
}

void Form::SetClientSize(int width, int height) {
  FrameMetrics f = App_.Frame(Border_);
  SetBounds(Left(), Top(), width + f.Left + f.Right, height + f.Top + f.Bottom);
}

void Form::Show() {
  bool wasVisible = Visible_;
  Visible_ = true;
  if (Peer_) Peer_->Changed();
  if (!wasVisible && OnShow) OnShow();
}

void Form::Hide() {
  Visible_ = false;
  if (Peer_) Peer_->Changed();
}

void Form::SetColor(ColorRef color) {
  Color_ = color;
  if (Peer_) Peer_->Changed();
}

void Form::SetFont(const ui::Font& font) {
  Font_ = font;
  if (Peer_) Peer_->Changed();
}

::ui::Canvas& Form::Canvas() { return App_.CanvasOf(*this); }

void Form::Invalidate() {
  if (Peer_) Peer_->Invalidate();
}

void Form::Activate() {
  if (Peer_) Peer_->Activate();
}

int Form::ShowModal() { return App_.ShowModal(*this); }

void Form::Close() { App_.CloseForm(*this); }

void Form::KeyPress(int virtualKey) {
  constexpr int VkEscape = 0x1B;
  if (virtualKey != VkEscape) return;
  for (Control* c : Controls_) {
    if (c->Kind() == ControlKind::BitBtn && static_cast<BitBtn*>(c)->Cancel) {
      static_cast<BitBtn*>(c)->Click();
      return;
    }
  }
}

Control* Form::FindControl(const std::string& name) const {
  for (Control* c : Controls_)
    if (c->Name() == name) return c;
  return nullptr;
}

// ---- Application ----

bool Application::PumpMessagesFor(platform::Clock& clock, std::uint32_t waitMs,
                                  const std::function<bool()>& stop) {
  struct Waiting {
    Application& App;
    explicit Waiting(Application& app) : App(app) { App.FixedWaitChanged(true); }
    ~Waiting() { App.FixedWaitChanged(false); }
  } waiting(*this);
  const std::uint32_t start = clock.TickCount();
  while (clock.TickCount() - start < waitMs) {
    if (Terminated()) return false;
    ProcessMessages();
    if ((stop && stop()) || Terminated()) return false;
  }
  return true;
}

}  // namespace ui
