#pragma once
// The base of every window the toolkit makes: the object owns the window's state
// and its messages are dispatched to named handlers. The object's address is kept
// in the window's GWLP_USERDATA, for the toolkit's own window classes and for the
// standard controls alike, so that a container can hand its children's
// notifications back to the child's object.
#include <exception>

#include "platform/win32/Win32Api.h"

namespace platform::win32 {

class Window {
 public:
  Window() = default;
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return Hwnd_; }
  // The object of a window made by the toolkit, or nullptr.
  static Window* FromHandle(HWND hwnd);

  // The window procedure of the toolkit's own window classes. The object is passed
  // as the creation parameter of CreateWindowExW.
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Registers one of the toolkit's window classes; false (reported) on failure.
  static bool RegisterClass(HINSTANCE instance, const wchar_t* name, HCURSOR cursor, HICON icon);

  // An exception raised in a handler cannot pass through the system's code that
  // called the window procedure: it is kept here, and the message loop raises it
  // again once DispatchMessageW has returned.
  static void RethrowPending();

  // Notifications a container receives about this window, as its child.
  virtual void OnCommand(WORD /*code*/) {}
  virtual HBRUSH OnControlColor(HDC /*dc*/) { return nullptr; }
  virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}

 protected:
  // Messages of the toolkit's own classes; the default handling is DefWindowProcW.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Links a standard control (made with CreateWindowExW) to this object.
  void Attach(HWND hwnd);
  // Destroys the window if it is still this object's.
  void DestroyHandle();
  // Hands WM_COMMAND, WM_CTLCOLOR* and WM_DRAWITEM to the child they concern.
  bool RouteChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND Hwnd_ = nullptr;

 private:
  static std::exception_ptr Pending_;
};

}  // namespace platform::win32
