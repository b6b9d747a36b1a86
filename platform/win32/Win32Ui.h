#pragma once
// The Win32 backend of the user-interface toolkit: a real top-level window per
// form and a real child window per control, made with the wide API; message
// timers; the system's message boxes and file-open dialog; message loops that
// pass every message through the application-wide hook.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Ui.h"
#include "platform/win32/Win32Api.h"

namespace platform::win32 {

class FormPeer;

class Win32Application final : public ui::Application {
 public:
  explicit Win32Application(HINSTANCE instance = GetModuleHandleW(nullptr));
  ~Win32Application() override;

  // The real window of a form or a control.
  HWND HandleOf(const ui::Form& form) const;
  HWND HandleOf(const ui::Control& control) const;

  // ui::Application
  void ProcessMessages() override;
  void Run(ui::Form& mainForm) override;
  // True once the main form has closed or a loop has received WM_QUIT.
  bool Terminated() const override { return Terminated_; }
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

  // ---- For the backend's own windows ----
  HINSTANCE Instance() const { return Instance_; }
  // Shared GDI objects, kept until the application ends.
  HFONT FontFor(const ui::Font& font);
  HBRUSH BrushFor(ColorRef color);
  // Runs the application-wide hook; true when it marked the message handled.
  bool Hooked(const ui::Message& message);
  // A WM_TIMER message of a form's window.
  void DeliverTimer(UINT_PTR id);
  // A form's window is going away.
  void FormGone(FormPeer& peer);

  static DWORD StyleOf(ui::BorderStyle style);
  static DWORD ExStyleOf(ui::BorderStyle style);

 private:
  class DisabledForms;

  // The hook, the Escape key and dialog keys; true when the message was consumed.
  bool PreTranslate(MSG& message);
  void Dispatch(MSG& message);
  // Waits for the next message; false on WM_QUIT (the program ends) or an error.
  bool WaitForMessage(MSG& message);
  bool PressCancelButton(HWND target);
  FormPeer* PeerOfWindow(HWND hwnd) const;
  HWND BoxOwner() const;
  int ShowBox(const std::string& text, UINT icon);

  HINSTANCE Instance_;
  bool Terminated_ = false;
  ui::Form* MainForm_ = nullptr;
  std::vector<FormPeer*> Forms_;  // in creation order
  std::vector<ui::Form*> Modal_;  // forms shown modally, innermost last
  std::map<ui::Timer*, UINT_PTR> TimerIds_;
  std::map<UINT_PTR, ui::Timer*> TimersById_;
  UINT_PTR NextTimerId_ = 1;
  std::map<std::pair<std::string, int>, HFONT> Fonts_;
  std::map<ColorRef, HBRUSH> Brushes_;
};

}  // namespace platform::win32
