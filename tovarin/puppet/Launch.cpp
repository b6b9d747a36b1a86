// Launch and placement: the registered puppet is started, found by its title and
// put at (0, 0) with its target size, because every point Tovarin reads or clicks
// is a fixed screen coordinate of the profile.
#include <cstdio>
#include <string>

#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Unit1.h"
#include "tovarin/shell/Unit2.h"

namespace tovarin {
namespace {

// Where the platform keeps a minimised window.
constexpr int MinimisedLeft = 3000;

std::string Position(int x, int y) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d,%d)", x, y);
  return text;
}

}  // namespace

bool TForm1::PreparePuppet() {
  const int width = Sys.Desktop.ScreenWidth();
  if (width < 750) {
    App().MessageBox("画面サイズを(800,600)以上に広げないと対戦できません");
    return false;
  }
  LogLine(NoticeRule);
  // The program chosen in the settings dialog. Without a selected line (or with
  // one past the listed entries) there is no profile to take.
  int line = Settings ? Settings->ListBox1.ItemIndex() : -1;
  if (line < 0 || line >= RegisteredCount || line >= RegisteredMax) {
    App().MessageBox("対戦するプログラムが選ばれていません！");
    return false;
  }
  int profile = RegisteredProfiles[static_cast<std::size_t>(line)];
  // A hand-edited list may hold a number of no supported program. It has no
  // registered path of its own: nothing is started.
  if (profile < 1 || profile > puppet::ProfileCount) {
    App().MessageBox("不明なプログラムは対戦できません！");
    return false;
  }
  if (width < puppet::GeometryOf(profile)->MinScreenWidth) {
    App().MessageBox("画面サイズを(1024,768)以上に広げないと対戦できません");
    return false;
  }
  if (!LaunchPuppet(profile)) return false;
  FindPuppet(profile);
  if (ProfileNo == 0) {
    App().MessageBox("傀儡は見付かりません！");
    LogLine("傀儡は見付かりませんでした！");
    LogLine(NoticeRule);
    return false;
  }
  // A window that is not in place would be driven blind: its log lines say why.
  if (!PlacePuppetWindow()) return false;
  Activate();
  ParkCursor();
  return true;
}

bool TForm1::LaunchPuppet(int profile) {
  if (!LookUpRegisteredPath(profile)) {
    App().MessageBox("指定したファイルが見付かりません！");
    return false;
  }
  // The puppet starts in its own folder. Whether it started shows later, as a
  // window that is found or not.
  std::size_t cut = PuppetPath.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : PuppetPath.substr(0, cut + 1);
  Sys.Desktop.StartProgram(PuppetPath, folder);

  // Opening screens are clicked away, and the program is given time to settle.
  if (const puppet::Profile* p = puppet::ProfileOf(profile)) RunScript(p->Launch);
  return true;
}

bool TForm1::PlacePuppetWindow() {
  Sys.Desktop.GetWindowRect(PuppetWindow, PuppetRect);
  LogLine("");
  LogLine("初期 位置：" + Position(PuppetRect.Left, PuppetRect.Top));
  LogLine("     サイズ：" + Position(PuppetRect.Width(), PuppetRect.Height()));
  const bool atOrigin = PuppetRect.Left == 0 && PuppetRect.Top == 0;
  const bool rightSize = PuppetRect.Width() == TargetWidth && PuppetRect.Height() == TargetHeight;
  if (PuppetRect.Left == MinimisedLeft) {
    LogLine("タスクバーで寝ている よ！");
    LogLine("通信対戦エラーになりました！");
    return false;
  }
  auto finish = [this](const char* okLine) {
    SetPuppetOptions();
    // The options are set at the origin; some puppets play elsewhere.
    const puppet::Geometry* g = puppet::GeometryOf(ProfileNo);
    if (g && g->PlayLeft != 0) ShiftPuppetWindow(g->PlayLeft);
    LogLine(okLine);
  };
  if (atOrigin && rightSize) {
    finish("傀儡前準備 OK");
    return true;
  }
  Sys.Desktop.SetWindowPos(PuppetWindow, platform::InsertBottom, 0, 0, TargetWidth, TargetHeight,
                           platform::SwpShowWindow);
  Sys.Clock.Sleep(1000);
  Sys.Desktop.GetWindowRect(PuppetWindow, PuppetRect);
  LogLine("");
  if (!atOrigin)
    LogLine("傀儡位置を" + Position(PuppetRect.Left, PuppetRect.Top) + "に移動しました！");
  if (!rightSize)
    LogLine("傀儡サイズを" + Position(PuppetRect.Width(), PuppetRect.Height()) +
            "に調整しました！");
  // A window that keeps a size of its own still puts its board at the fixed place
  // when it stands at the origin; the look before the first game tells whether it
  // does.
  if (PuppetRect.Left == 0 && PuppetRect.Top == 0) {
    finish("傀儡前化粧 OK");
    return true;
  }
  LogLine("この傀儡を操る事は出来ません！");
  return false;
}

void TForm1::ShiftPuppetWindow(int x) {
  Sys.Desktop.SetWindowPos(PuppetWindow, platform::InsertBottom, x, 0, TargetWidth, TargetHeight,
                           platform::SwpShowWindow);
  Sys.Desktop.GetWindowRect(PuppetWindow, PuppetRect);
  LogLine("傀儡位置を" + Position(PuppetRect.Left, PuppetRect.Top) + "にセットしました");
  Sys.Clock.Sleep(500);
}

}  // namespace tovarin
