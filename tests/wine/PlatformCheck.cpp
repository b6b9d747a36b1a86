// Checks of the Win32 side of the seam and of the toolkit on a real (Wine) desktop,
// run by platform_check.sh on a bare 1024 x 768 X server with code page 932 and
// the Tokyo time zone. Prints a line for every failed check; exit code 0 when all
// passed.
#include "platform/win32/Win32Api.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Ui.h"

namespace {

using platform::ColorRef;
using platform::Rect;
using platform::win32::Win32Application;
using platform::win32::Win32Desktop;

int failures = 0;
const char* section = "";

void Fail(int line, const std::string& what) {
  ++failures;
  std::printf("FAILED [%s] line %d: %s\n", section, line, what.c_str());
  std::fflush(stdout);
}

#define EXPECT(cond) \
  if (!(cond)) Fail(__LINE__, #cond)
#define EXPECT_EQ(actual, expected)                                                      \
  do {                                                                                   \
    auto a_ = (actual);                                                                  \
    auto e_ = (expected);                                                                \
    if (!(a_ == e_))                                                                     \
      Fail(__LINE__, std::string(#actual " is ") + Show(a_) + ", expected " + Show(e_)); \
  } while (false)

template <class T>
std::string Show(const T& v) {
  return std::to_string(static_cast<long long>(v));
}
std::string Show(const std::string& s) { return "\"" + s + "\""; }
std::string Show(const std::wstring& s) {
  std::string out = "L\"";
  for (wchar_t c : s) {
    char buf[16];
    std::snprintf(buf, sizeof buf, c < 128 ? "%c" : "\\u%04x", static_cast<unsigned>(c));
    out += buf;
  }
  return out + "\"";
}

DWORD sectionStart = 0;

void Begin(const char* name) {
  if (*section)
    std::printf("   %lu ms\n", static_cast<unsigned long>(GetTickCount() - sectionStart));
  section = name;
  sectionStart = GetTickCount();
  std::printf("-- %s\n", name);
  std::fflush(stdout);
}

void Pump(Win32Application& app, DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) app.ProcessMessages();
}

bool PumpUntil(Win32Application& app, const std::function<bool()>& done, DWORD ms = 3000) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) app.ProcessMessages();
  return done();
}

std::wstring TextOf(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), n + 1)));
  return text;
}

// The screen origin of a window's client area.
POINT ClientOrigin(HWND hwnd) {
  POINT p{0, 0};
  ClientToScreen(hwnd, &p);
  return p;
}

// ---- Frames and form windows ----

void CheckFrames(Win32Application& app) {
  Begin("frames");
  for (ui::BorderStyle style :
       {ui::BorderStyle::Single, ui::BorderStyle::Sizeable, ui::BorderStyle::Dialog}) {
    ui::Form form(app, "Frame");
    form.SetBorder(style);
    form.SetClientSize(274, 201);
    form.SetBounds(40, 50, form.Width(), form.Height());
    form.Show();
    HWND hwnd = app.HandleOf(form);
    RECT client{}, outer{};
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(client.right, 274);
    EXPECT_EQ(client.bottom, 201);
    EXPECT_EQ(outer.left, 40);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, form.Width());
    EXPECT_EQ(outer.bottom - outer.top, form.Height());
    ui::FrameMetrics f = app.Frame(style);
    POINT origin = ClientOrigin(hwnd);
    EXPECT_EQ(origin.x, 40 + f.Left);
    EXPECT_EQ(origin.y, 50 + f.Top);
    EXPECT_EQ(form.ClientWidth(), 274);
  }
}

void CheckDesktopWindows(Win32Application& app, Win32Desktop& desktop) {
  Begin("desktop windows");
  EXPECT_EQ(desktop.ScreenWidth(), 1024);
  EXPECT_EQ(desktop.ScreenHeight(), 768);
  ui::Form form(app, "Main");
  form.SetCaption(" 囲碁通信代理 Tovarin");
  form.SetClientSize(274, 201);
  form.SetBounds(desktop.ScreenWidth() - form.Width(), 0, form.Width(), form.Height());
  form.Show();
  HWND hwnd = app.HandleOf(form);
  EXPECT_EQ(TextOf(hwnd), std::wstring(L" 囲碁通信代理 Tovarin"));
  platform::WindowHandle found = desktop.FindWindowByTitle(" 囲碁通信代理 Tovarin");
  EXPECT(found == reinterpret_cast<platform::WindowHandle>(hwnd));
  EXPECT(desktop.FindWindowByTitle("囲碁通信代理 Tovarin") == 0);  // the title is exact
  Rect r;
  EXPECT(desktop.GetWindowRect(found, r));
  EXPECT_EQ(r.Right, 1024);
  EXPECT_EQ(r.Top, 0);
  EXPECT_EQ(r.Width(), form.Width());

  // Moved from outside, the form takes its new bounds.
  EXPECT(desktop.SetWindowPos(found, platform::InsertTop, 100, 120, 300, 250, 0));
  EXPECT(desktop.GetWindowRect(found, r));
  EXPECT(r == (Rect{100, 120, 400, 370}));
  EXPECT_EQ(form.Left(), 100);
  EXPECT_EQ(form.Width(), 300);
  EXPECT(desktop.SetWindowPos(found, platform::InsertTop, 0, 0, 0, 0,
                              platform::SwpNoMove | platform::SwpNoSize));
  EXPECT(desktop.GetWindowRect(found, r));
  EXPECT(r == (Rect{100, 120, 400, 370}));

  EXPECT(desktop.SetForegroundWindow(found));
  EXPECT(GetForegroundWindow() == hwnd);
  {
    ui::Form other(app, "Other");
    other.Show();
    EXPECT(GetForegroundWindow() == app.HandleOf(other));
    form.Activate();
    EXPECT(GetForegroundWindow() == hwnd);
    EXPECT(GetActiveWindow() == hwnd);
    EXPECT(desktop.ActivateWindow(reinterpret_cast<platform::WindowHandle>(app.HandleOf(other))));
    EXPECT(GetActiveWindow() == app.HandleOf(other));
    EXPECT(!desktop.ActivateWindow(reinterpret_cast<platform::WindowHandle>(GetDesktopWindow())));
  }

  platform::WindowHandle gone;
  {
    ui::Form other(app, "Gone");
    other.Show();
    gone = reinterpret_cast<platform::WindowHandle>(app.HandleOf(other));
  }
  EXPECT(!desktop.GetWindowRect(gone, r));
}

// ---- Drawing and reading the screen ----

void CheckScreenReads(Win32Application& app, Win32Desktop& desktop) {
  Begin("drawing and screen reads");
  ui::Picture picture(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      picture.Set(x, y, platform::Rgb(40 * x + 10, 100 * y + 20, 200 - x));
  ui::Form form(app, "Canvas");
  form.SetColor(ui::clTeal);
  form.SetClientSize(120, 80);
  form.SetBounds(200, 200, form.Width(), form.Height());
  // Each picture pixel becomes a 10 x 10 block.
  form.OnPaint = [&] { form.Canvas().CopyRect(Rect{10, 10, 50, 30}, picture, Rect{0, 0, 4, 2}); };
  form.Show();
  HWND hwnd = app.HandleOf(form);
  desktop.SetForegroundWindow(reinterpret_cast<platform::WindowHandle>(hwnd));
  Pump(app, 200);
  POINT o = ClientOrigin(hwnd);

  platform::ScreenSnapshot snap;
  desktop.Snapshot(Rect{o.x, o.y, o.x + 120, o.y + 80}, snap);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      int left = o.x + 10 + 10 * x, top = o.y + 10 + 10 * y;
      EXPECT_EQ(snap.At(left, top), picture.At(x, y));
      EXPECT_EQ(snap.At(left + 9, top + 9), picture.At(x, y));
      EXPECT_EQ(desktop.Pixel(left + 5, top + 5), picture.At(x, y));
    }
  EXPECT_EQ(snap.At(o.x + 5, o.y + 5), ui::clTeal);
  EXPECT_EQ(snap.At(o.x + 50, o.y + 30), ui::clTeal);
  // A smaller area (a bitmap of another size), with spots in it, beside it and
  // off the screen; then an area partly off the screen.
  snap.Spots = {{o.x + 15, o.y + 25}, {o.x + 5, o.y + 5}, {-1, 5}};
  desktop.Snapshot(Rect{o.x + 10, o.y + 10, o.x + 50, o.y + 30}, snap);
  EXPECT_EQ(snap.At(o.x + 49, o.y + 29), picture.At(3, 1));
  EXPECT_EQ(snap.SpotColours[0], picture.At(0, 1));
  EXPECT_EQ(snap.SpotColours[1], ui::clTeal);
  EXPECT_EQ(snap.SpotColours[2], platform::InvalidColor);
  snap.Spots.clear();
  desktop.Snapshot(Rect{-10, -10, 10, 10}, snap);
  EXPECT_EQ(snap.At(-5, -5), platform::InvalidColor);
  EXPECT(snap.At(5, 5) != platform::InvalidColor);

  // Drawing outside painting, 1:1, and a part of the picture (as stones are drawn).
  // The screen shows it once messages have been taken.
  form.Canvas().CopyRect(Rect{60, 10, 64, 12}, picture, Rect{0, 0, 4, 2});
  form.Canvas().CopyRect(Rect{70, 40, 72, 41}, picture, Rect{2, 1, 4, 2});
  Pump(app, 100);
  EXPECT_EQ(desktop.Pixel(o.x + 60, o.y + 10), picture.At(0, 0));
  EXPECT_EQ(desktop.Pixel(o.x + 63, o.y + 11), picture.At(3, 1));
  EXPECT_EQ(desktop.Pixel(o.x + 70, o.y + 40), picture.At(2, 1));
  EXPECT_EQ(desktop.Pixel(o.x + 71, o.y + 40), picture.At(3, 1));
  EXPECT_EQ(desktop.Pixel(o.x + 70, o.y + 41), ui::clTeal);

  // Uncovered, the form paints itself again.
  {
    ui::Form cover(app, "Cover");
    cover.SetColor(ui::clRed);
    cover.SetBounds(150, 150, 300, 300);
    cover.Show();
    Pump(app, 100);
    EXPECT_EQ(desktop.Pixel(o.x + 15, o.y + 15), ui::clRed);
  }
  desktop.SetForegroundWindow(reinterpret_cast<platform::WindowHandle>(hwnd));
  Pump(app, 200);
  EXPECT_EQ(desktop.Pixel(o.x + 15, o.y + 15), picture.At(0, 0));
  // Painted afresh: the background, then what the paint handler draws.
  form.Invalidate();
  Pump(app, 200);
  EXPECT_EQ(desktop.Pixel(o.x + 70, o.y + 40), ui::clTeal);
  EXPECT_EQ(desktop.Pixel(o.x + 15, o.y + 15), picture.At(0, 0));

  // Off the screen there are no pixels.
  EXPECT_EQ(desktop.Pixel(-1, 0), platform::InvalidColor);
  EXPECT_EQ(desktop.Pixel(1024, 767), platform::InvalidColor);
  desktop.Snapshot(Rect{-5, -5, 5, 5}, snap);
  EXPECT_EQ(snap.At(-1, -1), platform::InvalidColor);
  EXPECT_EQ(snap.At(0, 0), desktop.Pixel(0, 0));
  desktop.Snapshot(Rect{1020, 764, 1030, 770}, snap);
  EXPECT_EQ(snap.At(1024, 767), platform::InvalidColor);
  EXPECT_EQ(snap.At(1023, 767), desktop.Pixel(1023, 767));
}

// ---- Timers and the message hook ----

void CheckTimers(Win32Application& app) {
  Begin("timers");
  ui::Form form(app, "Timers");
  int ticks = 0;
  ui::Timer timer(form, "T", 30, true);
  timer.OnTimer = [&] { ++ticks; };
  Sleep(200);  // several intervals without taking messages: one tick
  app.ProcessMessages();
  EXPECT_EQ(ticks, 1);
  Sleep(100);
  timer.SetEnabled(false);  // the pending tick is dropped
  app.ProcessMessages();
  EXPECT_EQ(ticks, 1);
  timer.SetEnabled(true);
  EXPECT(PumpUntil(app, [&] { return ticks >= 4; }));

  // A timer gone with a tick pending leaves nothing behind.
  int late = 0;
  {
    ui::Timer brief(form, "Brief", 10, true);
    brief.OnTimer = [&] { ++late; };
    Sleep(50);
  }
  Pump(app, 50);
  EXPECT_EQ(late, 0);
}

void CheckHook(Win32Application& app) {
  Begin("message hook");
  ui::Form form(app, "Hook");
  form.Show();
  HWND hwnd = app.HandleOf(form);
  std::vector<ui::Message> seen;
  app.OnMessage = [&](const ui::Message& m) {
    if (m.Id == WM_USER + 7 || m.Id == WM_CLOSE) seen.push_back(m);
    return m.Id == WM_CLOSE;
  };
  PostMessageW(hwnd, WM_USER + 7, 5, 6);
  app.ProcessMessages();
  EXPECT_EQ(seen.size(), 1u);
  if (!seen.empty()) {
    EXPECT_EQ(seen[0].WParam, 5u);
    EXPECT_EQ(seen[0].LParam, 6);
  }
  PostMessageW(hwnd, WM_CLOSE, 0, 0);  // marked handled: never reaches the form
  app.ProcessMessages();
  EXPECT(form.Visible());
  app.OnMessage = nullptr;
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  app.ProcessMessages();
  EXPECT(!form.Visible());
  EXPECT(!IsWindowVisible(hwnd));

  // A screen-saver command sent straight to a window is caught too.
  int screenSavers = 0;
  app.OnMessage = [&](const ui::Message& m) {
    bool saver = m.Id == ui::WM_SYSCOMMAND_ && m.WParam == ui::SC_SCREENSAVE_;
    screenSavers += saver;
    return saver;
  };
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  EXPECT_EQ(screenSavers, 1);
  app.OnMessage = nullptr;
}

// ---- Controls ----

void CheckControls(Win32Application& app, Win32Desktop& desktop) {
  Begin("controls");
  ui::Form form(app, "Controls");
  form.SetColor(ui::clTeal);
  form.SetFont(ui::Font{"ＭＳ 明朝", 15, ui::clLime});
  form.SetClientSize(400, 300);
  form.SetBounds(50, 50, form.Width(), form.Height());
  ui::Label label(form, "Label", {2, 72, 90, 15});
  ui::Edit edit(form, "Edit", {100, 10, 60, 23});
  ui::ListBox list(form, "List", {200, 10, 140, 100});
  ui::Panel panel(form, "Panel", {10, 120, 154, 80});
  ui::RadioButton r1(form, "R1", {15, 10, 126, 17}, &panel);
  ui::RadioButton r2(form, "R2", {15, 40, 126, 17}, &panel);
  ui::SpeedButton button(form, "Button", {200, 150, 72, 25});
  ui::Memo memo(form, "Memo", {10, 210, 380, 80});
  panel.SetColor(ui::cl3DLight);
  memo.SetColor(ui::clNavy);
  memo.SetFont(ui::Font{"ＭＳ 明朝", 16, ui::clWhite});
  form.Show();
  HWND hwnd = app.HandleOf(form);
  Pump(app, 100);

  // Captions in UTF-16, fonts by face and pixel height with the Japanese character set.
  label.SetCaption("手数= 0");
  EXPECT_EQ(TextOf(app.HandleOf(label)), std::wstring(L"手数= 0"));
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(app.HandleOf(label), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -15);
  EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT(std::wstring(font.lfFaceName) == L"ＭＳ 明朝");
  // A label is as wide as its caption, longer or shorter than its design width.
  auto labelWidth = [&] {
    RECT r{};
    GetWindowRect(app.HandleOf(label), &r);
    return static_cast<int>(r.right - r.left);
  };
  auto textWidth = [&](const wchar_t* text) {
    HDC measure = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(
        measure, reinterpret_cast<HFONT>(SendMessageW(app.HandleOf(label), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(measure, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(measure, old);
    DeleteDC(measure);
    return static_cast<int>(size.cx);
  };
  EXPECT_EQ(labelWidth(), textWidth(L"手数= 0"));
  label.SetCaption("黒[Wendrix] 12:34:56");
  EXPECT(labelWidth() > 90);
  EXPECT_EQ(labelWidth(), textWidth(L"黒[Wendrix] 12:34:56"));
  label.SetCaption("手数= 0");

  // Colours: labels and radio buttons on their container's colour.
  HDC dc = CreateCompatibleDC(nullptr);
  auto brushColour = [](LRESULT brush) {
    LOGBRUSH lb{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
    return static_cast<ColorRef>(lb.lbColor);
  };
  LRESULT brush = SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(app.HandleOf(label)));
  EXPECT_EQ(static_cast<ColorRef>(GetTextColor(dc)), ui::clLime);
  EXPECT_EQ(static_cast<ColorRef>(GetBkColor(dc)), ui::clTeal);
  EXPECT_EQ(brushColour(brush), ui::clTeal);
  brush = SendMessageW(app.HandleOf(panel), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(app.HandleOf(r1)));
  EXPECT_EQ(brushColour(brush), ui::cl3DLight);
  brush = SendMessageW(hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(app.HandleOf(edit)));
  EXPECT_EQ(brushColour(brush), ui::clWindow);
  POINT o = ClientOrigin(hwnd);
  EXPECT_EQ(desktop.Pixel(o.x + 88, o.y + 73), ui::clTeal);  // behind the label's text

  // The edit box and its control object follow each other.
  HWND editHwnd = app.HandleOf(edit);
  SetWindowTextW(editHwnd, L"42");
  EXPECT_EQ(edit.Text(), std::string("42"));
  SetWindowTextW(editHwnd, L"三");
  EXPECT_EQ(edit.Text(), std::string("三"));
  edit.SetText("7");
  EXPECT_EQ(TextOf(editHwnd), std::wstring(L"7"));

  // The list: items, selection by program and by a click.
  HWND listHwnd = app.HandleOf(list);
  list.Add("one");
  list.Add("two");
  list.Add("three");
  EXPECT_EQ(SendMessageW(listHwnd, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(listHwnd, LB_GETITEMHEIGHT, 0, 0), 15);
  list.SetItemIndex(1);
  EXPECT_EQ(SendMessageW(listHwnd, LB_GETCURSEL, 0, 0), 1);
  RECT item{};
  SendMessageW(listHwnd, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(listHwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(listHwnd, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(list.ItemIndex(), 2);
  list.Clear();
  EXPECT_EQ(SendMessageW(listHwnd, LB_GETCOUNT, 0, 0), 0);
  list.Add("again");
  EXPECT_EQ(SendMessageW(listHwnd, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(listHwnd, LB_GETCURSEL, 0, 0), LB_ERR);

  // Radio buttons of one panel: one checked, a click moves it.
  EXPECT(GetParent(app.HandleOf(r1)) == app.HandleOf(panel));
  r1.SetChecked(true);
  EXPECT_EQ(SendMessageW(app.HandleOf(r1), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(app.HandleOf(r2), BM_CLICK, 0, 0);
  EXPECT(r2.Checked());
  EXPECT(!r1.Checked());
  EXPECT_EQ(SendMessageW(app.HandleOf(r1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(app.HandleOf(r2), BM_GETCHECK, 0, 0), BST_CHECKED);

  // A button click runs its handler; bounds and visibility reach the window.
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  SendMessageW(app.HandleOf(button), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  button.SetBounds(210, 160, 80, 30);
  RECT b{};
  GetWindowRect(app.HandleOf(button), &b);
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&b), 2);
  EXPECT(b.left == 210 && b.top == 160 && b.right == 290 && b.bottom == 190);
  button.SetVisible(false);
  EXPECT(!IsWindowVisible(app.HandleOf(button)));

  // The memo: lines joined by CR LF; read-only with a scroll bar once asked.
  memo.Append("a");
  memo.Append("b");
  EXPECT_EQ(TextOf(app.HandleOf(memo)), std::wstring(L"a\r\nb"));
  memo.ReadOnly = true;
  memo.VerticalScrollBar = true;
  memo.Append("c");
  HWND memoHwnd = app.HandleOf(memo);
  auto style = static_cast<DWORD>(GetWindowLongPtrW(memoHwnd, GWL_STYLE));
  EXPECT((style & WS_VSCROLL) != 0);
  EXPECT((style & ES_READONLY) != 0);
  EXPECT_EQ(TextOf(memoHwnd), std::wstring(L"a\r\nb\r\nc"));
  brush = SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(memoHwnd));
  EXPECT_EQ(brushColour(brush), ui::clNavy);
  EXPECT_EQ(static_cast<ColorRef>(GetTextColor(dc)), ui::clWhite);
  memo.Clear();
  EXPECT(TextOf(memoHwnd).empty());
  memo.Append("");
  memo.Append("d");
  EXPECT_EQ(TextOf(memoHwnd), std::wstring(L"\r\nd"));
  DeleteDC(dc);
}

// ---- Modal forms, message boxes, the file dialog ----

void CheckModal(Win32Application& app) {
  Begin("modal forms");
  ui::Form owner(app, "Owner");
  owner.SetBounds(0, 0, 200, 100);
  owner.Show();
  HWND ownerHwnd = app.HandleOf(owner);
  ui::Form dialog(app, "Dialog");
  dialog.SetCaption("通信対戦の設定");
  dialog.SetBorder(ui::BorderStyle::Dialog);
  dialog.SetClientSize(372, 339);
  ui::BitBtn ok(dialog, "Ok", {54, 230, 120, 38}, ui::mrOk);
  ui::BitBtn cancel(dialog, "Cancel", {200, 230, 123, 38}, ui::mrCancel);
  cancel.Cancel = true;
  ui::Edit edit(dialog, "Edit", {90, 71, 32, 23});
  HWND dialogHwnd = app.HandleOf(dialog), editHwnd = app.HandleOf(edit);
  int shows = 0;
  bool ownerEnabled = true, editFocused = false;
  dialog.OnShow = [&] {
    ++shows;
    edit.SetText("1");
    edit.SetFocus();
    ownerEnabled = IsWindowEnabled(ownerHwnd) != 0;
    editFocused = GetFocus() == editHwnd;
  };

  PostMessageW(app.HandleOf(ok), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), ui::mrOk);
  EXPECT(!ownerEnabled);
  EXPECT(editFocused);
  EXPECT(IsWindowEnabled(ownerHwnd));
  EXPECT(!IsWindowVisible(dialogHwnd));
  RECT r{};
  GetWindowRect(dialogHwnd, &r);
  EXPECT(std::abs((r.left + r.right) / 2 - 512) <= 1 &&
         std::abs((r.top + r.bottom) / 2 - 384) <= 1);

  PostMessageW(editHwnd, WM_KEYDOWN, VK_ESCAPE, 0);  // the cancel button's key
  EXPECT_EQ(dialog.ShowModal(), ui::mrCancel);

  PostMessageW(editHwnd, WM_KEYDOWN, VK_RETURN, 0);  // no default button
  PostMessageW(editHwnd, WM_KEYUP, VK_RETURN, 0);
  PostMessageW(dialogHwnd, WM_CLOSE, 0, 0);  // closing cancels
  EXPECT_EQ(dialog.ShowModal(), ui::mrCancel);
  EXPECT(!dialog.Visible());
  EXPECT_EQ(shows, 3);
}

void CheckMessageBox(Win32Application& app) {
  Begin("message boxes");
  app.SetTitle("囲碁通信代理  Tovarin");
  ui::Form form(app, "BoxOwner");
  form.SetBounds(600, 500, 200, 100);
  form.Show();
  bool found = false;
  RECT box{};
  int ticks = 0;
  ui::Timer timer(form, "Closer", 100, true);
  timer.OnTimer = [&] {
    ++ticks;  // timers run while the box is up
    HWND b = FindWindowW(L"#32770", L"囲碁通信代理  Tovarin");
    if (!b || found) return;
    found = true;
    GetWindowRect(b, &box);
    PostMessageW(b, WM_COMMAND, IDOK, 0);
  };
  app.MessageBox("テスト\n二行目");
  EXPECT(found);
  EXPECT(ticks >= 1);
  EXPECT(std::abs((box.left + box.right) / 2 - 512) <= 1 &&
         std::abs((box.top + box.bottom) / 2 - 384) <= 1);
  found = false;
  app.ShowError("エラー");
  EXPECT(found);
}

void CheckOpenDialog(Win32Application& app) {
  Begin("file-open dialog");
  EXPECT_EQ(GetACP(), 932u);
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  wchar_t wideCwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, wideCwd);
  std::wstring folder = std::wstring(wideCwd) + L"\\日本語";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring file = folder + L"\\prog.exe";
  CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  ui::Form form(app, "DialogOwner");
  form.Show();
  ui::OpenDialog dialog(form);
  dialog.FileName = "*.exe";
  dialog.Filter = "実行ファイル (*.exe)|*.exe";
  dialog.Title = "対戦ソフトの登録 (実行ファイルを指定)";
  bool found = false;
  UINT answer = IDOK;
  ui::Timer timer(form, "Chooser", 200, true);
  timer.OnTimer = [&] {
    HWND d = FindWindowW(nullptr, L"対戦ソフトの登録 (実行ファイルを指定)");
    if (!d || found) return;
    found = true;
    if (answer == IDOK) {
      // The file name box: a combo box in the explorer-style dialog, an edit box in the old.
      HWND name = GetDlgItem(d, 0x47c);
      if (!name) name = GetDlgItem(d, 0x480);
      SetWindowTextW(name, file.c_str());
    }
    PostMessageW(d, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, static_cast<int>(answer))));
  };
  EXPECT(dialog.Execute());
  EXPECT(found);
  // The path in code page 932: 日本語 is 93 FA 96 7B 8C EA.
  EXPECT_EQ(dialog.FileName, std::string(cwd) + "\\\x93\xFA\x96\x7B\x8C\xEA\\prog.exe");
  found = false;
  answer = IDCANCEL;
  std::string before = dialog.FileName;
  EXPECT(!dialog.Execute());
  EXPECT(found);
  EXPECT_EQ(dialog.FileName, before);
  SetCurrentDirectoryA(cwd);
}

// ---- Libraries, file times, the program folder, the clock ----

// The probe library, which only the program's own folder holds.
void CheckProbe(platform::LibraryLoader& loader) {
  platform::LibraryHandle probe = loader.Load("wine_probe");
  EXPECT(probe != nullptr);
  auto answer = reinterpret_cast<int (*)()>(loader.Lookup(probe, "probe_answer"));
  EXPECT(answer != nullptr && answer() == 42);
  EXPECT(loader.Lookup(probe, "no_such_export") == nullptr);
  loader.Unload(probe);
}

void CheckLibraries() {
  Begin("libraries");
  // The current directory holds a duelcom.dll. The system's search finds it there
  // until the loader is made, as the program makes it at start-up; then never.
  HMODULE planted = LoadLibraryA("duelcom");
  EXPECT(planted != nullptr);
  if (planted) FreeLibrary(planted);
  platform::win32::Win32LibraryLoader loader;
  EXPECT(loader.Load("duelcom") == nullptr);
  CheckProbe(loader);
  // The system's folders are searched too.
  platform::LibraryHandle system = loader.Load("version");
  EXPECT(system != nullptr);
  loader.Unload(system);
}

void CheckSystem() {
  Begin("system services");
  // Last-write time in local time (Tokyo, 9 hours ahead), not the creation time.
  HANDLE f = CreateFileA("stamp.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  SYSTEMTIME written{2001, 2, 6, 3, 4, 5, 6, 0}, created{1995, 7, 0, 9, 10, 11, 12, 0};
  FILETIME w{}, c{};
  SystemTimeToFileTime(&written, &w);
  SystemTimeToFileTime(&created, &c);
  EXPECT(SetFileTime(f, &c, &c, &w));
  CloseHandle(f);
  platform::win32::Win32Files files;
  platform::LocalTime t;
  EXPECT(files.LastWriteLocal("stamp.txt", t));
  EXPECT(t.Year == 2001 && t.Month == 2 && t.Day == 3 && t.Hour == 13 && t.Minute == 5 &&
         t.Second == 6);
  EXPECT(!files.LastWriteLocal("missing.txt", t));

  std::string folder = platform::ProgramFolder();
  EXPECT(!folder.empty() && folder.back() == '\\');
  EXPECT(GetFileAttributesA((folder + "platform_check.exe").c_str()) != INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::NativePath(".\\bmp\\a.bmp"), std::string(".\\bmp\\a.bmp"));

  platform::win32::Win32Clock clock;
  std::uint32_t before = clock.TickCount();
  clock.Sleep(50);
  std::uint32_t slept = clock.TickCount() - before;
  EXPECT(slept >= 40 && slept < 1000);
}

// ---- Synthetic input and starting programs ----

void CheckInput(Win32Application& app, Win32Desktop& desktop) {
  Begin("synthetic input");
  ui::Form form(app, "Input");
  form.SetClientSize(300, 200);
  form.SetBounds(300, 300, form.Width(), form.Height());
  ui::SpeedButton button(form, "Button", {20, 20, 100, 40});
  ui::Edit edit(form, "Edit", {20, 100, 100, 23});
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  form.Show();
  HWND hwnd = app.HandleOf(form);
  desktop.SetForegroundWindow(reinterpret_cast<platform::WindowHandle>(hwnd));
  Pump(app, 100);

  desktop.SetCursorPos(10, 20);
  EXPECT(desktop.CursorPos() == (platform::Point{10, 20}));
  desktop.MouseMoveBy(5, -3);
  Pump(app, 50);
  EXPECT(desktop.CursorPos() == (platform::Point{15, 17}));

  POINT o = ClientOrigin(hwnd);
  desktop.SetCursorPos(o.x + 70, o.y + 40);
  desktop.MouseLeftDown();
  Pump(app, 50);
  desktop.MouseLeftUp();
  EXPECT(PumpUntil(app, [&] { return clicks == 1; }));

  edit.SetFocus();
  for (std::uint8_t key : {std::uint8_t{'A'}, std::uint8_t{'B'}, platform::VkBack}) {
    desktop.KeyDown(key);
    desktop.KeyUp(key);
    Pump(app, 30);
  }
  EXPECT(PumpUntil(app, [&] { return edit.Text() == "a"; }));
  EXPECT_EQ(edit.Text(), std::string("a"));
}

void CheckStartProgram(Win32Desktop& desktop) {
  Begin("starting programs");
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  std::string folder = std::string(cwd) + "\\started";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string program = platform::ProgramFolder() + "platform_check.exe";
  SetEnvironmentVariableA("PLATFORM_CHECK_CHILD", "1");  // inherited: the copy only reports
  EXPECT(desktop.StartProgram(program, folder));
  SetEnvironmentVariableA("PLATFORM_CHECK_CHILD", nullptr);
  std::string report = folder + "\\child.txt", text;
  for (int i = 0; i < 200 && text.empty(); ++i) {
    Sleep(50);
    if (FILE* f = std::fopen(report.c_str(), "rb")) {
      char buf[MAX_PATH] = "";
      std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
      std::fclose(f);
      text.assign(buf, n);
    }
  }
  EXPECT_EQ(text, folder);  // started with its working directory
  EXPECT(!desktop.StartProgram(folder + "\\missing.exe", folder));
}

// The started copy: writes its current directory and ends.
int Child() {
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, cwd);
  FILE* f = std::fopen("child.tmp", "wb");
  if (!f) return 1;
  std::fputs(cwd, f);
  std::fclose(f);
  return MoveFileA("child.tmp", "child.txt") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  char flag[8];
  if (GetEnvironmentVariableA("PLATFORM_CHECK_CHILD", flag, sizeof flag) > 0) return Child();
  if (argc > 1 && std::strcmp(argv[1], "libraries") == 0) {
    // Run from a folder whose name the ANSI code page cannot hold: the program's
    // path in that code page is no path to its folder.
    Begin("libraries from a folder outside the code page");
    EXPECT(platform::ProgramFolder().find('?') != std::string::npos);  // lost in code page 932
    platform::win32::Win32LibraryLoader loader;
    CheckProbe(loader);
    Begin("end");
  } else {
    Win32Application app;
    Win32Desktop desktop;
    CheckFrames(app);
    CheckDesktopWindows(app, desktop);
    CheckScreenReads(app, desktop);
    CheckTimers(app);
    CheckHook(app);
    CheckControls(app, desktop);
    CheckModal(app);
    CheckMessageBox(app);
    CheckOpenDialog(app);
    CheckLibraries();
    CheckSystem();
    CheckInput(app, desktop);
    CheckStartProgram(desktop);
    Begin("end");
  }
  std::printf("%d failed checks\n", failures);
  return failures == 0 ? 0 : 1;
}
