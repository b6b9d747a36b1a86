#pragma once
// A whole simulated world for tests: a manual clock, the simulated desktop, the
// headless toolkit with Tovarin's windows on that desktop, and the program's three
// windows created as at start-up, in a fresh temporary working folder that holds
// the pictures (so registry files land there too).
#include <filesystem>
#include <memory>
#include <string>

#include "platform/headless/HeadlessUi.h"
#include "platform/headless/SimClock.h"
#include "platform/headless/SimDesktop.h"
#include "platform/posix/PosixSystem.h"
#include "tests/support/Files.h"
#include "tovarin/shell/Program.h"

namespace testing_world {

// Copies the four pictures of the source tree into <folder>/bmp.
void AddPictures(const std::filesystem::path& folder);

// The library loader the program is given: the native one, or a stand-in that a
// test puts in its place.
class LoaderSwitch final : public platform::LibraryLoader {
 public:
  explicit LoaderSwitch(platform::LibraryLoader& target) : Target(&target) {}
  platform::LibraryLoader* Target;
  platform::LibraryHandle Load(std::string_view name) override { return Target->Load(name); }
  void* Lookup(platform::LibraryHandle library, const char* name) override {
    return Target->Lookup(library, name);
  }
  void Unload(platform::LibraryHandle library) override { Target->Unload(library); }
};

// The native files, with a fixed calendar (2026-12-09 10:15:00) so that the
// records' names are known, and writes that fail while FailWrites is set.
class TestFiles final : public platform::posix::PosixFiles {
 public:
  bool FailWrites = false;
  platform::LocalTime Now() override { return {2026, 12, 9, 10, 15, 0}; }
  bool WriteWhole(std::string_view path, std::string_view text) override {
    return !FailWrites && PosixFiles::WriteWhole(path, text);
  }
};

// The name of a game's record in the kifu folder, as TestFiles dates it.
inline std::string RecordName(int game) {
  return "20261209-101500-game" + std::to_string(game) + ".sgf";
}

struct World {
  explicit World(int screenWidth = 1024, int screenHeight = 768, bool createForms = true);
  ~World();

  TempFolder Folder{TempFolder::Current};
  platform::headless::ManualClock Clock;
  platform::headless::SimDesktop Desktop;
  platform::headless::HeadlessApplication App;
  platform::posix::PosixLibraryLoader Libraries;
  LoaderSwitch Loader{Libraries};
  TestFiles Files;
  tovarin::Services Sys;
  tovarin::Program Program;

  void CreateForms() { tovarin::CreateForms(App, Sys, Program); }
  tovarin::TForm1& Form1() { return *Program.Form1; }
  tovarin::TForm2& Form2() { return *Program.Form2; }
  tovarin::TForm3& Form3() { return *Program.Form3; }
  const std::vector<std::string>& Log() { return Program.Form3->Memo1.Lines(); }
  // The main window's client surface pixel at (x, y).
  platform::ColorRef Surface(int x, int y) { return App.CanvasFor(Form1()).PixelAt(x, y); }
};

// Folder of the source tree (set by CMake).
std::filesystem::path SourceDir();

}  // namespace testing_world
