// The registry as the main window shows and uses it: the listing at start-up and
// after a registration, the path of a registered program, and the registration
// command of SpeedButton1 (with its abort and finish roles).
#include <algorithm>
#include <string>

#include "tovarin/puppet/Profiles.h"
#include "tovarin/registry/RegistryFiles.h"
#include "tovarin/shell/Unit1.h"
#include "tovarin/shell/Unit2.h"

namespace tovarin {

void TForm1::EnsureRegistryFiles() { registry::EnsureFiles(); }

bool TForm1::ReadAndListRegistry() {
  EnsureRegistryFiles();
  int count = 0;
  if (!registry::ReadCount(count)) {
    App().MessageBox("[torokusuu.txt] が見付かりません!");
    return false;
  }
  RegisteredCount = count;
  ClearLog();
  LogLine("登録済みプログラム総数 = " + std::to_string(RegisteredCount));
  LogLine(NoticeRule);
  if (RegisteredCount >= 1 && !ListRegisteredPrograms()) return false;
  ListRegistrablePrograms();
  // The pointer goes over the main window's buttons, or just right of the puppet.
  int width = Sys.Desktop.ScreenWidth();
  int x = width - TargetWidth >= 282 ? width - 238 : TargetWidth + 20;
  Sys.Desktop.SetCursorPos(x, 65);
  return true;
}

bool TForm1::ListRegisteredPrograms() {
  registry::ListReader reader;
  if (!reader.Opened()) {
    App().MessageBox("[toroku.txt] が見付かりません!");
    return false;
  }
  LogLine("=== 登録済みプログラム一覧 ===");
  LogLine("");
  ui::ListBox& list = Settings->ListBox1;
  list.Clear();
  // Only as many entries as the list holds, and no more than the table has room
  // for; the count is brought down to what was listed, so that every later use
  // of RegisteredProfiles[0 .. RegisteredCount - 1] stays inside it.
  int listed = 0;
  registry::Entry entry;
  while (listed < RegisteredCount && listed < RegisteredMax && reader.Next(entry)) {
    std::string name = puppet::DisplayNameOf(entry.Profile);
    LogLine(std::string("[ ") + name + " ]");
    RegisteredProfiles[static_cast<std::size_t>(listed)] = entry.Profile;
    list.Add(name);
    if (entry.Profile == 1) list.SetItemIndex(listed);
    ++listed;
  }
  RegisteredCount = listed;
  if (list.ItemIndex() < 0) list.SetItemIndex(0);
  LogLine(NoticeRule);
  return true;
}

void TForm1::ListRegistrablePrograms() {
  if (RegisteredCount == puppet::ProfileCount) return;
  LogLine("=== 登録すれば対戦可能なプログラム一覧 ===");
  LogLine("");
  auto begin = RegisteredProfiles.begin();
  auto end = begin + std::clamp(RegisteredCount, 0, RegisteredMax);
  for (int n = 1; n <= puppet::ProfileCount; ++n)
    if (std::find(begin, end, n) == end)
      LogLine(std::string("[ ") + puppet::DisplayNameOf(n) + " ]");
  LogLine(NoticeRule);
}

bool TForm1::LookUpRegisteredPath(int profile) {
  registry::ListReader reader;
  if (!reader.Opened()) return false;
  registry::Entry entry;
  bool any = false;
  for (int i = 0; i < RegisteredCount && reader.Next(entry); ++i) {
    any = true;
    if (entry.Profile == profile) break;
  }
  // With no entry at all there is no path to start.
  if (!any) return false;
  PuppetPath = entry.Path;
  return true;
}

bool TForm1::AppendRegistration(int profile, const std::string& path) {
  // The table of listed programs has room for RegisteredMax entries; a further
  // registration could never be chosen, so it is refused.
  int count = 0;
  if (registry::ReadCount(count) && count >= RegisteredMax) return false;
  return registry::Append(profile, path);
}

int TForm1::FileYear(const std::string& path) {
  platform::LocalTime t;
  if (!Sys.Files.LastWriteLocal(path, t)) return 0;
  return t.Year;
}

int TForm1::IdentifyProgram(const std::string& fileName, const std::string& fullPath) {
  // Two profiles share one executable name; the year of the file tells them apart.
  return puppet::ProfileForExecutable(fileName, FileYear(fullPath));
}

void TForm1::SpeedButton1Click() {
  if (SpeedButton22.Visible()) {
    // Register a program.
    if (!OpenDialog1.Execute()) return;
    platform::SetCurrentFolder(ProgramFolder);  // the registry next to the program
    std::string path = OpenDialog1.FileName;
    std::size_t cut = path.find_last_of("\\/");
    std::string fileName = cut == std::string::npos ? path : path.substr(cut + 1);
    int profile = IdentifyProgram(fileName, path);
    if (profile == 0) {
      App().MessageBox("指定したファイルは対戦できません！");
      return;
    }
    if (AppendRegistration(profile, path)) {
      ClearLog();
      ReadAndListRegistry();
      LogLine(std::string("[ ") + puppet::DisplayNameOf(profile) + " ] が登録されました !");
    } else {
      LogLine("登録はできませんでした！(原因不明)");
    }
    LogLine(NoticeRule);
    return;
  }
  if (SpeedButton1.Caption() == "終了") {
    Close();
    return;
  }
  // Abort the match for good.
  LogLine("");
  LogLine("通信対戦が中止されました！ 再対戦するには");
  LogLine("まず終了してから、Tovarinを再起動して下さい");
  EndRecord(GameEnding::Aborted);
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  Timer3.SetEnabled(false);
  SpeedButton1.SetCaption("終了");
  Link.closecom();
  AbortRequested = true;
}

}  // namespace tovarin
