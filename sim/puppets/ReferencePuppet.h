#pragma once
// A reference puppet: a simulated Go program on the simulated desktop that behaves,
// as far as Tovarin can tell, like the real program of its profile. It opens its
// window(s) with the exact title(s), lays its board out inside its window, plays a
// stone where the opponent clicks a board point, answers after a thinking time,
// passes with its own sign, takes the opponent's pass clicks, and shows its
// end-of-game boxes after two passes in a row.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"
#include "sim/puppets/GoGame.h"
#include "sim/puppets/PuppetDesigns.h"

namespace refpuppet {

struct PuppetOptions {
  // Each answer takes ThinkMs plus a seeded share of up to ThinkJitterMs.
  std::uint32_t ThinkMs = 300;
  std::uint32_t ThinkJitterMs = 0;
  std::uint64_t Seed = 1;
  // From this many moves made (passes included) on, the puppet passes at every
  // turn, which ends the game well before Tovarin's move list is full; 0: only
  // when it has no sensible move left.
  int PassFromMove = 160;
  // Move numbers (1 is the first move of a game) at which the puppet passes once.
  std::vector<int> PassAtMoves;
  // The colour of the game the program opens with.
  bool PuppetIsBlack = false;
  // Where its window first appears, at the size it is laid out for.
  int StartLeft = 120;
  int StartTop = 60;
};

// A grey box or a menu: a small top-level window with one button or entry.
class Popup final : public platform::sim::SimWindowOwner {
 public:
  explicit Popup(platform::sim::SimDesktop& desktop) : Desktop_(desktop) {}
  ~Popup() override { Close(); }
  Popup(const Popup&) = delete;
  Popup& operator=(const Popup&) = delete;

  // Opens at `frame` (screen) with its button at `button` (screen). A box has a
  // title strip and grey face; a menu closes on a click beside its entry.
  void OpenBox(const platform::Rect& frame, const platform::Rect& button,
               std::function<void()> onPress);
  void OpenMenu(const platform::Rect& frame, const platform::Rect& entry,
                std::function<void()> onPress);
  void Close();
  bool IsOpen() const { return Window_ != 0; }
  platform::WindowHandle Window() const { return Window_; }

  void OnMouseDown(platform::sim::SimWindow& w, int x, int y) override;
  void OnMouseUp(platform::sim::SimWindow& w, int x, int y) override;

 private:
  platform::sim::SimDesktop& Desktop_;
  platform::WindowHandle Window_ = 0;
  platform::Rect Button_;  // window coordinates
  bool IsMenu_ = false;
  bool DownOnButton_ = false;
  std::function<void()> OnPress_;
  void Open(const platform::Rect& frame, const platform::Rect& button, bool menu,
            std::function<void()> onPress);
};

class ReferencePuppet final : public platform::sim::SimWindowOwner {
 public:
  // `executable` is the index of the file name it was started as (profile 5 has two).
  ReferencePuppet(platform::sim::SimDesktop& desktop, const PuppetDesign& design, int executable,
                  PuppetOptions options);
  ~ReferencePuppet() override;
  ReferencePuppet(const ReferencePuppet&) = delete;
  ReferencePuppet& operator=(const ReferencePuppet&) = delete;

  // Starts a new game with the puppet on the given side; as Black it moves first.
  void NewGame(bool puppetIsBlack);

  const PuppetDesign& Design() const { return Design_; }
  PuppetOptions& Options() { return Options_; }
  const GoGame& Game() const { return Game_; }
  Stone Colour() const { return Colour_; }
  bool Thinking() const { return Thinking_; }
  bool GameOver() const { return Over_; }
  // A pass, notice or end-of-game box is showing.
  bool BoxOpen() const { return Modal_.IsOpen(); }
  int OwnPasses() const { return OwnPasses_; }
  int OpponentPasses() const { return OpponentPasses_; }
  int NoticesShown() const { return NoticesShown_; }
  // The window to be placed (profile 5: its board window) and its main window.
  platform::WindowHandle Window() const { return BoardWindow_; }
  platform::WindowHandle MainWindow() const { return MainWindow_ ? MainWindow_ : BoardWindow_; }
  // Screen point of the intersection (c, r) as the program currently lays it out.
  platform::Point PointOnScreen(int c, int r);

  void OnMouseDown(platform::sim::SimWindow& w, int x, int y) override;
  void OnMouseUp(platform::sim::SimWindow& w, int x, int y) override;
  void OnPlaced(platform::sim::SimWindow& w) override;

 private:
  platform::sim::SimDesktop& Desktop_;
  const PuppetDesign& Design_;
  PuppetOptions Options_;
  GoGame Game_;
  Random Random_;
  Random Timing_;  // apart from the moves, so that timing never changes the game
  Stone Colour_ = Stone::White;
  bool Thinking_ = false;
  bool Over_ = false;
  int OwnPasses_ = 0;
  int OpponentPasses_ = 0;
  int NoticesShown_ = 0;
  Move Marked_;  // the stone carrying the last-move mark, (0, 0) when none
  platform::WindowHandle BoardWindow_ = 0;
  platform::WindowHandle MainWindow_ = 0;  // profile 5's main window, under its board
  int ShiftX_ = 0;                         // how far the layout stands off the designed one
  int ShiftY_ = 0;
  bool Placing_ = false;
  platform::Point Down_;
  Popup Menu_;
  Popup Modal_;
  // Scheduled events by key, cancelled when the program goes away.
  std::map<std::uint64_t, platform::sim::SimClock::EventId> Pending_;
  std::uint64_t NextKey_ = 1;

  void Later(std::uint32_t ms, std::function<void()> fn);
  void CancelAll();

  // Drawing, in the coordinates of the board window (the scene).
  platform::Rect BoardWindowRect();
  void Fill(const platform::Rect& r, platform::ColorRef c);
  void Set(int x, int y, platform::ColorRef c);
  int Cx(int c) const { return Design_.GridLeft + ShiftX_ + (c - 1) * Design_.PitchX; }
  int Cy(int r) const { return Design_.GridTop + ShiftY_ + (r - 1) * Design_.PitchY; }
  void Relayout();
  void PaintAll();
  void PaintPoint(int c, int r);
  void PaintPanel();
  void UpdateMark();

  // Play.
  void Clicked(platform::Point scene);
  bool BoardPointAt(platform::Point scene, int& c, int& r) const;
  void OpenPassMenu();
  void OpponentMove(int c, int r);
  void OpponentPass();
  void StartThinking();
  void Answer();
  void OwnPass();
  void ShowBox(const BoxShape& shape, std::function<void()> then);
  void ShowEndBox(int i);
};

}  // namespace refpuppet
