// The windows of the controls: standard controls where Windows has one (static
// text, edit boxes, list boxes, radio buttons), owner-drawn buttons for the
// caption colours, and the toolkit's own windows for panels and pictures.
#include <algorithm>

#include "platform/win32/Win32Peers.h"
#include "platform/win32/Win32Text.h"

namespace platform::win32 {
namespace {

COLORREF AsColorRef(ColorRef c) { return static_cast<COLORREF>(c & 0x00FFFFFF); }

}  // namespace

// ---- Common part ----

ControlPeer::ControlPeer(Win32Application& app, ui::Control& control)
    : App_(app), Control_(control), TextColor_(control.Font().Color), Color_(control.Color()) {}

ControlPeer::~ControlPeer() { DestroyHandle(); }

bool ControlPeer::IsGraphic() const {
  return Control_.Kind() == ui::ControlKind::Label || Control_.Kind() == ui::ControlKind::Image;
}

HWND ControlPeer::ContainerHandle() const {
  if (ui::Control* parent = Control_.Parent())
    if (auto* peer = static_cast<ControlPeer*>(parent->GetPeer())) return peer->Handle();
  return App_.HandleOf(Control_.Owner());
}

void ControlPeer::Create(const wchar_t* windowClass, DWORD style, DWORD exStyle) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (Control_.Visible()) style |= WS_VISIBLE;
  Shown_ = WindowBounds();
  ShownVisible_ = Control_.Visible();
  Caption_ = Widen(Control_.Caption());
  HWND hwnd = CreateWindowExW(exStyle, windowClass, Caption_.c_str(), style, Shown_.Left,
                              Shown_.Top, Shown_.Width, Shown_.Height, ContainerHandle(), nullptr,
                              App_.Instance(), static_cast<Window*>(this));
  if (!hwnd) {
    ReportLastError("CreateWindowExW");
    throw ui::FrameworkError("Cannot create the control " + Control_.Name() + ".");
  }
  if (FromHandle(hwnd) != this) Attach(hwnd);  // a standard control
  Font_ = App_.FontFor(Control_.Font());
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font_), FALSE);
}

ui::Bounds ControlPeer::WindowBounds() const {
  return ui::Bounds{Control_.Left(), Control_.Top(), Control_.Width(), Control_.Height()};
}

ColorRef ControlPeer::Background() const {
  // Labels and radio buttons show the colour of what holds them.
  if (Control_.Kind() == ui::ControlKind::Label || Control_.Kind() == ui::ControlKind::RadioButton)
    return Control_.Parent() ? Control_.Parent()->Color() : Control_.Owner().Color();
  return Control_.Color();
}

void ControlPeer::Changed() {
  if (!Hwnd_) return;
  SyncKind();
  ui::Bounds b = WindowBounds();
  if (b.Left != Shown_.Left || b.Top != Shown_.Top || b.Width != Shown_.Width ||
      b.Height != Shown_.Height) {
    Shown_ = b;
    if (!SetWindowPos(Hwnd_, nullptr, b.Left, b.Top, b.Width, b.Height,
                      SWP_NOZORDER | SWP_NOACTIVATE))
      ReportLastError("SetWindowPos");
  }
  // A memo's and a list's text are their lines.
  bool hasCaption =
      Control_.Kind() != ui::ControlKind::Memo && Control_.Kind() != ui::ControlKind::ListBox;
  std::wstring caption = Widen(Control_.Caption());
  if (hasCaption && caption != Caption_) {
    Caption_ = caption;
    SetWindowTextW(Hwnd_, Caption_.c_str());
  }
  HFONT font = App_.FontFor(Control_.Font());
  bool repaint = false;
  if (font != Font_) {
    Font_ = font;
    SendMessageW(Hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font_), FALSE);
    repaint = true;
  }
  if (Control_.Font().Color != TextColor_ || Control_.Color() != Color_) {
    TextColor_ = Control_.Font().Color;
    Color_ = Control_.Color();
    repaint = true;
  }
  if (repaint) RedrawWindow(Hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (Control_.Visible() != ShownVisible_) {
    ShownVisible_ = Control_.Visible();
    ShowWindow(Hwnd_, ShownVisible_ ? SW_SHOWNA : SW_HIDE);
  }
}

HBRUSH ControlPeer::OnControlColor(HDC dc) {
  ColorRef back = Background();
  SetTextColor(dc, AsColorRef(Control_.Font().Color));
  SetBkColor(dc, AsColorRef(back));
  return App_.BrushFor(back);
}

namespace {

// ---- Labels ----

// A label is as wide as its caption, as the designer's labels size themselves
// to their text: a name or a clock longer than the label's design width shows
// whole instead of being cut off at it.
class LabelPeer final : public ControlPeer {
 public:
  LabelPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0);
  }

 protected:
  ui::Bounds WindowBounds() const override {
    ui::Bounds b = ControlPeer::WindowBounds();
    std::wstring caption = Widen(Control_.Caption());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, App_.FontFor(Control_.Font()));
    SIZE size{};
    if (GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size))
      b.Width = size.cx;
    SelectObject(dc, old);
    DeleteDC(dc);
    return b;
  }
};

// ---- Buttons ----

// Speed buttons and bitmap buttons: owner-drawn push buttons, so that the caption
// takes the font's colour. A bitmap button with a modal result shows a check mark
// (OK) or a cross (cancel) as its picture.
class ButtonPeer final : public ControlPeer {
 public:
  ButtonPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(L"BUTTON", BS_OWNERDRAW | BS_PUSHBUTTON, 0);
  }

  void OnCommand(WORD code) override {
    if (code != BN_CLICKED) return;
    if (Control_.Kind() == ui::ControlKind::SpeedButton)
      static_cast<ui::SpeedButton&>(Control_).Click();
    else
      static_cast<ui::BitBtn&>(Control_).Click();
  }

  void OnDrawItem(const DRAWITEMSTRUCT& item) override {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, App_.BrushFor(Control_.Color()));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT inner = r;
    InflateRect(&inner, -3, -3);
    if (pressed) OffsetRect(&inner, 1, 1);
    COLORREF ink = AsColorRef(Control_.Font().Color);
    std::wstring caption = Widen(Control_.Caption());
    if (Control_.Kind() == ui::ControlKind::BitBtn) {
      int result = static_cast<ui::BitBtn&>(Control_).ModalResult;
      int size = std::min<int>(inner.bottom - inner.top, 20);
      int left = caption.empty() ? (inner.left + inner.right - size) / 2 : inner.left + 4;
      int top = (inner.top + inner.bottom - size) / 2;
      DrawGlyph(dc, result, RECT{left, top, left + size, top + size}, ink);
      if (!caption.empty()) inner.left = left + size + 4;
    }
    if (!caption.empty()) {
      HGDIOBJ oldFont = SelectObject(dc, App_.FontFor(Control_.Font()));
      SetTextColor(dc, ink);
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &inner,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, oldFont);
    }
    if ((item.itemState & ODS_FOCUS) && Control_.Kind() == ui::ControlKind::BitBtn) {
      RECT focus = r;
      InflateRect(&focus, -4, -4);
      DrawFocusRect(dc, &focus);
    }
  }

 private:
  static void DrawGlyph(HDC dc, int modalResult, RECT box, COLORREF ink) {
    int w = box.right - box.left, h = box.bottom - box.top;
    HPEN pen = CreatePen(PS_SOLID, std::max(2, w / 7), ink);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (modalResult == ui::mrOk) {
      POINT tick[] = {{box.left + w / 8, box.top + h / 2},
                      {box.left + w * 3 / 8, box.top + h * 6 / 8},
                      {box.left + w * 7 / 8, box.top + h / 6}};
      Polyline(dc, tick, 3);
    } else if (modalResult == ui::mrCancel) {
      MoveToEx(dc, box.left + w / 6, box.top + h / 6, nullptr);
      LineTo(dc, box.right - w / 6, box.bottom - h / 6);
      MoveToEx(dc, box.right - w / 6, box.top + h / 6, nullptr);
      LineTo(dc, box.left + w / 6, box.bottom - h / 6);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
};

// ---- Pictures ----

class ImagePeer final : public ControlPeer {
 public:
  ImagePeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(ImageClass, 0, 0);
  }

  void SyncKind() override {
    // A new picture: paint it again.
    const ui::Picture& picture = static_cast<ui::Image&>(Control_).Picture();
    if (picture.Pixels().data() != Pixels_ || picture.Width() != Width_ ||
        picture.Height() != Height_) {
      Pixels_ = picture.Pixels().data();
      Width_ = picture.Width();
      Height_ = picture.Height();
      InvalidateRect(Hwnd_, nullptr, TRUE);
    }
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
      case WM_PAINT:
        OnPaint();
        return 0;
      default:
        return DefWindowProcW(Hwnd_, message, wParam, lParam);
    }
  }

 private:
  void OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd_, &ps);
    RECT client;
    GetClientRect(Hwnd_, &client);
    auto& image = static_cast<ui::Image&>(Control_);
    const ui::Picture& picture = image.Picture();
    Rect whole{0, 0, picture.Width(), picture.Height()};
    if (image.Stretch) {
      DrawPicture(dc, Rect{0, 0, client.right, client.bottom}, picture, whole);
    } else {
      FillRect(dc, &client, App_.BrushFor(Background()));
      DrawPicture(dc, whole, picture, whole);
    }
    if (picture.Empty()) FillRect(dc, &client, App_.BrushFor(Background()));
    EndPaint(Hwnd_, &ps);
  }

  ColorRef Background() const {
    return Control_.Parent() ? Control_.Parent()->Color() : Control_.Owner().Color();
  }

  const ColorRef* Pixels_ = nullptr;
  int Width_ = 0;
  int Height_ = 0;
};

// ---- Panels ----

class PanelPeer final : public ControlPeer {
 public:
  PanelPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(PanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT routed = 0;
    if (RouteChildMessage(message, wParam, lParam, routed)) return routed;
    switch (message) {
      case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(Hwnd_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, App_.BrushFor(Control_.Color()));
        return 1;
      }
      case WM_PAINT:
        OnPaint();
        return 0;
      case WM_SETTEXT:
      case WM_SIZE: {
        LRESULT result = DefWindowProcW(Hwnd_, message, wParam, lParam);
        InvalidateRect(Hwnd_, nullptr, TRUE);
        return result;
      }
      default:
        return DefWindowProcW(Hwnd_, message, wParam, lParam);
    }
  }

 private:
  void OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd_, &ps);
    RECT r;
    GetClientRect(Hwnd_, &r);
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);  // a raised bevel, one pixel wide
    std::wstring caption = Widen(Control_.Caption());
    if (!caption.empty()) {
      HGDIOBJ oldFont = SelectObject(dc, App_.FontFor(Control_.Font()));
      SetTextColor(dc, AsColorRef(Control_.Font().Color));
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, oldFont);
    }
    EndPaint(Hwnd_, &ps);
  }
};

// ---- Radio buttons ----

// Plain (not automatic) radio buttons: a click checks the control object, which
// unchecks the others of its panel, and every change comes back through Changed.
class RadioPeer final : public ControlPeer {
 public:
  RadioPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(L"BUTTON", BS_RADIOBUTTON, 0);
  }

  void SyncKind() override {
    bool checked = static_cast<ui::RadioButton&>(Control_).Checked();
    WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageW(Hwnd_, BM_GETCHECK, 0, 0)) != state)
      SendMessageW(Hwnd_, BM_SETCHECK, state, 0);
  }

  void OnCommand(WORD code) override {
    if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
    auto& radio = static_cast<ui::RadioButton&>(Control_);
    if (!radio.Checked()) radio.SetChecked(true);
  }
};

// ---- Edit boxes ----

class EditPeer final : public ControlPeer {
 public:
  EditPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE);
  }

  void OnCommand(WORD code) override {
    if (code != EN_CHANGE) return;
    // What the user typed goes into the control object.
    int length = GetWindowTextLengthW(Hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(Hwnd_, text.data(), length + 1)));
    std::string utf8 = Utf8Of(text);
    auto& edit = static_cast<ui::Edit&>(Control_);
    if (utf8 == edit.Text()) return;
    Caption_ = std::move(text);  // already shown: Changed leaves the window (and caret) alone
    edit.SetText(utf8);
  }

  void Focus() override {
    if (!Hwnd_) return;
    SetFocus(Hwnd_);
    SendMessageW(Hwnd_, EM_SETSEL, 0, -1);  // typing replaces the text
  }
};

// ---- Memos ----

// A multi-line edit control holding the lines joined by CR LF. Lines are only
// appended or all cleared, so the window's text is never rebuilt as it grows.
class MemoPeer final : public ControlPeer {
 public:
  MemoPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    CreateMemo();
  }

  void SyncKind() override { SyncStyle(); }

  void LineAppended(const std::string& line) override {
    if (!Hwnd_ || SyncStyle()) return;  // a rebuilt window already holds every line
    Append(line);
  }

  void LinesCleared() override {
    if (!Hwnd_) return;
    SetWindowTextW(Hwnd_, L"");
    LinesShown_ = 0;
  }

 private:
  void CreateMemo() {
    auto& memo = static_cast<ui::Memo&>(Control_);
    // The control object's own fields are read only once it is fully built.
    Scroll_ = Built_ && memo.VerticalScrollBar;
    Create(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_LEFT | (Scroll_ ? WS_VSCROLL : 0),
           WS_EX_CLIENTEDGE);
    SendMessageW(Hwnd_, EM_SETLIMITTEXT, 0, 0);  // no limit on the number of lines
    LinesShown_ = 0;
    ReadOnly_ = false;
  }

  // Brings the read-only state and the scroll bar in line with the memo; a scroll
  // bar is a creation style, so the window is made again with every line. True
  // when the window was made again.
  bool SyncStyle() {
    Built_ = true;
    auto& memo = static_cast<ui::Memo&>(Control_);
    bool rebuilt = false;
    if (memo.VerticalScrollBar != Scroll_) {
      DestroyHandle();
      CreateMemo();
      for (const std::string& line : memo.Lines()) Append(line);
      rebuilt = true;
    }
    if (memo.ReadOnly != ReadOnly_) {
      ReadOnly_ = memo.ReadOnly;
      SendMessageW(Hwnd_, EM_SETREADONLY, ReadOnly_ ? TRUE : FALSE, 0);
    }
    return rebuilt;
  }

  void Append(const std::string& line) {
    std::string text;
    if (LinesShown_ > 0) text = "\r\n";
    for (char c : line) {
      if (c == '\n' && (text.empty() || text.back() != '\r')) text += '\r';
      text += c;
    }
    ++LinesShown_;
    std::wstring wide = Widen(text);
    int end = GetWindowTextLengthW(Hwnd_);
    SendMessageW(Hwnd_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(Hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  }

  bool Built_ = false;
  bool Scroll_ = false;
  bool ReadOnly_ = false;
  std::size_t LinesShown_ = 0;
};

// ---- List boxes ----

class ListBoxPeer final : public ControlPeer {
 public:
  ListBoxPeer(Win32Application& app, ui::Control& control) : ControlPeer(app, control) {
    Create(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE);
  }

  void SyncKind() override {
    auto& list = static_cast<ui::ListBox&>(Control_);
    if (list.ItemHeight != ItemHeight_ && list.ItemHeight > 0) {
      ItemHeight_ = list.ItemHeight;
      SendMessageW(Hwnd_, LB_SETITEMHEIGHT, 0, MAKELPARAM(ItemHeight_, 0));
    }
    const std::vector<std::string>& items = list.Items();
    bool prefix =
        Items_.size() <= items.size() && std::equal(Items_.begin(), Items_.end(), items.begin());
    if (!prefix) Clear();
    for (std::size_t i = Items_.size(); i < items.size(); ++i) {
      std::wstring wide = Widen(items[i]);
      SendMessageW(Hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
      Items_.push_back(items[i]);
    }
    auto selected = static_cast<int>(SendMessageW(Hwnd_, LB_GETCURSEL, 0, 0));
    if (selected != list.ItemIndex())
      SendMessageW(Hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
  }

  void LinesCleared() override { Clear(); }

  void OnCommand(WORD code) override {
    if (code != LBN_SELCHANGE) return;
    auto& list = static_cast<ui::ListBox&>(Control_);
    auto selected = static_cast<int>(SendMessageW(Hwnd_, LB_GETCURSEL, 0, 0));
    if (selected != list.ItemIndex()) list.SetItemIndex(selected);
  }

 private:
  void Clear() {
    if (Hwnd_) SendMessageW(Hwnd_, LB_RESETCONTENT, 0, 0);
    Items_.clear();
  }

  int ItemHeight_ = 0;
  std::vector<std::string> Items_;
};

}  // namespace

std::unique_ptr<ui::Peer> MakeControlPeer(Win32Application& app, ui::Control& control) {
  switch (control.Kind()) {
    case ui::ControlKind::Label:
      return std::make_unique<LabelPeer>(app, control);
    case ui::ControlKind::SpeedButton:
    case ui::ControlKind::BitBtn:
      return std::make_unique<ButtonPeer>(app, control);
    case ui::ControlKind::Image:
      return std::make_unique<ImagePeer>(app, control);
    case ui::ControlKind::Memo:
      return std::make_unique<MemoPeer>(app, control);
    case ui::ControlKind::ListBox:
      return std::make_unique<ListBoxPeer>(app, control);
    case ui::ControlKind::RadioButton:
      return std::make_unique<RadioPeer>(app, control);
    case ui::ControlKind::Panel:
      return std::make_unique<PanelPeer>(app, control);
    case ui::ControlKind::Edit:
      return std::make_unique<EditPeer>(app, control);
  }
  return nullptr;
}

}  // namespace platform::win32
