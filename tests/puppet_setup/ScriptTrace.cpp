// Temporary: records every desktop and clock call each profile's scripts make, for
// every branch, into the file named by SCRIPT_TRACE_OUT.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#define private public
#include "tovarin/shell/Unit1.h"
#undef private
#include "tests/support/World.h"
#include "tovarin/shell/Unit2.h"
#include "tovarin/shell/Unit3.h"

namespace {

struct Recorder final : platform::Desktop, platform::Clock {
  std::ostringstream Out;
  unsigned Seed = 0;
  std::uint32_t Now = 5000;
  platform::Rect Window{0, 0, 500, 400};
  int W = 1024, H = 768;
  platform::Point Cursor{};
  int ScreenWidth() override { return W; }
  int ScreenHeight() override { return H; }
  int DisplayScalePercent() override { return 100; }
  platform::ColorRef Pixel(int x, int y) override {
    static const platform::ColorRef colours[] = {platform::Rgb(0, 0, 0), platform::Rgb(255, 255, 255),
                                                 platform::Rgb(192, 192, 192), platform::Rgb(0, 0, 128),
                                                 platform::Rgb(10, 20, 30)};
    unsigned h = static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u ^ Seed * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    platform::ColorRef c = Seed == 100 ? colours[0] : Seed == 101 ? colours[4] : colours[h % 5];
    Out << "pixel " << x << "," << y << " -> " << c << "\n";
    return c;
  }
  void Snapshot(const platform::Rect&, platform::ScreenSnapshot&) override { Out << "snapshot\n"; }
  platform::WindowHandle FindWindowByTitle(std::string_view t) override {
    Out << "find " << t << "\n";
    return 7;
  }
  bool GetWindowRect(platform::WindowHandle, platform::Rect& out) override {
    out = Window;
    Out << "getrect\n";
    return true;
  }
  bool SetWindowPos(platform::WindowHandle w, platform::WindowHandle a, int x, int y, int cx, int cy,
                    unsigned f) override {
    Out << "setpos " << w << " " << a << " " << x << "," << y << " " << cx << "x" << cy << " " << f << "\n";
    Window = {x, y, x + cx, y + cy};
    return true;
  }
  bool ActivateWindow(platform::WindowHandle w) override {
    Out << "activate " << w << "\n";
    return true;
  }
  bool SetForegroundWindow(platform::WindowHandle w) override {
    Out << "foreground " << w << "\n";
    return true;
  }
  void SetCursorPos(int x, int y) override {
    Cursor = {x, y};
    Out << "cursor " << x << "," << y << "\n";
  }
  platform::Point CursorPos() override { return Cursor; }
  void MouseLeftDown() override { Out << "down\n"; }
  void MouseLeftUp() override { Out << "up\n"; }
  void MouseMoveBy(int dx, int dy) override { Out << "moveby " << dx << "," << dy << "\n"; }
  void KeyDown(std::uint8_t k) override { Out << "keydown " << int(k) << "\n"; }
  void KeyUp(std::uint8_t k) override { Out << "keyup " << int(k) << "\n"; }
  bool StartProgram(std::string_view p, std::string_view f) override {
    Out << "start " << p << " in " << f << "\n";
    return true;
  }
  std::uint32_t TickCount() override { return Now; }
  void Sleep(std::uint32_t ms) override {
    Out << "sleep " << ms << "\n";
    Now += ms;
  }
};

TEST(ScriptTrace, Dump) {
  const char* path = std::getenv("SCRIPT_TRACE_OUT");
  if (!path) GTEST_SKIP();
  std::ofstream file(path);
  testing_world::World world(1024, 768, false);
  Recorder rec;
  tovarin::Services sys{rec, rec, world.Loader, world.Files};
  tovarin::Program program;
  tovarin::CreateForms(world.App, sys, program);
  tovarin::TForm1& f = *program.Form1;
  for (int p = 1; p <= 18; ++p) f.AppendRegistration(p, "C:\\Games\\P" + std::to_string(p) + "\\X.EXE");
  f.RegisteredCount = 18;
  for (int p = 0; p <= 19; ++p) {
    auto section = [&](const std::string& name) {
      file << "== profile " << p << " " << name << "\n" << rec.Out.str();
      rec.Out.str("");
    };
    for (int w : {1024, 800}) {
      rec.W = w;
      rec.H = w == 1024 ? 768 : 600;
      f.LaunchPuppet(p);
      section("launch w" + std::to_string(w));
      f.ProfileNo = 0;
      f.FindPuppet(p);
      section("find");
      rec.Window = {0, 0, f.TargetWidth, f.TargetHeight};
      f.PlacePuppetWindow();
      section("place");
      rec.Window = {20, 20, 320, 320};
      f.PlacePuppetWindow();
      section("place moved");
      f.ProfileNo = p;
      f.PuppetRect = {0, 0, f.TargetWidth, f.TargetHeight};
      for (unsigned seed : {0u, 1u, 2u, 3u, 4u, 5u, 100u, 101u}) {
        rec.Seed = seed;
        f.SetPuppetOptions();
        section("options seed " + std::to_string(seed));
        for (int black : {0, 1})
          for (int game : {1, 2, 3}) {
            f.PuppetIsBlack = black;
            f.GameNo = game;
            f.ListChoice = 1;
            f.StartPuppetGame();
            section("newgame black " + std::to_string(black) + " game " + std::to_string(game) +
                    " list " + std::to_string(f.ListChoice));
          }
        for (int partnerLast : {0, 1})
          for (int handled : {0, 1}) {
            f.PassDialogHandled = handled;
            f.MoveCount = 10;
            f.FinishGameOnPasses(partnerLast);
            section("end partner " + std::to_string(partnerLast) + " handled " + std::to_string(handled) +
                    " after " + std::to_string(f.PassDialogHandled));
          }
      }
      f.LayOutAroundPuppet();
      file << "layout " << f.Left() << " " << program.Form3->Left() << "," << program.Form3->Top() << " "
           << program.Form3->Width() << "x" << program.Form3->Height() << "\n";
      section("layout");
    }
  }
}

}  // namespace
