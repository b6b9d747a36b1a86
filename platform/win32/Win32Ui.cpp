// The application object of the Win32 backend: peers, timers, message loops,
// modal forms, message boxes and the file-open dialog.
#include "platform/win32/Win32Ui.h"

#include <commdlg.h>

#include <algorithm>

#include "platform/win32/Win32Peers.h"
#include "platform/win32/Win32Text.h"

namespace platform::win32 {
namespace {

// Centres the next message box of this thread on the screen as it appears.
thread_local HHOOK centreHook = nullptr;

LRESULT CALLBACK CentreBoxOnScreen(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = centreHook;
  if (code == HCBT_ACTIVATE) {
    auto box = reinterpret_cast<HWND>(wParam);
    wchar_t name[16] = L"";
    GetClassNameW(box, name, 16);
    if (wcscmp(name, L"#32770") == 0) {
      RECT r{};
      GetWindowRect(box, &r);
      int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
      int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
      SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      UnhookWindowsHookEx(hook);
      centreHook = nullptr;
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

class CentredBox {
 public:
  CentredBox() {
    centreHook = SetWindowsHookExW(WH_CBT, &CentreBoxOnScreen, nullptr, GetCurrentThreadId());
    if (!centreHook) ReportLastError("SetWindowsHookExW");
  }
  ~CentredBox() {
    if (centreHook) UnhookWindowsHookEx(centreHook);
    centreHook = nullptr;
  }
  CentredBox(const CentredBox&) = delete;
  CentredBox& operator=(const CentredBox&) = delete;
};

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
         message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR;
}

}  // namespace

// While a modal form or box is up, the application's other windows take no input.
class Win32Application::DisabledForms {
 public:
  DisabledForms(const Win32Application& app, HWND except) {
    for (FormPeer* peer : app.Forms_) {
      HWND hwnd = peer->Handle();
      if (hwnd && hwnd != except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        Disabled_.push_back(hwnd);
      }
    }
  }
  ~DisabledForms() {
    for (HWND hwnd : Disabled_)
      if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
  DisabledForms(const DisabledForms&) = delete;
  DisabledForms& operator=(const DisabledForms&) = delete;

 private:
  std::vector<HWND> Disabled_;
};

Win32Application::Win32Application(HINSTANCE instance) : Instance_(instance) {
  HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  if (!Window::RegisterClass(instance, FormClass, arrow, icon) ||
      !Window::RegisterClass(instance, PanelClass, arrow, nullptr) ||
      !Window::RegisterClass(instance, ImageClass, arrow, nullptr))
    throw ui::FrameworkError("Cannot register the window classes.");
}

Win32Application::~Win32Application() {
  for (auto& [key, font] : Fonts_) DeleteObject(font);
  for (auto& [color, brush] : Brushes_) DeleteObject(brush);
}

// ---- Peers ----

std::unique_ptr<ui::Peer> Win32Application::CreatePeer(ui::Form& form) {
  // Later forms belong to the first one, the main form: they stay above it and
  // have no task-bar buttons of their own.
  HWND owner = Forms_.empty() ? nullptr : Forms_.front()->Handle();
  auto peer = std::make_unique<FormPeer>(*this, form, owner);
  Forms_.push_back(peer.get());
  return peer;
}

std::unique_ptr<ui::Peer> Win32Application::CreatePeer(ui::Control& control) {
  return MakeControlPeer(*this, control);
}

void Win32Application::FormGone(FormPeer& peer) {
  Forms_.erase(std::remove(Forms_.begin(), Forms_.end(), &peer), Forms_.end());
  if (MainForm_ == &peer.Form()) MainForm_ = nullptr;
}

HWND Win32Application::HandleOf(const ui::Form& form) const {
  auto* peer = static_cast<FormPeer*>(form.GetPeer());
  return peer ? peer->Handle() : nullptr;
}

HWND Win32Application::HandleOf(const ui::Control& control) const {
  auto* peer = static_cast<ControlPeer*>(control.GetPeer());
  return peer ? peer->Handle() : nullptr;
}

FormPeer* Win32Application::PeerOfWindow(HWND hwnd) const {
  if (!hwnd) return nullptr;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  for (FormPeer* peer : Forms_)
    if (peer->Handle() == root) return peer;
  return nullptr;
}

DWORD Win32Application::StyleOf(ui::BorderStyle style) {
  switch (style) {
    case ui::BorderStyle::Sizeable:
      return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    case ui::BorderStyle::Dialog:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case ui::BorderStyle::Single:
      break;
  }
  return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
}

DWORD Win32Application::ExStyleOf(ui::BorderStyle style) {
  return style == ui::BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0;
}

ui::FrameMetrics Win32Application::Frame(ui::BorderStyle style) const {
  // The system's own frame for the style, so that client sizes come out exact.
  RECT r{0, 0, 0, 0};
  if (!AdjustWindowRectEx(&r, StyleOf(style), FALSE, ExStyleOf(style))) {
    ReportLastError("AdjustWindowRectEx");
    return ui::FrameMetrics{};
  }
  return ui::FrameMetrics{-r.left, -r.top, r.right, r.bottom};
}

ui::Canvas& Win32Application::CanvasOf(ui::Form& form) {
  return static_cast<FormPeer*>(form.GetPeer())->Canvas();
}

HFONT Win32Application::FontFor(const ui::Font& font) {
  auto key = std::make_pair(font.Name, font.Height);
  auto it = Fonts_.find(key);
  if (it != Fonts_.end()) return it->second;
  // The height is the character height in pixels, as a negative LOGFONT height.
  HFONT handle = CreateFontW(
      -font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Widen(font.Name).c_str());
  if (!handle) {
    ReportLastError("CreateFontW");
    handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  Fonts_.emplace(key, handle);
  return handle;
}

HBRUSH Win32Application::BrushFor(ColorRef color) {
  auto it = Brushes_.find(color);
  if (it != Brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color & 0x00FFFFFF));
  if (!brush) {
    ReportLastError("CreateSolidBrush");
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  }
  Brushes_.emplace(color, brush);
  return brush;
}

// ---- Timers ----

void Win32Application::TimerChanged(ui::Timer& timer) {
  HWND hwnd = HandleOf(timer.Owner());
  auto it = TimerIds_.find(&timer);
  if (it != TimerIds_.end()) {
    KillTimer(hwnd, it->second);
    TimersById_.erase(it->second);
    TimerIds_.erase(it);
  }
  if (!timer.Enabled()) return;
  // A fresh id for every start: a tick of the timer's earlier run that is still
  // on its way belongs to no timer and is dropped.
  UINT_PTR id = NextTimerId_++;
  if (!SetTimer(hwnd, id, std::max<UINT>(timer.Interval(), USER_TIMER_MINIMUM), nullptr)) {
    ReportLastError("SetTimer");
    return;
  }
  TimerIds_[&timer] = id;
  TimersById_[id] = &timer;
}

void Win32Application::TimerDestroyed(ui::Timer& timer) {
  auto it = TimerIds_.find(&timer);
  if (it == TimerIds_.end()) return;
  KillTimer(HandleOf(timer.Owner()), it->second);
  TimersById_.erase(it->second);
  TimerIds_.erase(it);
}

void Win32Application::DeliverTimer(UINT_PTR id) {
  auto it = TimersById_.find(id);
  if (it == TimersById_.end()) return;
  ui::Timer& timer = *it->second;
  if (timer.Enabled() && timer.OnTimer) timer.OnTimer();
}

// ---- Message loops ----

bool Win32Application::Hooked(const ui::Message& message) {
  return OnMessage && OnMessage(message);
}

bool Win32Application::PressCancelButton(HWND target) {
  FormPeer* peer = PeerOfWindow(target);
  if (!peer || !IsWindowEnabled(peer->Handle())) return false;
  for (ui::Control* c : peer->Form().Controls()) {
    if (c->Kind() != ui::ControlKind::BitBtn || !c->Visible()) continue;
    auto* button = static_cast<ui::BitBtn*>(c);
    if (button->Cancel) {
      button->Click();
      return true;
    }
  }
  return false;
}

bool Win32Application::PreTranslate(MSG& message) {
  if (Hooked(ui::Message{message.message, message.wParam, message.lParam})) return true;
  if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
      PressCancelButton(message.hwnd))
    return true;
  // Tab and the arrow keys move between controls; Enter has no special meaning.
  if (IsKeyMessage(message.message) && message.wParam != VK_RETURN) {
    if (FormPeer* peer = PeerOfWindow(message.hwnd))
      if (IsDialogMessageW(peer->Handle(), &message)) return true;
  }
  return false;
}

void Win32Application::Dispatch(MSG& message) {
  if (!PreTranslate(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  Window::RethrowPending();
}

void Win32Application::ProcessMessages() {
  MSG message;
  bool any = false;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      Terminated_ = true;
      PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop too
      return;
    }
    any = true;
    Dispatch(message);
  }
  // Nothing was waiting: rest until something arrives (at most 10 ms), so that a
  // caller polling the tick count does not keep a processor busy.
  if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
}

void Win32Application::Run(ui::Form& mainForm) {
  MainForm_ = &mainForm;
  if (!mainForm.Visible()) mainForm.Show();
  while (!Terminated_) {
    MSG message;
    if (!WaitForMessage(message)) break;
    Dispatch(message);
  }
}

bool Win32Application::WaitForMessage(MSG& message) {
  BOOL got = GetMessageW(&message, nullptr, 0, 0);
  if (got == -1) {
    ReportLastError("GetMessageW");
    return false;
  }
  if (got == 0) {
    // WM_QUIT: the program ends. Post it again for any outer loop.
    Terminated_ = true;
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  return true;
}

void Win32Application::CloseForm(ui::Form& form) {
  if (std::find(Modal_.begin(), Modal_.end(), &form) != Modal_.end()) {
    form.ModalResult = ui::mrCancel;  // closing a modal form cancels it
    return;
  }
  form.Hide();
  if (&form == MainForm_) {
    Terminated_ = true;
    PostQuitMessage(0);
  }
}

int Win32Application::ShowModal(ui::Form& form) {
  HWND hwnd = HandleOf(form);
  HWND previous = GetActiveWindow();
  form.ModalResult = ui::mrNone;
  // A modal form opens centred on the screen, as a dialog does.
  form.SetBounds((GetSystemMetrics(SM_CXSCREEN) - form.Width()) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - form.Height()) / 2, form.Width(), form.Height());
  {
    DisabledForms others(*this, hwnd);
    Modal_.push_back(&form);
    ++ModalDepth_;
    struct PopModal {
      std::vector<ui::Form*>& Stack;
      int& Depth;
      ~PopModal() {
        Stack.pop_back();
        --Depth;
      }
    } pop{Modal_, ModalDepth_};
    form.Show();
    while (form.ModalResult == ui::mrNone && !Terminated_) {
      if (!IsWindowVisible(hwnd)) break;
      MSG message;
      if (!WaitForMessage(message)) break;
      Dispatch(message);
    }
  }  // the other windows take input again before this one goes
  form.Hide();
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  if (form.ModalResult == ui::mrNone) form.ModalResult = ui::mrCancel;
  return form.ModalResult;
}

// ---- Boxes and dialogs ----

HWND Win32Application::BoxOwner() const {
  HWND active = GetActiveWindow();
  if (PeerOfWindow(active)) return active;
  for (FormPeer* peer : Forms_)
    if (peer->Handle() && IsWindowVisible(peer->Handle())) return peer->Handle();
  return nullptr;
}

int Win32Application::ShowBox(const std::string& text, UINT icon) {
  HWND owner = BoxOwner();
  std::wstring body = Widen(text), caption = Widen(Title());
  DisabledForms others(*this, owner);
  CentredBox centred;
  ++ModalDepth_;
  int result = ::MessageBoxW(owner, body.c_str(), caption.c_str(), MB_OK | icon);
  --ModalDepth_;
  if (result == 0) ReportLastError("MessageBoxW");
  return result;
}

void Win32Application::MessageBox(const std::string& text) { ShowBox(text, 0); }

void Win32Application::ShowError(const std::string& text) { ShowBox(text, MB_ICONERROR); }

bool Win32Application::ExecuteOpenDialog(ui::OpenDialog& dialog, ui::Form& owner) {
  // "description|pattern|..." becomes the list of NUL-separated strings the dialog
  // takes, ended by an empty one.
  std::wstring filter = Widen(dialog.Filter);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.append(2, L'\0');
  std::wstring title = Widen(dialog.Title);
  std::vector<wchar_t> file(32768, L'\0');
  std::wstring initial = WidenAnsi(dialog.FileName);
  std::copy_n(initial.begin(), std::min(initial.size(), file.size() - 1), file.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = HandleOf(owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // No further options: the choice may change the process's current directory.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;

  BOOL chosen;
  {
    DisabledForms others(*this, ofn.hwndOwner);
    chosen = GetOpenFileNameW(&ofn);
  }
  if (!chosen) {
    if (DWORD error = CommDlgExtendedError()) ReportFailure("GetOpenFileNameW", error);
    return false;
  }
  // Stored files keep paths in the ANSI code page. A path that the code page cannot
  // write would be stored wrongly, so it counts as no choice.
  std::string ansi;
  if (!ToAnsi(file.data(), ansi)) {
    ReportFailure("WideCharToMultiByte", ERROR_NO_UNICODE_TRANSLATION);
    return false;
  }
  dialog.FileName = ansi;
  return true;
}

}  // namespace platform::win32
