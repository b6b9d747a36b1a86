#pragma once
// A reference puppet: a Go program that behaves, as far as Tovarin can tell, like
// the real program of its profile, on the simulated desktop or on Windows. It opens its
// window(s) with the exact title(s), lays its board out inside its window, plays a
// stone where the opponent clicks a board point, answers after a thinking time,
// passes with its own sign, takes the opponent's pass clicks, and shows its
// end-of-game boxes after two passes in a row. Through its menus and dialogs it
// changes its settings and starts a new game with the players chosen there.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/puppets/GoGame.h"
#include "sim/puppets/PuppetDesigns.h"
#include "sim/puppets/PuppetStage.h"

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
  // Every tick and check box of its menus and dialogs starts the other way round.
  bool TurnedSettings = false;
  // Its strength when it plays; lists that choose a player show it.
  int Level = 3;
  // Its window does not let another program move or size it.
  bool RefusesPlacement = false;
  // It starts minimised on the task bar.
  bool StartsMinimised = false;
  // It starts with its title screen, where it has one.
  bool OpeningScreen = false;
  // Its board drawn this much larger than designed, about its top-left corner,
  // as on a display that the system enlarges (its menus and boxes keep their
  // places here).
  int BoardScalePercent = 100;
};

// A grey box: a small top-level window with a title strip and one button.
class Popup final : public StageInput {
 public:
  explicit Popup(Stage& stage) : Stage_(stage) {}
  ~Popup() override { Close(); }
  Popup(const Popup&) = delete;
  Popup& operator=(const Popup&) = delete;

  // Opens at `frame` (screen) with its button at `button` (screen), above `owner`:
  // a title strip and a grey face.
  void OpenBox(const platform::Rect& frame, const platform::Rect& button, StageWindow owner,
               std::function<void()> onPress);
  void Close();
  bool IsOpen() const { return Window_ != 0; }
  StageWindow Window() const { return Window_; }

  void OnMouseDown(StageWindow w, int x, int y) override;
  void OnMouseUp(StageWindow w, int x, int y) override;

 private:
  Stage& Stage_;
  StageWindow Window_ = 0;
  platform::Rect Button_;  // window coordinates
  bool DownOnButton_ = false;
  std::function<void()> OnPress_;
};

class ReferencePuppet final : public StageInput {
 public:
  // `executable` is the index of the file name it was started as (profile 5 has two).
  ReferencePuppet(Stage& stage, const PuppetDesign& design, int executable, PuppetOptions options);
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
  StageWindow Window() const { return BoardWindow_; }
  StageWindow MainWindow() const { return MainWindow_ ? MainWindow_ : BoardWindow_; }
  // Screen point of the intersection (c, r) as the program currently lays it out.
  platform::Point PointOnScreen(int c, int r);

  // Games started, the one it opens with included.
  int GamesStarted() const { return GamesStarted_; }
  // Who plays a side (BlackSide, WhiteSide) in its new-game settings: 0 a person,
  // k >= 1 the program at strength k.
  int Seat(int side) const { return Seats_[static_cast<std::size_t>(side)]; }
  // A setting by its name in the design; nothing when the program has none.
  std::optional<int> Setting(std::string_view name) const;
  // The tick or check box whose mark stands at window point (x, y) in a menu or a
  // dialog window-placed, as 1 (ticked) or 0; nothing when no mark stands there.
  std::optional<int> TickAt(int x, int y) const;
  // A menu, dialog or list of the program is open.
  bool PanelOpen() const { return !Panels_.empty(); }

  // Called when a game has ended on two passes, with the game as played.
  std::function<void(const GoGame&)> OnGameOver;

  void OnMouseDown(StageWindow w, int x, int y) override;
  void OnMouseUp(StageWindow w, int x, int y) override;
  void OnKeyDown(StageWindow w, std::uint8_t virtualKey) override;
  bool OnPlacing(StageWindow w, platform::Rect& requested) override;
  void OnPlaced(StageWindow w) override;

 private:
  Stage& Stage_;
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
  StageWindow BoardWindow_ = 0;
  StageWindow MainWindow_ = 0;  // profile 5's main window, under its board
  int ShiftX_ = 0;              // how far the layout stands off the designed one
  int ShiftY_ = 0;
  bool Placing_ = false;
  platform::Point Down_;
  StageWindow DownIn_ = 0;
  Popup Modal_;
  int GamesStarted_ = 0;

  // Menus, dialogs and lists: open ones bottom to top, each in a window of its own.
  struct OpenPanel {
    int Id;
    StageWindow Window;
    int Page = 0;  // the tab shown
    int Top = 0;   // lists: the entry in the first row
  };
  std::vector<OpenPanel> Panels_;
  std::vector<bool> Shown_;     // by panel: shown at least once in this run
  std::vector<int> Settings_;   // by setting of the design
  std::array<int, 2> Seats_{};  // by side: 0 a person, k the program at strength k
  int Editing_ = -1;            // the setting an edit field takes keys for
  std::size_t EditingIn_ = 0;   // and the panel of that field
  bool Dragging_ = false;       // the record pane's divider is being dragged
  // Scheduled events by key, cancelled when the program goes away.
  std::map<std::uint64_t, Stage::TimerId> Pending_;
  std::uint64_t NextKey_ = 1;

  void Later(std::uint32_t ms, std::function<void()> fn);
  void CancelAll();

  // Drawing, in the coordinates of the board window (the scene).
  platform::Rect BoardWindowRect();
  void Fill(const platform::Rect& r, platform::ColorRef c);
  void Set(int x, int y, platform::ColorRef c);
  // The board's geometry as drawn: the design's, enlarged by BoardScalePercent.
  int Scaled(int v) const { return v * Options_.BoardScalePercent / 100; }
  int PitchX() const { return Scaled(Design_.PitchX); }
  int PitchY() const { return Scaled(Design_.PitchY); }
  int Cx(int c) const { return Scaled(Design_.GridLeft) + ShiftX_ + (c - 1) * PitchX(); }
  int Cy(int r) const { return Scaled(Design_.GridTop) + ShiftY_ + (r - 1) * PitchY(); }
  void Relayout();
  void PaintAll();
  void PaintPoint(int c, int r);
  void PaintPanel();
  void UpdateMark();

  void PaintWindowControls();

  // Menus, dialogs and lists (PuppetPanels.cpp).
  platform::Rect OnScreenNow(const Box& box);
  const PanelDesign& DesignOfPanel(const OpenPanel& p) const {
    return Design_.Panels[static_cast<std::size_t>(p.Id)];
  }
  bool Transient(const OpenPanel& p) const;
  void Go(int target);
  void Open(int panel);
  void CloseFrom(std::size_t index);
  void CloseTransient();
  void RaiseOwned();
  void PaintPanel(std::size_t index);
  void PanelClicked(std::size_t index, platform::Point screen);
  void ListClicked(std::size_t index, platform::Point screen);
  // A click on control `c` of the panel at `index`, or of its window (index npos).
  void Act(std::size_t index, const Control& c);
  void Changed(std::size_t index);
  void StartAsChosen();
  int Strength() const;  // the program's strength as its settings remember it
  bool IsOn(const Control& c) const;
  std::size_t PanelOf(StageWindow window) const;
  bool OnDivider(platform::Point scene) const;

  // Play.
  void Clicked(platform::Point scene);
  bool BoardPointAt(platform::Point scene, int& c, int& r) const;
  void OpponentMove(int c, int r);
  void OpponentPass();
  void StartThinking();
  void Answer();
  void OwnPass();
  void EndGame();
  void ShowBox(const BoxShape& shape, std::function<void()> then);
  void ShowEndBox(int i);
};

}  // namespace refpuppet
