#pragma once
// A thin user-interface toolkit: the forms and controls that Tovarin's three
// windows are made of. Controls keep their state in these objects; a backend
// attaches a peer to each one and is told of every change. The headless backend
// (platform/headless) keeps everything in memory and runs timers on a clock; the Win32
// backend (platform/win32) makes real windows. One form source serves both.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Geometry.h"

namespace ui {

using platform::ColorRef;
using platform::Rect;
using platform::Rgb;

// The named colours the forms use.
inline constexpr ColorRef clBlack = Rgb(0, 0, 0);
inline constexpr ColorRef clWhite = Rgb(255, 255, 255);
inline constexpr ColorRef clTeal = Rgb(0, 128, 128);
inline constexpr ColorRef clLime = Rgb(0, 255, 0);
inline constexpr ColorRef clAqua = Rgb(0, 255, 255);
inline constexpr ColorRef clBlue = Rgb(0, 0, 255);
inline constexpr ColorRef clYellow = Rgb(255, 255, 0);
inline constexpr ColorRef clNavy = Rgb(0, 0, 128);
inline constexpr ColorRef clSilver = Rgb(192, 192, 192);
inline constexpr ColorRef clGreen = Rgb(0, 128, 0);
inline constexpr ColorRef clRed = Rgb(255, 0, 0);
inline constexpr ColorRef clFuchsia = Rgb(255, 0, 255);
inline constexpr ColorRef clGray = Rgb(128, 128, 128);
inline constexpr ColorRef clBtnFace = Rgb(192, 192, 192);
inline constexpr ColorRef cl3DLight = Rgb(224, 224, 224);
inline constexpr ColorRef clWindow = Rgb(255, 255, 255);

// Modal results.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// The toolkit's own error, raised for example when a picture file cannot be read.
// It is the only exception in the program; the entry point's guard shows it.
class FrameworkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds of a control as the designer gives them: left, top, width, height.
struct Bounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

struct Font {
  std::string Name;  // UTF-8
  int Height = 13;   // pixels
  ColorRef Color = clBlack;
};

// A picture decoded from a BMP file: 24-bit pixels, row-major, top row first.
class Picture {
 public:
  Picture() = default;
  Picture(int width, int height, ColorRef fill = clWhite);
  // Reads an uncompressed 8- or 24-bit BMP; throws FrameworkError naming the file.
  static Picture LoadFromFile(const std::string& path);
  bool SaveToFile(const std::string& path) const;

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  bool Empty() const { return Width_ == 0 || Height_ == 0; }
  ColorRef At(int x, int y) const;
  void Set(int x, int y, ColorRef c);
  const std::vector<ColorRef>& Pixels() const { return Pixels_; }

 private:
  int Width_ = 0;
  int Height_ = 0;
  std::vector<ColorRef> Pixels_;
};

// A form's drawing surface (client coordinates).
class Canvas {
 public:
  virtual ~Canvas() = default;
  // Copies `source` of `picture` into `dest`, stretched when the sizes differ
  // (plain source copy: no transparency).
  virtual void CopyRect(const Rect& dest, const Picture& picture, const Rect& source) = 0;
  std::string FontName;
};

class Control;
class Form;
class Timer;
class OpenDialog;
class Application;

// What a backend keeps for one control or form. Every method has a do-nothing default.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual void Changed() {}                         // any property changed
  virtual void LineAppended(const std::string&) {}  // memo
  virtual void LinesCleared() {}                    // memo, list box
  virtual void Focus() {}
  virtual void Invalidate() {}  // form: repaint
  virtual void Activate() {}    // form: make it the active window
};

enum class ControlKind {
  Label,
  SpeedButton,
  BitBtn,
  Image,
  Memo,
  ListBox,
  RadioButton,
  Panel,
  Edit
};

class Control {
 public:
  // `parent` is the panel that holds the control, or nullptr for the form itself.
  Control(Form& owner, Control* parent, ControlKind kind, std::string name, Bounds bounds);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return Kind_; }
  const std::string& Name() const { return Name_; }
  Form& Owner() const { return Owner_; }
  Control* Parent() const { return Parent_; }
  Peer* GetPeer() const { return Peer_.get(); }

  // Bounds are (left, top, width, height) relative to the parent's client area.
  int Left() const { return Bounds_.Left; }
  int Top() const { return Bounds_.Top; }
  int Width() const { return Bounds_.Width(); }
  int Height() const { return Bounds_.Height(); }
  void SetBounds(int left, int top, int width, int height);
  bool Visible() const { return Visible_; }
  void SetVisible(bool visible);
  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& caption);
  const ui::Font& Font() const { return Font_; }
  void SetFont(const ui::Font& font);
  ColorRef Color() const { return Color_; }
  void SetColor(ColorRef color);
  int TabOrder = -1;
  bool TabStop = true;

 protected:
  void Changed();

 private:
  friend class Application;
  Form& Owner_;
  Control* Parent_;
  ControlKind Kind_;
  std::string Name_;
  Rect Bounds_;
  bool Visible_ = true;
  std::string Caption_;
  ui::Font Font_;
  ColorRef Color_ = clBtnFace;  // text boxes and lists start as clWindow
  std::unique_ptr<Peer> Peer_;
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr)
      : Control(owner, parent, ControlKind::Label, std::move(name), bounds) {}
};

// A flat button with a caption and a picture; runs OnClick when pressed.
class SpeedButton : public Control {
 public:
  SpeedButton(Form& owner, std::string name, Bounds bounds)
      : Control(owner, nullptr, ControlKind::SpeedButton, std::move(name), bounds) {}
  std::function<void()> OnClick;
  void Click();
};

// A button that closes its modal form with ModalResult.
class BitBtn : public Control {
 public:
  BitBtn(Form& owner, std::string name, Bounds bounds, int modalResult)
      : Control(owner, nullptr, ControlKind::BitBtn, std::move(name), bounds),
        ModalResult(modalResult) {}
  int ModalResult;
  bool Cancel = false;  // also pressed by the Escape key
  void Click();
};

class Image : public Control {
 public:
  Image(Form& owner, std::string name, Bounds bounds)
      : Control(owner, nullptr, ControlKind::Image, std::move(name), bounds) {}
  bool Stretch = false;
  bool AutoSize = false;
  const ui::Picture& Picture() const { return Picture_; }
  // Loads a BMP file; throws FrameworkError when it cannot be read.
  void LoadFromFile(const std::string& path);

 private:
  ui::Picture Picture_;
};

class Memo : public Control {
 public:
  Memo(Form& owner, std::string name, Bounds bounds)
      : Control(owner, nullptr, ControlKind::Memo, std::move(name), bounds) {}
  bool ReadOnly = false;
  bool VerticalScrollBar = false;
  const std::vector<std::string>& Lines() const { return Lines_; }
  void Append(const std::string& line);
  void Clear();

 private:
  std::vector<std::string> Lines_;
};

class ListBox : public Control {
 public:
  ListBox(Form& owner, std::string name, Bounds bounds)
      : Control(owner, nullptr, ControlKind::ListBox, std::move(name), bounds) {}
  int ItemHeight = 15;
  const std::vector<std::string>& Items() const { return Items_; }
  void Clear();
  void Add(const std::string& item);
  // The selected line, 0-based, or -1 when none is selected.
  int ItemIndex() const { return ItemIndex_; }
  void SetItemIndex(int index);

 private:
  std::vector<std::string> Items_;
  int ItemIndex_ = -1;
};

class Panel : public Control {
 public:
  Panel(Form& owner, std::string name, Bounds bounds)
      : Control(owner, nullptr, ControlKind::Panel, std::move(name), bounds) {}
};

// Radio buttons sharing a parent form one group: checking one unchecks the others.
class RadioButton : public Control {
 public:
  RadioButton(Form& owner, std::string name, Bounds bounds, Control* parent)
      : Control(owner, parent, ControlKind::RadioButton, std::move(name), bounds) {}
  bool Checked() const { return Checked_; }
  void SetChecked(bool checked);

 private:
  bool Checked_ = false;
};

class Edit : public Control {
 public:
  Edit(Form& owner, std::string name, Bounds bounds, Control* parent = nullptr)
      : Control(owner, parent, ControlKind::Edit, std::move(name), bounds) {}
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  void SetFocus();
};

// A message timer: while enabled, OnTimer runs every Interval ms on the user-
// interface thread, when the thread takes its messages. Ticks do not pile up.
class Timer {
 public:
  Timer(Form& owner, std::string name, std::uint32_t intervalMs, bool enabled);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  const std::string& Name() const { return Name_; }
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return IntervalMs_; }
  std::function<void()> OnTimer;
  Form& Owner() const { return Owner_; }

 private:
  Form& Owner_;
  std::string Name_;
  std::uint32_t IntervalMs_;
  bool Enabled_;
};

class OpenDialog {
 public:
  explicit OpenDialog(Form& owner) : Owner_(owner) {}
  std::string FileName;  // ANSI code page
  std::string Filter;    // UTF-8, "description|pattern"
  std::string Title;     // UTF-8
  // Shows the dialog; true when the user chose a file (FileName holds it).
  bool Execute();

 private:
  Form& Owner_;
};

enum class BorderStyle { Single, Sizeable, Dialog };

class Form {
 public:
  explicit Form(Application& app, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Application& App() const { return App_; }
  const std::string& Name() const { return Name_; }
  Peer* GetPeer() const { return Peer_.get(); }

  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& caption);
  ::ui::BorderStyle Border() const { return Border_; }
  // Set in the form's constructor, before it is first shown.
  void SetBorder(::ui::BorderStyle style);
  // Outer rectangle in screen pixels.
  int Left() const { return Outer_.Left; }
  int Top() const { return Outer_.Top; }
  int Width() const { return Outer_.Width(); }
  int Height() const { return Outer_.Height(); }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  int ClientWidth() const;
  int ClientHeight() const;
  // Sizes the window so that its client area is width x height.
  void SetClientSize(int width, int height);
  bool Visible() const { return Visible_; }
  void Show();
  void Hide();
  ColorRef Color() const { return Color_; }
  void SetColor(ColorRef color);
  const ui::Font& Font() const { return Font_; }
  void SetFont(const ui::Font& font);

  ::ui::Canvas& Canvas();
  void Invalidate();
  // Makes the form the active window.
  void Activate();
  // Shows the form modally; returns its ModalResult.
  int ShowModal();
  int ModalResult = mrNone;
  void Close();
  // A key pressed while the form is active: Escape presses the cancel button.
  void KeyPress(int virtualKey);

  std::function<void()> OnPaint;
  std::function<void()> OnShow;
  std::function<void()> OnResize;

  const std::vector<Control*>& Controls() const { return Controls_; }
  const std::vector<Timer*>& Timers() const { return Timers_; }
  Control* FindControl(const std::string& name) const;
  Control* Focused = nullptr;

 private:
  friend class Control;
  friend class Timer;
  Application& App_;
  std::string Name_;
  std::string Caption_;
  ::ui::BorderStyle Border_ = ::ui::BorderStyle::Single;
  Rect Outer_{0, 0, 200, 100};
  bool Visible_ = false;
  ColorRef Color_ = clBtnFace;
  ui::Font Font_;
  std::vector<Control*> Controls_;
  std::vector<Timer*> Timers_;
  std::unique_ptr<Peer> Peer_;
};

// A message as the application's message hook sees it.
struct Message {
  std::uint32_t Id = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
};
inline constexpr std::uint32_t WM_SYSCOMMAND_ = 0x0112;
inline constexpr std::uintptr_t SC_SCREENSAVE_ = 0xF140;

// Frame thickness of a window: outer size = client size + these.
struct FrameMetrics {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class Application {
 public:
  virtual ~Application() = default;

  const std::string& Title() const { return Title_; }
  void SetTitle(const std::string& title) {
    Title_ = title;
    TitleChanged();
  }

  // The application-wide message hook: returns true to mark a message handled.
  std::function<bool(const Message&)> OnMessage;

  // Handles every pending message (timer ticks among them) and returns.
  virtual void ProcessMessages() = 0;
  // Runs the message loop until the main form closes.
  virtual void Run(Form& mainForm) = 0;
  // True once the main form has closed or the system has asked the program to end:
  // no loop may go on waiting then.
  virtual bool Terminated() const = 0;
  // Handles messages until `waitMs` have passed on `clock`, or until `stop()` holds
  // after a round of messages, or until the program is ending. True when the whole
  // wait passed. Elapsed time is taken with wrap-around, so a wait that spans the
  // tick count's wrap lasts as long as any other.
  bool PumpMessagesFor(platform::Clock& clock, std::uint32_t waitMs,
                       const std::function<bool()>& stop);
  // A modal box with the application title as caption, the text and one OK button.
  virtual void MessageBox(const std::string& text) = 0;
  // The toolkit's standard box for an error that ends the program.
  virtual void ShowError(const std::string& text) = 0;
  // Modal windows of this program standing now: message boxes and modal forms.
  // Timer ticks still arrive under them, and anything that reads the screen sees
  // them too.
  int ModalDepth() const { return ModalDepth_; }

  // Backend services for forms, controls and timers.
  virtual std::unique_ptr<Peer> CreatePeer(Form& form) = 0;
  virtual std::unique_ptr<Peer> CreatePeer(Control& control) = 0;
  virtual FrameMetrics Frame(BorderStyle style) const = 0;
  virtual ::ui::Canvas& CanvasOf(Form& form) = 0;
  virtual int ShowModal(Form& form) = 0;
  virtual void CloseForm(Form& form) = 0;
  virtual void TimerChanged(Timer& timer) = 0;
  virtual void TimerDestroyed(Timer& timer) = 0;
  virtual bool ExecuteOpenDialog(OpenDialog& dialog, Form& owner) = 0;

 protected:
  virtual void TitleChanged() {}
  // Told when a fixed wait that pumps messages begins and ends (nested waits count).
  virtual void FixedWaitChanged(bool /*waiting*/) {}
  // Kept by the backends around each modal loop.
  int ModalDepth_ = 0;

 private:
  std::string Title_;
};

}  // namespace ui
