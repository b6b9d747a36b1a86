#pragma once
// The information window: the program's log.
#include "platform/ui/Ui.h"
#include "tovarin/shell/Services.h"

namespace tovarin {

inline constexpr const char* InfoCaption = " Tovarin  情報ウインドウ  ";

class TForm3 : public ui::Form {
 public:
  TForm3(ui::Application& app, Services& sys);

  ui::Memo Memo1;

  // Keeps the memo's place and fits it to the window: outer size less 10 x 28.
  void FormResize();
};

}  // namespace tovarin
