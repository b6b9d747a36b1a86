#pragma once
// The match settings dialog: the puppet's colour, the serial port, the length of
// the series and the registered program to start.
#include "platform/ui/Ui.h"
#include "tovarin/shell/Services.h"

namespace tovarin {

class TForm2 : public ui::Form {
 public:
  explicit TForm2(ui::Application& app);

  ui::BitBtn BitBtn1;  // OK
  ui::BitBtn BitBtn2;  // cancel, also the Escape key
  ui::Image Image1;    // background picture
  ui::Panel Panel2;
  ui::RadioButton RadioButton3;  // puppet plays black
  ui::RadioButton RadioButton4;  // puppet plays white
  ui::Panel Panel7;
  ui::Label Label16;
  ui::RadioButton RadioButton14;  // COM 1
  ui::RadioButton RadioButton15;  // COM 2
  ui::Edit Edit14;                // series length
  ui::ListBox ListBox1;           // registered programs

  // Each showing starts the series length at "1", with the keyboard focus there.
  void FormShow();

  // The settings as the other parts read them after OK.
  int PuppetIsBlack() const { return RadioButton3.Checked() ? 1 : 0; }
  int PortNumber() const { return RadioButton14.Checked() ? 1 : 2; }
  // The series length; text that is not a decimal integer counts as 0.
  int SeriesLength() const;
};

// The integer value of `text`, or 0 when it is not a decimal integer.
int IntegerOrZero(const std::string& text);

}  // namespace tovarin
