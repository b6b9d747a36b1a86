// The operator at the Windows desktop for whole games under Wine. With window
// messages only (it never takes the cursor from Tovarin), it presses the start
// button, answers the settings dialog and presses OK; then it watches the match
// until it is over and presses the finish button. It prints one event a line on
// standard output, in UTF-8:
//   settings: <colour>|<port>|<games>   the dialog's state read back; the operator
//                    presses OK once a line comes on standard input
//   log: <line>      a line of the information window, read back from the window
//   cleared          the information window was emptied
//   labels: <black name>|<black clock>|<white name>|<white clock>|<moves>|<caption>
//                    the main window's labels, after each line that names a move
//   box: <text>      a message box of Tovarin's, its line breaks written as \n
//                    (the operator then stops)
//   over             the finish button came up: the match is over; the operator
//                    presses it once a line comes on standard input
//   error: <what>    the operator could not go on
//
//   wine_operator black|white GAMES TIMEOUT-S
#include "platform/win32/Win32Api.h"
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t* const MainTitle = L" 囲碁通信代理 Tovarin";
const wchar_t* const InfoTitle = L" Tovarin  情報ウインドウ  ";
const wchar_t* const SettingsTitle = L"通信対戦の設定";

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return "";
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

void Say(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

[[noreturn]] void Stop(const std::string& why) {
  Say("error: " + why);
  std::exit(1);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  return name;
}

// The text of a window of another process: captions and labels keep theirs with
// the window; an edit control is asked, and a busy program answers later.
bool TextOf(HWND hwnd, std::wstring& out) {
  if (_wcsicmp(ClassOf(hwnd).c_str(), L"Edit") != 0) {
    wchar_t text[512] = L"";
    GetWindowTextW(hwnd, text, 512);
    out = text;
    return true;
  }
  static std::vector<wchar_t> buffer(1 << 20);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_NORMAL, 500, &copied))
    return false;
  out.assign(buffer.data(), copied);
  return true;
}

std::wstring Text(HWND hwnd) {
  std::wstring text;
  TextOf(hwnd, text);
  return text;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

// A child whose window stands at (left, top) of `parent`'s client area.
HWND ChildAt(HWND parent, const wchar_t* windowClass, int left, int top) {
  for (HWND child : Descendants(parent)) {
    if (_wcsicmp(ClassOf(child).c_str(), windowClass) != 0) continue;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == left && r.top == top) return child;
  }
  return nullptr;
}

HWND ChildWithText(HWND parent, const wchar_t* text) {
  for (HWND child : Descendants(parent))
    if (Text(child) == text) return child;
  return nullptr;
}

HWND WaitForTopLevel(const wchar_t* title, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND hwnd = FindWindowW(nullptr, title);
    if (hwnd && IsWindowVisible(hwnd)) return hwnd;
    if (GetTickCount() - start > ms) return nullptr;
    Sleep(100);
  }
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// Waits for the next line on standard input: whoever runs the operator has seen
// what it printed and taken what it needs of the screen.
void AwaitGo() {
  char line[64];
  if (!std::fgets(line, sizeof line, stdin)) std::exit(1);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(L"\r\n", start);
    lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
    if (end == std::wstring::npos) return lines;
    start = end + 2;
  }
}

struct BoxSearch {
  DWORD Pid;
  HWND Found;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM data) {
  auto* s = reinterpret_cast<BoxSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != s->Pid || !IsWindowVisible(hwnd) || ClassOf(hwnd) != L"#32770") return TRUE;
  s->Found = hwnd;
  return FALSE;
}

// A message box of the process `pid`, or nullptr.
HWND BoxOf(DWORD pid) {
  BoxSearch search{pid, nullptr};
  EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::wstring BoxText(HWND box) {
  std::wstring longest;
  for (HWND child : Descendants(box)) {
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0) continue;
    std::wstring text = Text(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

// The box's text on one line, its line breaks written as "\n".
std::string OneLine(const std::wstring& text) {
  std::string out;
  for (char c : Utf8(text)) {
    if (c == '\n')
      out += "\\n";
    else if (c != '\r')
      out += c;
  }
  return out;
}

// The main window's controls, by their places in its client area.
struct MainWindow {
  HWND Window = nullptr;
  HWND Start = nullptr;   // 通信対局
  HWND Finish = nullptr;  // 登録, later 中止 and 終了
  HWND Moves = nullptr, BlackName = nullptr, WhiteName = nullptr, BlackClock = nullptr,
       WhiteClock = nullptr;

  void Find() {
    Start = ChildAt(Window, L"Button", 3, 10);
    Finish = ChildAt(Window, L"Button", 3, 174);
    Moves = ChildAt(Window, L"Static", 2, 72);
    BlackName = ChildAt(Window, L"Static", 2, 5);
    WhiteName = ChildAt(Window, L"Static", 2, 36);
    BlackClock = ChildAt(Window, L"Static", 2, 20);
    WhiteClock = ChildAt(Window, L"Static", 2, 52);
  }
  std::string Labels() const {
    return Utf8(Text(BlackName)) + "|" + Utf8(Text(BlackClock)) + "|" + Utf8(Text(WhiteName)) +
           "|" + Utf8(Text(WhiteClock)) + "|" + Utf8(Text(Moves)) + "|" + Utf8(Text(Window));
  }
};

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc != 4) {
    std::fprintf(stderr, "usage: wine_operator black|white GAMES TIMEOUT-S\n");
    return 2;
  }
  const bool puppetBlack = std::string(argv[1]) == "black";
  const std::wstring games(argv[2], argv[2] + std::strlen(argv[2]));
  const DWORD timeoutMs = static_cast<DWORD>(std::atoi(argv[3])) * 1000;
  const DWORD started = GetTickCount();

  MainWindow main;
  main.Window = WaitForTopLevel(MainTitle, 60000);
  HWND info = WaitForTopLevel(InfoTitle, 60000);
  if (!main.Window || !info) Stop("Tovarin's windows did not come up");
  main.Find();
  HWND memo = FindWindowExW(info, nullptr, L"Edit", nullptr);
  if (!main.Start || !main.Finish || !main.Moves || !memo) Stop("controls not found");
  DWORD pid = 0;
  GetWindowThreadProcessId(main.Window, &pid);

  // The first tick of the clock lists the registered programs.
  for (;;) {
    std::wstring text;
    if (TextOf(memo, text) && text.find(L"登録済みプログラム総数") != std::wstring::npos) break;
    if (GetTickCount() - started > 30000) Stop("the registry was not listed");
    Sleep(100);
  }

  Press(main.Start);
  HWND settings = WaitForTopLevel(SettingsTitle, 30000);
  if (!settings) Stop("no settings dialog");
  HWND black = ChildWithText(settings, L"傀儡が黒番");
  HWND colour = puppetBlack ? black : ChildWithText(settings, L"傀儡が白番");
  HWND port = ChildWithText(settings, L" COM 1");
  HWND count = nullptr;
  for (HWND child : Descendants(settings))
    if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0) count = child;
  HWND ok = ChildAt(settings, L"Button", 54, 230);
  if (!black || !colour || !port || !count || !ok) Stop("settings dialog controls not found");
  // Sent, not posted: each is done before the state is read back.
  SendMessageW(colour, BM_CLICK, 0, 0);
  SendMessageW(port, BM_CLICK, 0, 0);
  SendMessageW(count, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(games.c_str()));
  Say(std::string("settings: ") +
      (SendMessageW(black, BM_GETCHECK, 0, 0) == BST_CHECKED ? "black" : "white") + "|" +
      (SendMessageW(port, BM_GETCHECK, 0, 0) == BST_CHECKED ? "COM1" : "COM2") + "|" +
      Utf8(Text(count)));
  AwaitGo();
  Press(ok);

  // The match: every new line of the log until the finish button comes up; the
  // log is read once more after that, so that nothing written before it is missed.
  std::vector<std::wstring> seen;
  bool finishing = false;
  for (;;) {
    if (GetTickCount() - started > timeoutMs) Stop("the match did not end in time");
    if (!IsWindow(main.Window)) Stop("Tovarin has gone");
    // A box is told after the log is read once more: the lines written just
    // before it went up come first.
    HWND box = BoxOf(pid);
    std::wstring text;
    bool read = TextOf(memo, text);
    // Tovarin may be busy putting the box up: that read is tried again.
    for (int tries = 0; box && !read && tries < 20; ++tries) read = TextOf(memo, text);
    if (read) {
      std::vector<std::wstring> lines = Lines(text);
      std::size_t same = 0;
      while (same < seen.size() && same < lines.size() && lines[same] == seen[same]) ++same;
      if (same < seen.size()) {
        Say("cleared");
        same = 0;
      }
      for (std::size_t i = same; i < lines.size(); ++i) {
        Say("log: " + Utf8(lines[i]));
        if (lines[i].find(L"手目  位置は") != std::wstring::npos) Say("labels: " + main.Labels());
      }
      seen = std::move(lines);
    }
    if (box) {
      Say("box: " + OneLine(BoxText(box)));
      return 1;
    }
    if (finishing && read) break;
    if (Text(main.Finish) == L"終了") finishing = true;
    Sleep(100);
  }
  Say("labels: " + main.Labels());
  Say("over");
  AwaitGo();
  Press(main.Finish);
  return 0;
}
