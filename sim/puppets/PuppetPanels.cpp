// A reference puppet's menus, dialogs and drop-down lists: each open one is a
// small top-level window of the program, painted from the program's design and
// reacting to clicks as such windows do. A menu closes on a click beside it, a
// dialog takes every click while it is open, a click on a control does what the
// design says, and a click elsewhere in a dialog does nothing.
#include <algorithm>

#include "sim/puppets/Palette.h"
#include "sim/puppets/ReferencePuppet.h"

namespace refpuppet {

using platform::Point;
using platform::Rect;

namespace {

constexpr int TitleStripHeight = 16;

Rect Local(const Rect& r, const Rect& frame) {
  return Rect{r.Left - frame.Left, r.Top - frame.Top, r.Right - frame.Left, r.Bottom - frame.Top};
}

void Edges(StagePainter w, const Rect& r, platform::ColorRef topLeft,
           platform::ColorRef bottomRight) {
  w.FillRect(Rect{r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
  w.FillRect(Rect{r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
  w.FillRect(Rect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
  w.FillRect(Rect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

// A small black mark around its point.
void MarkAt(StagePainter w, Point p) {
  w.FillRect(Rect{p.X - 1, p.Y - 1, p.X + 2, p.Y + 2}, palette::Tick);
}

bool Shown(const Control& c, int page) { return c.Page < 0 || c.Page == page; }

}  // namespace

Rect ReferencePuppet::OnScreenNow(const Box& box) {
  return OnScreen(box, BoardWindowRect(), Stage_.ScreenWidth(), Stage_.ScreenHeight());
}

bool ReferencePuppet::Transient(const OpenPanel& p) const {
  PanelKind k = DesignOfPanel(p).Kind;
  return k == PanelKind::Menu || k == PanelKind::List;
}

std::size_t ReferencePuppet::PanelOf(StageWindow window) const {
  for (std::size_t i = 0; i < Panels_.size(); ++i)
    if (Panels_[i].Window == window) return i;
  return Panels_.size();
}

// ---- Opening and closing ----

void ReferencePuppet::Go(int target) {
  // A panel that does not show this time passes on to the one after it. The
  // designs lead nowhere in circles; the bound only keeps a faulty one finite.
  for (int step = 0; step < 16 && target >= 0; ++step) {
    const PanelDesign& d = Design_.Panels[static_cast<std::size_t>(target)];
    bool shows = d.When == Shows::Always ||
                 (d.When == Shows::FirstTime && !Shown_[static_cast<std::size_t>(target)]) ||
                 (d.When == Shows::AfterAGame && Over_);
    if (shows) {
      Open(target);
      return;
    }
    target = d.Then;
  }
  if (target == GameStarts) StartAsChosen();
}

void ReferencePuppet::Open(int panel) {
  const PanelDesign& d = Design_.Panels[static_cast<std::size_t>(panel)];
  Rect frame = OnScreenNow(d.Frame);
  const char* title = d.Kind == PanelKind::Menu   ? "メニュー"
                      : d.Kind == PanelKind::List ? "リスト"
                      : d.Kind == PanelKind::Box  ? "確認"
                                                  : "設定";
  // Menus and lists leave the active window as it is. A panel opened from another
  // one belongs to it, as a dialog opened from a dialog does: when it goes, the
  // panel under it is the one that comes back.
  const bool transient = d.Kind == PanelKind::Menu || d.Kind == PanelKind::List;
  const StageWindow owner = Panels_.empty() ? BoardWindow_ : Panels_.back().Window;
  OpenPanel p{panel, Stage_.Open(title, frame, transient ? WindowLook::Menu : WindowLook::Popup,
                                 owner, this)};
  // A list opens at the program's strengths when the program plays that side.
  if (d.Kind == PanelKind::List && Seats_[static_cast<std::size_t>(d.Side)] > 0)
    p.Top = std::max(0, d.Entries - d.Rows);
  Panels_.push_back(p);
  Shown_[static_cast<std::size_t>(panel)] = true;
  PaintPanel(Panels_.size() - 1);
}

void ReferencePuppet::CloseFrom(std::size_t index) {
  while (Panels_.size() > index) {
    StageWindow h = Panels_.back().Window;
    Panels_.pop_back();
    Stage_.Close(h);
  }
  if (Editing_ >= 0 && EditingIn_ >= Panels_.size()) Editing_ = -1;
}

void ReferencePuppet::CloseTransient() {
  std::size_t keep = Panels_.size();
  while (keep > 0 && Transient(Panels_[keep - 1])) --keep;
  CloseFrom(keep);
  if (!Panels_.empty()) PaintPanel(Panels_.size() - 1);
}

void ReferencePuppet::RaiseOwned() {
  for (const OpenPanel& p : Panels_) Stage_.Raise(p.Window);
  if (Modal_.IsOpen()) Stage_.Raise(Modal_.Window());
}

// ---- Clicks ----

void ReferencePuppet::PanelClicked(std::size_t index, Point screen) {
  if (Modal_.IsOpen()) return;
  if (index + 1 < Panels_.size()) {
    // Something stands above the panel clicked: a dialog takes all clicks; menus
    // and lists close, and a click on a menu of the same chain goes on to it.
    for (std::size_t i = index + 1; i < Panels_.size(); ++i)
      if (!Transient(Panels_[i])) return;
    bool chain = DesignOfPanel(Panels_[index]).Kind == PanelKind::Menu;
    CloseFrom(index + 1);
    PaintPanel(index);
    if (!chain) return;
  }
  const OpenPanel& p = Panels_[index];
  const PanelDesign& d = DesignOfPanel(p);
  if (d.Kind == PanelKind::List) {
    ListClicked(index, screen);
    return;
  }
  for (const Control& c : d.Controls) {
    if (!Shown(c, p.Page) || !OnScreenNow(c.Area).Contains(screen.X, screen.Y)) continue;
    Act(index, c);
    return;
  }
  // Beside the entries of a menu the click closes it; in a dialog it does nothing.
  if (d.Kind == PanelKind::Menu) CloseTransient();
}

void ReferencePuppet::ListClicked(std::size_t index, Point screen) {
  OpenPanel& p = Panels_[index];
  const PanelDesign& d = DesignOfPanel(p);
  Rect rows = OnScreenNow(d.Frame);
  int row = (screen.Y - rows.Top) / d.RowHeight;
  if (screen.Y < rows.Top || row >= d.Rows) return;
  int barLeft = OnScreenNow(Box{d.Frame.From, d.BarLeft, 0, 0, 0}).Left;
  if (screen.X >= barLeft) {
    // The arrows at the ends of the scroll bar move the list by one entry.
    if (row == 0) p.Top = std::max(0, p.Top - 1);
    if (row == d.Rows - 1) p.Top = std::min(d.Entries - d.Rows, p.Top + 1);
    PaintPanel(index);
    return;
  }
  int entry = p.Top + row;
  if (entry >= d.Entries) return;
  Seats_[static_cast<std::size_t>(d.Side)] = entry;
  CloseTransient();
}

void ReferencePuppet::Act(std::size_t index, const Control& c) {
  const bool onWindow = index >= Panels_.size();
  const bool inMenu = !onWindow && DesignOfPanel(Panels_[index]).Kind == PanelKind::Menu;
  auto setting = [this, &c]() -> int& { return Settings_[static_cast<std::size_t>(c.Target)]; };
  switch (c.What) {
    case Does::Nothing:
      if (inMenu) CloseTransient();
      break;
    case Does::Open:
      if (inMenu && Design_.Panels[static_cast<std::size_t>(c.Target)].Kind == PanelKind::Menu) {
        // A submenu opens beside its entry; the menu stays.
        CloseFrom(index + 1);
        Open(c.Target);
        break;
      }
      if (inMenu) CloseTransient();
      Go(c.Target);
      break;
    case Does::Next:
      if (!onWindow) CloseFrom(index);
      Go(c.Target);
      break;
    case Does::Close:
      CloseFrom(index);
      if (!Panels_.empty()) PaintPanel(Panels_.size() - 1);
      break;
    case Does::Seat: {
      int& seat = Seats_[static_cast<std::size_t>(c.Target)];
      if (c.Value == 0)
        seat = 0;
      else if (seat == 0)
        seat = Strength();
      Changed(index);
      break;
    }
    case Does::Sides: {
      int level = Strength();
      Seats_[static_cast<std::size_t>(c.Value)] = level;
      Seats_[static_cast<std::size_t>(1 - c.Value)] = 0;
      Changed(index);
      break;
    }
    case Does::Keep:
      setting() = c.Value;
      Changed(index);
      break;
    case Does::Flip:
      setting() = 1 - setting();
      Changed(index);
      break;
    case Does::Confirm:
      setting() = c.Value;
      CloseFrom(index);
      if (!Panels_.empty()) PaintPanel(Panels_.size() - 1);
      break;
    case Does::Page:
      Panels_[index].Page = c.Value;
      PaintPanel(index);
      break;
    case Does::Field:
      Editing_ = c.Target;
      EditingIn_ = index;
      break;
    case Does::Drop:
      Open(c.Target);
      break;
    case Does::Pass:
      if (inMenu) CloseTransient();
      OpponentPass();
      break;
  }
}

// A setting or a player changed on the panel at `index`: a menu or list closes
// with the click, a dialog shows the change.
void ReferencePuppet::Changed(std::size_t index) {
  if (index >= Panels_.size()) return;
  if (Transient(Panels_[index]))
    CloseTransient();
  else
    PaintPanel(index);
}

void ReferencePuppet::OnKeyDown(StageWindow w, std::uint8_t key) {
  if (Editing_ < 0 || PanelOf(w) != EditingIn_) return;
  // The field holds a number: Backspace takes its last digit, a digit key (of
  // either row) adds one.
  int& value = Settings_[static_cast<std::size_t>(Editing_)];
  if (key == 0x08) {
    value /= 10;
    return;
  }
  int digit = key >= 0x30 && key <= 0x39   ? key - 0x30
              : key >= 0x60 && key <= 0x69 ? key - 0x60
                                           : -1;
  if (digit >= 0 && value < 100000) value = value * 10 + digit;
}

void ReferencePuppet::StartAsChosen() {
  bool black = Seats_[BlackSide] > 0 && Seats_[WhiteSide] == 0;
  bool white = Seats_[WhiteSide] > 0 && Seats_[BlackSide] == 0;
  // It plays neither a game between two people nor one against itself.
  if (!black && !white) return;
  NewGame(black);
  if (white && Design_.NoticeWhenWhite) ShowBox(Design_.PassBox, nullptr);
}

int ReferencePuppet::Strength() const {
  if (Seats_[BlackSide] > 0) return Seats_[BlackSide];
  if (Seats_[WhiteSide] > 0) return Seats_[WhiteSide];
  return std::max(1, Options_.Level);
}

bool ReferencePuppet::OnDivider(Point scene) const {
  if (Design_.DividerX <= 0 || !Panels_.empty() || Modal_.IsOpen() ||
      Settings_[static_cast<std::size_t>(Design_.DividerSetting)] != 1)
    return false;
  return scene.X >= Design_.DividerX - 1 && scene.X <= Design_.DividerX + 2 &&
         scene.Y >= MenuBarBottom;
}

// ---- What the settings show ----

bool ReferencePuppet::IsOn(const Control& c) const {
  auto seat = [this](int side) { return Seats_[static_cast<std::size_t>(side)]; };
  switch (c.What) {
    case Does::Flip:
      return Settings_[static_cast<std::size_t>(c.Target)] == 1;
    case Does::Keep:
      return Settings_[static_cast<std::size_t>(c.Target)] == c.Value;
    case Does::Seat:
      return (seat(c.Target) > 0) == (c.Value == 1);
    case Does::Sides:
      return seat(c.Value) > 0 && seat(1 - c.Value) == 0;
    case Does::Drop:
      return seat(Design_.Panels[static_cast<std::size_t>(c.Target)].Side) > 0;
    default:
      return false;
  }
}

std::optional<int> ReferencePuppet::Setting(std::string_view name) const {
  for (std::size_t i = 0; i < Design_.Settings.size(); ++i)
    if (name == Design_.Settings[i].Name) return Settings_[i];
  return std::nullopt;
}

std::optional<int> ReferencePuppet::TickAt(int x, int y) const {
  for (const PanelDesign& d : Design_.Panels)
    for (const Control& c : d.Controls)
      if (c.What == Does::Flip && c.HasMark && c.Mark.From == Anchor::Window && c.Mark.X == x &&
          c.Mark.Y == y)
        return Settings_[static_cast<std::size_t>(c.Target)];
  return std::nullopt;
}

// ---- Painting ----

void ReferencePuppet::PaintPanel(std::size_t index) {
  const OpenPanel& p = Panels_[index];
  const PanelDesign& d = DesignOfPanel(p);
  StagePainter w(Stage_, p.Window);
  const Rect frame = w.Outer();
  const Rect all{0, 0, frame.Width(), frame.Height()};
  if (d.Kind == PanelKind::List) {
    w.FillRect(all, palette::Paper);
    int barLeft = OnScreenNow(Box{d.Frame.From, d.BarLeft, 0, 0, 0}).Left - frame.Left;
    for (int row = 0; row < d.Rows; ++row) {
      int entry = p.Top + row;
      Rect r{1, row * d.RowHeight, barLeft, (row + 1) * d.RowHeight};
      if (entry == Seats_[static_cast<std::size_t>(d.Side)])
        w.FillRect(r, palette::Navy);  // the chosen entry
      else
        w.FillRect(Rect{r.Left + 4, r.Top + 5, r.Left + 40, r.Top + 7}, palette::Label);
    }
    w.FillRect(Rect{barLeft, 0, all.Right, all.Bottom}, palette::Pane);
    Edges(w, Rect{barLeft, 0, all.Right, d.RowHeight}, palette::Light, palette::Dark);
    Edges(w, Rect{barLeft, all.Bottom - d.RowHeight, all.Right, all.Bottom}, palette::Light,
          palette::Dark);
    Edges(w, all, palette::Dark, palette::Dark);
    return;
  }
  const bool box = d.Kind == PanelKind::Box;
  w.FillRect(all, d.Kind == PanelKind::Menu ? palette::MenuFace
                  : box                     ? palette::BoxGrey
                                            : palette::DialogFace);
  Edges(w, all, palette::Dark, palette::Dark);
  if (d.Kind != PanelKind::Menu)
    w.FillRect(Rect{1, 1, all.Right - 1, TitleStripHeight}, palette::TitleStrip);
  for (const Control& c : d.Controls) {
    if (!Shown(c, p.Page)) continue;
    Rect r = Local(OnScreenNow(c.Area), frame);
    bool on = IsOn(c);
    Point mark{0, 0};
    if (c.HasMark) {
      Rect m = OnScreenNow(Box{c.Mark.From, c.Mark.X, c.Mark.Y, c.Mark.X, c.Mark.Y});
      mark = Point{m.Left - frame.Left, m.Top - frame.Top};
    }
    if (d.Kind == PanelKind::Menu) {
      // An entry: its text to the right of where a tick stands.
      w.FillRect(
          Rect{r.Left + 16, (r.Top + r.Bottom) / 2 - 1, r.Left + 76, (r.Top + r.Bottom) / 2 + 1},
          palette::Label);
      if (c.HasMark && on) MarkAt(w, mark);
      continue;
    }
    switch (c.What) {
      case Does::Seat:
      case Does::Sides:
      case Does::Keep:
      case Does::Flip:
        // A radio button or check box: a white square with the mark inside.
        w.FillRect(Rect{mark.X - 3, mark.Y - 3, mark.X + 4, mark.Y + 4}, palette::Paper);
        Edges(w, Rect{mark.X - 4, mark.Y - 4, mark.X + 5, mark.Y + 5}, palette::Dark,
              palette::Light);
        if (on) MarkAt(w, mark);
        w.FillRect(Rect{mark.X + 8, mark.Y - 1, std::min(r.Right, mark.X + 48), mark.Y + 1},
                   palette::Label);
        break;
      case Does::Field:
        w.FillRect(r, palette::Paper);
        Edges(w, r, palette::Dark, palette::Light);
        break;
      case Does::Drop:
        w.FillRect(r, palette::Paper);
        Edges(w, r, palette::Dark, palette::Light);
        w.FillRect(Rect{r.Right - 16, r.Top + 1, r.Right - 1, r.Bottom - 1}, palette::ButtonFace);
        if (on) MarkAt(w, mark);
        break;
      case Does::Page:
        if (c.Value == p.Page) w.FillRect(r, palette::MenuFace);
        Edges(w, r, palette::Light, palette::Dark);
        break;
      default:
        // A push button; a message box keeps its grey face inside the button.
        if (!box) w.FillRect(r, palette::ButtonFace);
        Edges(w, r, palette::Light, palette::Dark);
        break;
    }
  }
}

}  // namespace refpuppet
