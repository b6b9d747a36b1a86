#include "tovarin/shell/Unit3.h"

namespace tovarin {

TForm3::TForm3(ui::Application& app, Services& sys)
    : ui::Form(app, "Form3"), Memo1(*this, "Memo1", {1, 0, 400, 344}) {
  SetCaption(InfoCaption);
  SetBorder(ui::BorderStyle::Sizeable);
  SetFont(ui::Font{"ＭＳ Ｐゴシック", 12, ui::clBlack});
  SetBounds(0, 0, 410, 372);
  Memo1.SetColor(ui::clNavy);
  Memo1.SetFont(ui::Font{"ＭＳ 明朝", 16, ui::clWhite});
  Memo1.ReadOnly = true;
  Memo1.VerticalScrollBar = true;
  Memo1.TabStop = false;
  Memo1.Append("");
  OnResize = [this] { FormResize(); };
  // Bottom-left corner of the screen.
  SetBounds(0, sys.Desktop.ScreenHeight() - Height(), Width(), Height());
}

void TForm3::FormResize() {
  Memo1.SetBounds(Memo1.Left(), Memo1.Top(), Width() - 10, Height() - 28);
}

}  // namespace tovarin
