#include "sim/puppets/ReferencePuppet.h"

#include <algorithm>
#include <cstdlib>

#include "sim/puppets/Palette.h"

namespace refpuppet {

using platform::ColorRef;
using platform::Point;
using platform::Rect;
using platform::Rgb;

namespace {

using palette::BoxGrey;
using palette::ButtonFace;
using palette::Dark;
using palette::Face;
using palette::Light;
using palette::TitleStrip;
using palette::Wood;
constexpr ColorRef PlainBlack = Rgb(56, 56, 64);
constexpr ColorRef PlainWhite = Rgb(240, 240, 232);
constexpr ColorRef Rim = Rgb(96, 96, 96);
constexpr ColorRef MarkedWhite = Rgb(200, 200, 200);
constexpr ColorRef LastMoveRed = Rgb(224, 0, 0);
constexpr ColorRef CrossingMark = Rgb(0, 96, 0);
constexpr ColorRef Shades[4] = {Rgb(0, 0, 0), Rgb(24, 0, 0), Rgb(96, 1, 4), Rgb(40, 40, 40)};
constexpr int TitleHeight = 19;  // the program's own title strip
constexpr int BoxTitleHeight = 16;
constexpr int MainWindowHeight = 100;  // profile 5's main window, under its board window

Rect Offset(const Rect& r, int dx, int dy) {
  return Rect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void Outline(StagePainter w, const Rect& r, ColorRef topLeft, ColorRef bottomRight) {
  w.FillRect(Rect{r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
  w.FillRect(Rect{r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
  w.FillRect(Rect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
  w.FillRect(Rect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

}  // namespace

// ---- Popup ----

void Popup::OpenBox(const Rect& frame, const Rect& button, StageWindow owner,
                    std::function<void()> onPress) {
  Close();
  Window_ = Stage_.Open("確認", frame, WindowLook::Popup, owner, this);
  StagePainter w(Stage_, Window_);
  DownOnButton_ = false;
  OnPress_ = std::move(onPress);
  Button_ = Offset(button, -frame.Left, -frame.Top);
  Rect all{0, 0, frame.Width(), frame.Height()};
  w.FillRect(all, BoxGrey);
  Outline(w, all, Dark, Dark);
  w.FillRect(Rect{1, 1, frame.Width() - 1, BoxTitleHeight}, TitleStrip);
  Outline(w, Button_, Light, Dark);
}

void Popup::Close() {
  if (!Window_) return;
  StageWindow h = Window_;
  Window_ = 0;
  OnPress_ = nullptr;
  Stage_.Close(h);
}

void Popup::OnMouseDown(StageWindow, int x, int y) { DownOnButton_ = Button_.Contains(x, y); }

void Popup::OnMouseUp(StageWindow, int x, int y) {
  bool pressed = DownOnButton_ && Button_.Contains(x, y);
  DownOnButton_ = false;
  if (!pressed) return;
  std::function<void()> then = std::move(OnPress_);
  Close();  // the window goes; nothing of it is touched after this
  if (then) then();
}

// ---- ReferencePuppet ----

ReferencePuppet::ReferencePuppet(Stage& stage, const PuppetDesign& design, int executable,
                                 PuppetOptions options)
    : Stage_(stage),
      Design_(design),
      Options_(std::move(options)),
      Random_(Options_.Seed),
      Timing_(~Options_.Seed),
      Modal_(stage) {
  std::size_t which = executable == 1 && design.Titles[1] ? 1 : 0;
  Rect start{Options_.StartLeft, Options_.StartTop, Options_.StartLeft + design.Width,
             Options_.StartTop + std::max(design.Height, design.KeptHeight)};
  if (design.BoardTitle) {
    BoardWindow_ = stage.Open(design.BoardTitle, start, WindowLook::Main, 0, this);
    Rect below{start.Left, start.Bottom, start.Right, start.Bottom + MainWindowHeight};
    MainWindow_ = stage.Open(design.Titles[which], below, WindowLook::Main, 0, this);
  } else {
    BoardWindow_ = stage.Open(design.Titles[which], start, WindowLook::Main, 0, this);
  }
  Shown_.assign(design.Panels.size(), false);
  for (const SettingDesign& d : design.Settings)
    Settings_.push_back(Options_.TurnedSettings && d.Turns ? 1 - d.Initially : d.Initially);
  Relayout();
  NewGame(Options_.PuppetIsBlack);
  if (Options_.OpeningScreen && design.HasOpening) {
    // The title screen takes every click until one on its button.
    const Place& b = design.OpeningButton;
    ShowBox(BoxShape{Box{Anchor::ScreenCentre, -200, -160, 200, 160},
                     Box{b.From, b.X - 25, b.Y - 10, b.X + 25, b.Y + 10}},
            nullptr);
  }
  if (Options_.StartsMinimised) Stage_.Minimize(BoardWindow_);
}

ReferencePuppet::~ReferencePuppet() {
  CancelAll();
  CloseFrom(0);
  Modal_.Close();
  if (MainWindow_) Stage_.Close(MainWindow_);
  Stage_.Close(BoardWindow_);
}

void ReferencePuppet::Later(std::uint32_t ms, std::function<void()> fn) {
  std::uint64_t key = NextKey_++;
  Pending_[key] = Stage_.After(ms, [this, key, fn = std::move(fn)] {
    Pending_.erase(key);
    fn();
  });
}

void ReferencePuppet::CancelAll() {
  for (const auto& [key, id] : Pending_) Stage_.Cancel(id);
  Pending_.clear();
}

void ReferencePuppet::NewGame(bool puppetIsBlack) {
  CancelAll();
  CloseFrom(0);
  Modal_.Close();
  // The new-game settings say so too, at the strength it was set to.
  int level = Strength();
  Seats_[BlackSide] = puppetIsBlack ? level : 0;
  Seats_[WhiteSide] = puppetIsBlack ? 0 : level;
  ++GamesStarted_;
  Game_.Reset();
  Colour_ = puppetIsBlack ? Stone::Black : Stone::White;
  Thinking_ = false;
  Over_ = false;
  Marked_ = Move{};
  PaintAll();
  if (puppetIsBlack) StartThinking();
}

// ---- Layout and drawing ----

Rect ReferencePuppet::BoardWindowRect() { return Stage_.Outer(BoardWindow_); }

Point ReferencePuppet::PointOnScreen(int c, int r) {
  Rect w = BoardWindowRect();
  return Point{w.Left + Cx(c), w.Top + Cy(r)};
}

void ReferencePuppet::Relayout() {
  // Laid out for its designed size; any other size moves the board off its place.
  Rect w = BoardWindowRect();
  ShiftX_ = (w.Width() - Design_.Width) / 2;
  ShiftY_ = (w.Height() - std::max(Design_.Height, Design_.KeptHeight)) / 2;
  if (MainWindow_) {
    Placing_ = true;
    Stage_.Move(MainWindow_, Rect{w.Left, w.Bottom, w.Right, w.Bottom + MainWindowHeight});
    Placing_ = false;
  }
}

bool ReferencePuppet::OnPlacing(StageWindow w, Rect& requested) {
  if (w != BoardWindow_) return true;
  if (Options_.RefusesPlacement) return false;
  // A board laid out at fixed places: a smaller window would hide its last rows.
  if (requested.Height() < Design_.KeptHeight)
    requested.Bottom = requested.Top + Design_.KeptHeight;
  return true;
}

void ReferencePuppet::OnPlaced(StageWindow w) {
  if (Placing_ || (w != BoardWindow_ && w != MainWindow_)) return;
  Relayout();
  PaintAll();
}

// Every drawing call draws the scene (board-window coordinates) into each window
// of the program, so profile 5's main window shows the part of the board below
// its board window.
void ReferencePuppet::Fill(const Rect& r, ColorRef c) {
  Rect origin = BoardWindowRect();
  for (StageWindow h : {BoardWindow_, MainWindow_}) {
    if (!h) continue;
    Rect outer = h == BoardWindow_ ? origin : Stage_.Outer(h);
    Stage_.Fill(h, Offset(r, origin.Left - outer.Left, origin.Top - outer.Top), c);
  }
}

void ReferencePuppet::Set(int x, int y, ColorRef c) { Fill(Rect{x, y, x + 1, y + 1}, c); }

void ReferencePuppet::PaintAll() {
  for (StageWindow h : {BoardWindow_, MainWindow_}) {
    if (!h) continue;
    Rect outer = Stage_.Outer(h);
    Stage_.Fill(h, Rect{0, 0, outer.Width(), outer.Height()}, Face);
  }
  Rect bw = BoardWindowRect();
  Fill(Rect{0, 0, bw.Width(), TitleHeight}, TitleStrip);
  int px = PitchX(), py = PitchY();
  Fill(Rect{Cx(1) - px / 2 - 6, Cy(1) - py / 2 - 6, Cx(19) - px / 2 + px + 6,
            Cy(19) - py / 2 + py + 6},
       Wood);
  for (int c = 1; c <= GoGame::Size; ++c)
    for (int r = 1; r <= GoGame::Size; ++r) PaintPoint(c, r);
  PaintWindowControls();
  PaintPanel();
}

void ReferencePuppet::PaintWindowControls() {
  Rect bw = BoardWindowRect();
  Fill(Rect{0, MenuBarTop, bw.Width(), MenuBarBottom}, palette::MenuFace);
  for (const Control& c : Design_.WindowControls) {
    const Box& a = c.Area;
    Rect r{a.Left, a.Top, a.Right, a.Bottom};
    if (r.Top < MenuBarBottom) {
      // A title on the menu bar.
      Fill(Rect{r.Left + 6, r.Top + 8, r.Right - 6, r.Top + 11}, palette::Label);
      continue;
    }
    Fill(r, ButtonFace);
    Fill(Rect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, Dark);
    Fill(Rect{r.Right - 1, r.Top, r.Right, r.Bottom}, Dark);
  }
  // Profile 2's record pane and the white divider before it.
  if (Design_.DividerX > 0 && Settings_[static_cast<std::size_t>(Design_.DividerSetting)] == 1) {
    Fill(Rect{Design_.DividerX, MenuBarBottom, Design_.DividerX + 2, bw.Height()}, Light);
    Fill(Rect{Design_.DividerX + 2, MenuBarBottom, bw.Width(), bw.Height()}, palette::Pane);
  }
}

void ReferencePuppet::PaintPoint(int c, int r) {
  const int px = PitchX(), py = PitchY();
  const int cx = Cx(c), cy = Cy(r);
  const Rect cell{cx - px / 2, cy - py / 2, cx - px / 2 + px, cy - py / 2 + py};
  Fill(cell, Wood);
  // The grid lines through the point, cut to the cell. Lines drawn as LineTo does
  // lack their last pixel, which leaves the far corner of the board open.
  const int shortBy = Design_.LinesStopShort ? 1 : 0;
  const int top = std::max(cell.Top, Cy(1)), bottom = std::min(cell.Bottom, Cy(19) + 1 - shortBy);
  if (top < bottom) Fill(Rect{cx, top, cx + 1, bottom}, Design_.LineColour);
  const int left = std::max(cell.Left, Cx(1)), right = std::min(cell.Right, Cx(19) + 1 - shortBy);
  if (left < right) Fill(Rect{left, cy, right, cy + 1}, Design_.LineColour);
  if (Design_.ShadedCrossings) Set(cx, cy, Shades[(c + r) % 4]);
  if (c == Design_.MarkC && r == Design_.MarkR) Set(cx, cy, CrossingMark);

  Stone s = Game_.At(c, r);
  if (s == Stone::None) return;
  const int radius = (std::min(px, py) - 1) / 2;
  for (int y = cell.Top; y < cell.Bottom; ++y)
    for (int x = cell.Left; x < cell.Right; ++x) {
      int dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
      if (d2 > radius * radius) continue;
      ColorRef colour;
      switch (Design_.Stones) {
        case StoneLook::Plain:
          colour = s == Stone::Black ? PlainBlack : PlainWhite;
          break;
        case StoneLook::RingedDotted:
          if (d2 > (radius - 1) * (radius - 1))
            colour = Rim;
          else if (s == Stone::White && std::abs(dx) <= 1 && std::abs(dy) <= 1)
            colour = Rgb(0, 0, 0);
          else
            colour = s == Stone::Black ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
          break;
        case StoneLook::Marked:
        default:
          colour = s == Stone::Black ? Rgb(0, 0, 0) : MarkedWhite;
          break;
      }
      Set(x, y, colour);
    }
  if (Design_.Stones == StoneLook::Marked && Marked_ == Move{c, r})
    Fill(Rect{cx - 1, cy - 1, cx + 2, cy + 2}, LastMoveRed);
}

void ReferencePuppet::PaintPanel() {
  if (Design_.OwnPass != MidGamePass::PanelSign) return;
  int x = Design_.PanelSign.X + ShiftX_, y = Design_.PanelSign.Y + ShiftY_;
  // The sign shows while the last move of the game is a pass, whoever made it.
  Fill(Rect{x - 8, y - 8, x + 8, y + 8}, Game_.TrailingPasses() > 0 ? Rgb(0, 0, 0) : Light);
}

void ReferencePuppet::UpdateMark() {
  if (Design_.Stones != StoneLook::Marked) return;
  Move now;
  if (!Game_.History().empty()) {
    Move last = Game_.History().back();
    if (!last.IsPass() && Game_.At(last.C, last.R) != Stone::None) now = last;
  }
  if (now == Marked_) return;
  Move before = Marked_;
  Marked_ = now;
  if (!before.IsPass()) PaintPoint(before.C, before.R);
  if (!now.IsPass()) PaintPoint(now.C, now.R);
}

// ---- Input ----

void ReferencePuppet::OnMouseDown(StageWindow w, int x, int y) {
  // Its boxes and panels belong to it and stay above its own windows.
  RaiseOwned();
  Down_ = Point{x, y};
  DownIn_ = w;
  Rect origin = BoardWindowRect(), outer = Stage_.Outer(w);
  Point scene{x + outer.Left - origin.Left, y + outer.Top - origin.Top};
  Dragging_ = PanelOf(w) == Panels_.size() && OnDivider(scene);
}

void ReferencePuppet::OnMouseUp(StageWindow w, int x, int y) {
  Rect origin = BoardWindowRect(), outer = Stage_.Outer(w);
  Point scene{x + outer.Left - origin.Left, y + outer.Top - origin.Top};
  if (Dragging_) {
    // The divider dropped at the window's right edge closes the record pane.
    Dragging_ = false;
    if (scene.X >= origin.Width() - 4) {
      Settings_[static_cast<std::size_t>(Design_.DividerSetting)] = 0;
      PaintAll();
    }
    return;
  }
  // A click is a press and release at one spot.
  if (w != DownIn_ || std::abs(x - Down_.X) > 2 || std::abs(y - Down_.Y) > 2) return;
  std::size_t panel = PanelOf(w);
  if (panel < Panels_.size()) {
    PanelClicked(panel, Point{x + outer.Left, y + outer.Top});
    return;
  }
  Clicked(scene);
}

bool ReferencePuppet::BoardPointAt(Point scene, int& c, int& r) const {
  const int px = PitchX(), py = PitchY();
  int dx = scene.X - Cx(1) + px / 2, dy = scene.Y - Cy(1) + py / 2;
  if (dx < 0 || dy < 0) return false;
  c = dx / px + 1;
  r = dy / py + 1;
  if (c > GoGame::Size || r > GoGame::Size) return false;
  // Only a click close to the intersection counts.
  return std::abs(scene.X - Cx(c)) <= 2 && std::abs(scene.Y - Cy(r)) <= 2;
}

void ReferencePuppet::Clicked(Point scene) {
  if (Modal_.IsOpen()) return;  // a box takes all input until it is closed
  const Control* hit = nullptr;
  for (const Control& c : Design_.WindowControls)
    if (Rect{c.Area.Left, c.Area.Top, c.Area.Right, c.Area.Bottom}.Contains(scene.X, scene.Y))
      hit = &c;
  if (!Panels_.empty()) {
    bool modal = false;
    for (const OpenPanel& p : Panels_) modal = modal || !Transient(p);
    // The click that closes a menu does nothing else, unless it opens another
    // menu of the menu bar; while a dialog is open the window takes no click.
    int wasOpen = Panels_.front().Id;
    CloseTransient();
    if (!modal && hit && hit->What == Does::Open && hit->Target != wasOpen &&
        Design_.Panels[static_cast<std::size_t>(hit->Target)].Kind == PanelKind::Menu)
      Go(hit->Target);
    return;
  }
  if (hit) {
    Act(Panels_.size(), *hit);
    return;
  }
  if (Over_) return;
  int c = 0, r = 0;
  if (BoardPointAt(scene, c, r)) OpponentMove(c, r);
}

// ---- Play ----

void ReferencePuppet::OpponentMove(int c, int r) {
  if (Thinking_ || Game_.ToMove() == Colour_) return;
  std::vector<Move> taken;
  if (!Game_.Play(c, r, &taken)) return;  // refused, as the program refuses an illegal move
  PaintPoint(c, r);
  for (const Move& t : taken) PaintPoint(t.C, t.R);
  PaintPanel();
  UpdateMark();
  if (Design_.HasNotice && !taken.empty()) {
    // It tells the player about the lost stones and thinks once that is read.
    ++NoticesShown_;
    Thinking_ = true;
    ShowBox(Design_.Notice, [this] {
      Thinking_ = false;
      StartThinking();
    });
    return;
  }
  StartThinking();
}

void ReferencePuppet::OpponentPass() {
  if (Thinking_ || Over_ || Game_.ToMove() == Colour_) return;
  Game_.Pass();
  ++OpponentPasses_;
  PaintPanel();
  UpdateMark();
  if (Game_.TrailingPasses() >= 2) {
    EndGame();
    ShowEndBox(0);
    return;
  }
  StartThinking();
}

void ReferencePuppet::StartThinking() {
  Thinking_ = true;
  std::uint32_t ms = Options_.ThinkMs;
  if (Options_.ThinkJitterMs > 0)
    ms += static_cast<std::uint32_t>(Timing_.Below(static_cast<int>(Options_.ThinkJitterMs) + 1));
  Later(ms, [this] { Answer(); });
}

void ReferencePuppet::Answer() {
  Thinking_ = false;
  if (Over_ || Game_.ToMove() != Colour_) return;
  int made = Game_.MovesMade();
  const std::vector<int>& at = Options_.PassAtMoves;
  bool pass = (Options_.PassFromMove > 0 && made >= Options_.PassFromMove) ||
              std::find(at.begin(), at.end(), made + 1) != at.end();
  Move m = pass ? Move{} : ChooseMove(Game_, Random_);
  if (m.IsPass()) {
    OwnPass();
    return;
  }
  std::vector<Move> taken;
  Game_.Play(m.C, m.R, &taken);
  PaintPoint(m.C, m.R);
  for (const Move& t : taken) PaintPoint(t.C, t.R);
  PaintPanel();
  UpdateMark();
}

void ReferencePuppet::OwnPass() {
  Game_.Pass();
  ++OwnPasses_;
  PaintPanel();
  UpdateMark();
  if (Game_.TrailingPasses() >= 2) {
    EndGame();
    switch (Design_.OwnEndingPass) {
      case EndingPass::BoxThenEnd:
        ShowBox(Design_.PassBox, [this] { ShowEndBox(0); });
        break;
      case EndingPass::EndOnly:
        ShowEndBox(0);
        break;
      case EndingPass::BoxIsFirstEnd:
        ShowBox(Design_.PassBox, [this] { ShowEndBox(1); });
        break;
    }
    return;
  }
  if (Design_.OwnPass == MidGamePass::Box) ShowBox(Design_.PassBox, nullptr);
}

void ReferencePuppet::EndGame() {
  Over_ = true;
  if (OnGameOver) OnGameOver(Game_);
}

void ReferencePuppet::ShowBox(const BoxShape& shape, std::function<void()> then) {
  Rect bw = BoardWindowRect();
  int sw = Stage_.ScreenWidth(), sh = Stage_.ScreenHeight();
  Modal_.OpenBox(OnScreen(shape.Frame, bw, sw, sh), OnScreen(shape.Button, bw, sw, sh),
                 BoardWindow_, std::move(then));
}

void ReferencePuppet::ShowEndBox(int i) {
  if (i >= Design_.EndBoxCount) {
    // Closing the last box may lead on, as a result box that offers the next game.
    if (i > 0 && Design_.ResultOpens != NoPanel) Go(Design_.ResultOpens);
    return;
  }
  Later(Design_.EndBoxDelaysMs[static_cast<std::size_t>(i)], [this, i] {
    ShowBox(Design_.EndBoxes[static_cast<std::size_t>(i)], [this, i] { ShowEndBox(i + 1); });
  });
}

}  // namespace refpuppet
