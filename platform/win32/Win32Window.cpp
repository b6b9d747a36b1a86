#include "platform/win32/Win32Window.h"

#include "platform/win32/Win32Text.h"

namespace platform::win32 {

std::exception_ptr Window::Pending_;

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Window::RegisterClass(HINSTANCE instance, const wchar_t* name, HCURSOR cursor, HICON icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Window::Procedure;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  if (RegisterClassExW(&wc)) return true;
  if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
  ReportLastError("RegisterClassExW");
  return false;
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->Hwnd_ = hwnd;
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    if (!Pending_) Pending_ = std::current_exception();
    result = 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->Hwnd_ = nullptr;
  }
  return result;
}

void Window::RethrowPending() {
  if (!Pending_) return;
  std::exception_ptr e = Pending_;
  Pending_ = nullptr;
  std::rethrow_exception(e);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(Hwnd_, message, wParam, lParam);
}

void Window::Attach(HWND hwnd) {
  Hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::DestroyHandle() {
  HWND hwnd = Hwnd_;
  if (!hwnd) return;
  Hwnd_ = nullptr;
  // The window may already be gone with its parent or owner.
  if (IsWindow(hwnd) && FromHandle(hwnd) == this) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
}

bool Window::RouteChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (lParam == 0) return false;  // menus and accelerators
      if (Window* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
        child->OnCommand(HIWORD(wParam));
        result = 0;
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (Window* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = child->OnControlColor(reinterpret_cast<HDC>(wParam))) {
          result = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      }
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Window* child = FromHandle(item->hwndItem)) {
        child->OnDrawItem(*item);
        result = TRUE;
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace platform::win32
