#include "tovarin/shell/Program.h"

namespace tovarin {

void CreateForms(ui::Application& app, Services& sys, Program& program) {
  app.SetTitle(StartupTitle);
  program.Form1 = std::make_unique<TForm1>(app, sys);
  program.Form2 = std::make_unique<TForm2>(app);
  program.Form3 = std::make_unique<TForm3>(app, sys);
  program.Form1->Settings = program.Form2.get();
  program.Form1->Info = program.Form3.get();
  program.Form3->Show();
}

int RunProgram(ui::Application& app, Services& sys) {
  Program program;
  try {
    CreateForms(app, sys, program);
    app.Run(*program.Form1);
  } catch (const ui::FrameworkError& e) {
    app.ShowError(e.what());
    return 1;
  }
  return 0;
}

}  // namespace tovarin
