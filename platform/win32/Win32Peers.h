#pragma once
// The backend's peers: the window of a form with its drawing surface, and the
// window of each kind of control. Internal to platform/win32.
#include <string>
#include <vector>

#include "platform/ui/Ui.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Ui.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

// Window class names of the toolkit's own windows.
inline constexpr const wchar_t* FormClass = L"TovarinForm";
inline constexpr const wchar_t* PanelClass = L"TovarinPanel";
inline constexpr const wchar_t* ImageClass = L"TovarinImage";

// Copies `source` of `picture` into `dest` on `dc`, stretched when the sizes differ
// (nearest pixel, plain source copy).
void DrawPicture(HDC dc, const Rect& dest, const ui::Picture& picture, const Rect& source);

class Win32Canvas final : public ui::Canvas {
 public:
  explicit Win32Canvas(FormPeer& form) : Form_(form) {}
  void CopyRect(const Rect& dest, const ui::Picture& picture, const Rect& source) override;
  // While the form handles WM_PAINT, drawing goes to the paint context.
  void SetPaintDc(HDC dc) { PaintDc_ = dc; }

 private:
  FormPeer& Form_;
  HDC PaintDc_ = nullptr;
};

class FormPeer final : public Window, public ui::Peer {
 public:
  FormPeer(Win32Application& app, ui::Form& form, HWND owner);
  ~FormPeer() override;

  ui::Form& Form() const { return Form_; }
  Win32Canvas& Canvas() { return Canvas_; }

  // ui::Peer
  void Changed() override;
  void Invalidate() override;
  void Activate() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint();
  bool OnEraseBackground(HDC dc);
  void OnWindowPosChanged();
  void OnActivate(WORD state);
  void ApplyBorder();
  void ApplyZOrder();

  Win32Application& App_;
  ui::Form& Form_;
  Win32Canvas Canvas_;
  ui::BorderStyle Border_;
  std::wstring Caption_;
  ColorRef Color_;
  bool Syncing_ = false;  // the window is being moved to the form's bounds
  bool Dying_ = false;
  HWND SavedFocus_ = nullptr;
};

class ControlPeer : public Window, public ui::Peer {
 public:
  ControlPeer(Win32Application& app, ui::Control& control);
  ~ControlPeer() override;

  ui::Control& Control() const { return Control_; }
  // True for controls that the window paints itself under all others, as labels
  // and pictures are drawn on their parent's surface.
  bool IsGraphic() const;
  // The window that holds this control: its panel's or its form's.
  HWND ContainerHandle() const;
  // Creates the window; the kind's peer calls it from its constructor.
  void Create(const wchar_t* windowClass, DWORD style, DWORD exStyle);

  // ui::Peer
  void Changed() override;
  HBRUSH OnControlColor(HDC dc) override;

 protected:
  // The colour behind the control's text.
  ColorRef Background() const;
  // Where the window stands in its container: the control's bounds.
  virtual ui::Bounds WindowBounds() const;
  // State of the kind's own, brought up to date by Changed.
  virtual void SyncKind() {}

  Win32Application& App_;
  ui::Control& Control_;
  std::wstring Caption_;  // the text the window shows

 private:
  ui::Bounds Shown_{};
  bool ShownVisible_ = true;
  HFONT Font_ = nullptr;
  ColorRef TextColor_;
  ColorRef Color_;
};

std::unique_ptr<ui::Peer> MakeControlPeer(Win32Application& app, ui::Control& control);

}  // namespace platform::win32
