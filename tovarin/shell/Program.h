#pragma once
// The program: its three windows and the start-up order, for any backend.
#include <memory>

#include "platform/ui/Ui.h"
#include "tovarin/shell/Services.h"
#include "tovarin/shell/Unit1.h"
#include "tovarin/shell/Unit2.h"
#include "tovarin/shell/Unit3.h"

namespace tovarin {

// The three windows, held for the life of the program.
struct Program {
  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TForm2> Form2;
  std::unique_ptr<TForm3> Form3;
};

// Sets the application title and creates the main window, the settings dialog and
// the information window, in this order. Throws ui::FrameworkError when a window
// cannot be built (a picture file missing).
void CreateForms(ui::Application& app, Services& sys, Program& program);

// The whole program: creates the windows and runs the message loop until the main
// window closes, inside one guard that shows a toolkit error and ends. Returns the
// process exit code.
int RunProgram(ui::Application& app, Services& sys);

}  // namespace tovarin
