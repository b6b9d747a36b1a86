#include "sim/Operator.h"

namespace simworld {

void Operator::Register(const std::string& path) {
  App_.OpenDialogResponder = [path](ui::OpenDialog& dialog) {
    dialog.FileName = path;
    return true;
  };
  App_.Click(Program_.Form1->SpeedButton1);
}

void Operator::StartMatch(const MatchSettings& settings) {
  tovarin::TForm2& dialog = *Program_.Form2;
  App_.ModalResponder = [&dialog, settings](ui::Form& form) {
    if (&form != &dialog) return ui::mrOk;
    (settings.PuppetIsBlack ? dialog.RadioButton3 : dialog.RadioButton4).SetChecked(true);
    (settings.Port == 1 ? dialog.RadioButton14 : dialog.RadioButton15).SetChecked(true);
    dialog.Edit14.SetText(settings.Games);
    const int lines = static_cast<int>(dialog.ListBox1.Items().size());
    dialog.ListBox1.SetItemIndex(settings.ListLine < 0 ? lines - 1 : settings.ListLine);
    return ui::mrOk;
  };
  App_.Click(Program_.Form1->SpeedButton22);
}

bool Operator::MatchOver() const {
  const tovarin::TForm1& f = *Program_.Form1;
  return f.SpeedButton1.Caption() == "終了" && !f.Timer2.Enabled() && !f.Timer3.Enabled();
}

}  // namespace simworld
