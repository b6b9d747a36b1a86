#include "tovarin/shell/Unit2.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/System.h"

namespace tovarin {

TForm2::TForm2(ui::Application& app)
    : ui::Form(app, "Form2"),
      BitBtn1(*this, "BitBtn1", {54, 230, 120, 38}, ui::mrOk),
      BitBtn2(*this, "BitBtn2", {200, 230, 123, 38}, ui::mrCancel),
      Image1(*this, "Image1", {0, 0, 15, 15}),
      // The two panels are wider than designed (154): the series label's blanks
      // take half an em each in the fonts the system substitutes, which puts its
      // last character at 159 to 179, past a 154-pixel panel that would cut it off.
      Panel2(*this, "Panel2", {18, 24, 180, 80}),
      RadioButton3(*this, "RadioButton3", {15, 16, 126, 17}, &Panel2),
      RadioButton4(*this, "RadioButton4", {15, 46, 126, 17}, &Panel2),
      Panel7(*this, "Panel7", {18, 112, 180, 104}),
      Label16(*this, "Label16", {9, 72, 171, 19}, &Panel7),
      RadioButton14(*this, "RadioButton14", {15, 12, 105, 21}, &Panel7),
      RadioButton15(*this, "RadioButton15", {15, 42, 105, 21}, &Panel7),
      Edit14(*this, "Edit14", {90, 71, 32, 23}, &Panel7),
      ListBox1(*this, "ListBox1", {200, 24, 140, 189}) {
  SetCaption("通信対戦の設定");
  SetBorder(ui::BorderStyle::Dialog);
  SetColor(ui::clSilver);
  SetFont(ui::Font{"ＭＳ 明朝", 13, ui::clYellow});
  SetClientSize(372, 339);
  Hide();

  BitBtn1.SetFont(ui::Font{"HG正楷書体-PRO", 19, ui::clGreen});
  BitBtn1.TabOrder = 1;
  BitBtn2.SetFont(ui::Font{"ＭＳ Ｐゴシック", 13, ui::clRed});
  BitBtn2.Cancel = true;
  BitBtn2.TabOrder = 0;
  Panel2.SetColor(ui::cl3DLight);
  Panel2.TabOrder = 2;
  RadioButton3.SetCaption("傀儡が黒番");
  RadioButton3.SetFont(ui::Font{"HG正楷書体-PRO", 19, ui::clBlue});
  RadioButton3.SetChecked(true);
  RadioButton4.SetCaption("傀儡が白番");
  RadioButton4.SetFont(ui::Font{"HG正楷書体-PRO", 19, ui::clFuchsia});
  Panel7.SetColor(ui::cl3DLight);
  Panel7.TabOrder = 3;
  Label16.SetCaption("連続対戦       回");
  Label16.SetFont(ui::Font{"HG正楷書体-PRO", 19, ui::clGray});
  RadioButton14.SetCaption(" COM 1");
  RadioButton14.SetFont(ui::Font{"HG正楷書体-PRO", 19, ui::clBlue});
  RadioButton14.SetChecked(true);
  RadioButton15.SetCaption(" COM 2");
  RadioButton15.SetFont(ui::Font{"HG正楷書体-PRO", 19, ui::clGreen});
  Edit14.SetText("014");
  Edit14.SetFont(ui::Font{"ＭＳ 明朝", 15, ui::clBlue});
  ListBox1.SetFont(ui::Font{"ＭＳ 明朝", 15, ui::clBlue});
  ListBox1.ItemHeight = 15;
  ListBox1.TabOrder = 4;

  // The background picture covers the whole client area.
  Image1.Stretch = true;
  Image1.SetBounds(0, 0, 372, 340);
  Image1.LoadFromFile(platform::NativePath(".\\bmp\\sswaku.bmp"));

  OnShow = [this] { FormShow(); };
}

void TForm2::FormShow() {
  Edit14.SetText("1");
  Edit14.SetFocus();
}

int TForm2::SeriesLength() const { return IntegerOrZero(Edit14.Text()); }

int IntegerOrZero(const std::string& text) {
  // A decimal integer with an optional sign and surrounding blanks, in int range.
  const char* s = text.c_str();
  while (*s == ' ') ++s;
  if (*s == '\0') return 0;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s, &end, 10);
  if (end == s || errno == ERANGE || v < INT_MIN || v > INT_MAX) return 0;
  while (*end == ' ') ++end;
  if (*end != '\0') return 0;
  return static_cast<int>(v);
}

}  // namespace tovarin
