// The registry as the main window uses it: listing at start-up, registration,
// the path of a registered program, and the abort and finish roles of the button.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/World.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using testing_world::Slurp;
using testing_world::World;

const char* const Dashes = "----------------------------------------------";

// Plays the user choosing `path` in the file dialog, and clicks the button.
void Register(World& w, const std::string& path) {
  w.App.OpenDialogResponder = [path](ui::OpenDialog& d) {
    d.FileName = path;
    return true;
  };
  w.Form1().SpeedButton1.Click();
}

class Registry : public ::testing::Test {
 protected:
  World w;
  tovarin::TForm1& f1 = w.Form1();
  void SetUp() override {
    f1.ProgramFolder = w.Folder.Path().string() + "/";
    w.App.PumpUntil([&] { return f1.StartupDone; }, 1500);
  }
  // Registers n executables of the profiles in `profiles`, cycling through them.
  void RegisterMany(int n, const std::vector<int>& profiles) {
    for (int i = 0; i < n; ++i) {
      int p = profiles[static_cast<std::size_t>(i) % profiles.size()];
      Register(w, std::string("C:\\Games\\P") + std::to_string(i) + "\\" +
                      puppet::IdentityOf(p)->Executable);
    }
  }
};

TEST_F(Registry, FreshFolderListsEveryRegistrableProgram) {
  EXPECT_EQ(Slurp("tourokusuu.txt"), "0");
  EXPECT_EQ(Slurp("touroku.txt"), "");
  std::vector<std::string> want = {"登録済みプログラム総数 = 0", Dashes,
                                   "=== 登録すれば対戦可能なプログラム一覧 ===", ""};
  for (int n = 1; n <= puppet::ProfileCount; ++n)
    want.push_back(std::string("[ ") + puppet::DisplayNameOf(n) + " ]");
  want.push_back(Dashes);
  EXPECT_EQ(w.Log(), want);
  EXPECT_EQ(want[4], "[ Velkaro Ⅱ ]");
  // With no puppet found yet the pointer goes over the main window's buttons.
  EXPECT_EQ(w.Desktop.CursorPos(), (platform::Point{1024 - 238, 65}));
}

TEST_F(Registry, RegistrationAppendsListsAndSelects) {
  Register(w, "C:\\Go\\VK2.EXE");
  Register(w, "C:\\Go\\HALVENDO.EXE");
  Register(w, "D:\\Other\\VK2.EXE");
  Register(w, "C:\\Go\\LUMBA.EXE");
  EXPECT_EQ(Slurp("tourokusuu.txt"), "4");
  EXPECT_EQ(
      Slurp("touroku.txt"),
      "1 C:\\Go\\VK2.EXE\n2 C:\\Go\\HALVENDO.EXE\n1 D:\\Other\\VK2.EXE\n12 C:\\Go\\LUMBA.EXE\n");
  EXPECT_EQ(f1.RegisteredCount, 4);
  EXPECT_EQ(w.Form2().ListBox1.Items(),
            (std::vector<std::string>{"Velkaro Ⅱ", "Halvendo囲碁", "Velkaro Ⅱ", "Sivarne対局"}));
  EXPECT_EQ(w.Form2().ListBox1.ItemIndex(), 2);  // the later profile-1 line
  EXPECT_EQ(f1.RegisteredProfiles[3], 12);
  const auto& log = w.Log();
  EXPECT_EQ(log[log.size() - 2], "[ Sivarne対局 ] が登録されました !");
  EXPECT_EQ(log.back(), Dashes);
  EXPECT_EQ(log.front(), "登録済みプログラム総数 = 4");
  // The path of a profile is that of its first entry.
  ASSERT_TRUE(f1.LookUpRegisteredPath(1));
  EXPECT_EQ(f1.PuppetPath, "C:\\Go\\VK2.EXE");
  ASSERT_TRUE(f1.LookUpRegisteredPath(12));
  EXPECT_EQ(f1.PuppetPath, "C:\\Go\\LUMBA.EXE");
}

TEST_F(Registry, TheRegistryNextToTheProgramIsUsedWhateverTheDialogBrowsed) {
  // The file dialog may leave the process in the folder it browsed.
  std::filesystem::create_directories("browsed");
  w.App.OpenDialogResponder = [](ui::OpenDialog& d) {
    std::filesystem::current_path("browsed");
    d.FileName = "C:\\Go\\VK3.EXE";
    return true;
  };
  f1.SpeedButton1.Click();
  EXPECT_EQ(std::filesystem::current_path(), w.Folder.Path());
  EXPECT_EQ(Slurp("touroku.txt"), "11 C:\\Go\\VK3.EXE\n");
  EXPECT_FALSE(std::filesystem::exists(w.Folder.Path() / "browsed" / "touroku.txt"));
}

TEST_F(Registry, WithoutAProfileOneEntryTheFirstLineIsSelected) {
  Register(w, "C:\\Go\\HALVENDO.EXE");
  Register(w, "C:\\Go\\GRETO3.EXE");
  EXPECT_EQ(w.Form2().ListBox1.ItemIndex(), 0);
}

TEST_F(Registry, UnsupportedOrWronglyCasedFilesAreRefused) {
  std::size_t before = w.Log().size();
  Register(w, "C:\\Go\\vk2.exe");
  Register(w, "C:\\Go\\NOTEPAD.EXE");
  ASSERT_EQ(w.App.MessageBoxes.size(), 2u);
  EXPECT_EQ(w.App.MessageBoxes[0].Text, "指定したファイルは対戦できません！");
  EXPECT_EQ(w.Log().size(), before);  // nothing logged
  EXPECT_EQ(Slurp("tourokusuu.txt"), "0");
  // A cancelled dialog does nothing at all.
  w.App.OpenDialogResponder = [](ui::OpenDialog&) { return false; };
  f1.SpeedButton1.Click();
  EXPECT_EQ(w.App.MessageBoxes.size(), 2u);
}

TEST_F(Registry, EighteenEntriesHideTheRegistrableListNineteenShowIt) {
  RegisterMany(18, {1, 1, 2, 3});  // duplicates: profiles 4 to 18 are still missing
  EXPECT_EQ(f1.RegisteredCount, puppet::ProfileCount);
  for (const std::string& line : w.Log())
    EXPECT_NE(line, "=== 登録すれば対戦可能なプログラム一覧 ===");
  RegisterMany(1, {5});
  EXPECT_EQ(f1.RegisteredCount, 19);
  const auto& log = w.Log();
  auto header = std::find(log.begin(), log.end(), "=== 登録すれば対戦可能なプログラム一覧 ===");
  ASSERT_NE(header, log.end());
  EXPECT_EQ(*(header + 2), "[ Ostrugo ]");  // 1, 2, 3 and 5 are registered
  EXPECT_EQ(*(header + 3), "[ PelinarⅡ ]");
}

TEST_F(Registry, FiftyEntriesFitTheTableAndNoMore) {
  RegisterMany(50, {1, 2, 3, 4});
  EXPECT_EQ(Slurp("tourokusuu.txt"), "50");
  Register(w, "C:\\Go\\VK3.EXE");
  EXPECT_EQ(w.Log()[w.Log().size() - 2], "登録はできませんでした！(原因不明)");
  EXPECT_EQ(Slurp("tourokusuu.txt"), "50");
  // A file written with more entries than the table holds lists only 50.
  std::ofstream("tourokusuu.txt", std::ios::trunc) << "60";
  {
    std::ofstream list("touroku.txt", std::ios::app);
    for (int i = 0; i < 10; ++i) list << "11 C:\\Go\\VK3.EXE\n";
  }
  EXPECT_TRUE(f1.ReadAndListRegistry());
  EXPECT_EQ(f1.RegisteredCount, 50);
  EXPECT_EQ(w.Form2().ListBox1.Items().size(), 50u);
}

TEST_F(Registry, AListShorterThanItsCountListsWhatItHolds) {
  std::ofstream("touroku.txt", std::ios::trunc) << "7 C:\\B\\BRIMU7.EXE\n";
  std::ofstream("tourokusuu.txt", std::ios::trunc) << "5";
  EXPECT_TRUE(f1.ReadAndListRegistry());
  EXPECT_EQ(f1.RegisteredCount, 1);
  EXPECT_EQ(w.Form2().ListBox1.Items(), std::vector<std::string>{"Brimu７"});
  EXPECT_EQ(f1.RegisteredProfiles[1], 0);
  // A count that is no number lists nothing and does not loop.
  std::ofstream("tourokusuu.txt", std::ios::trunc) << "many";
  EXPECT_TRUE(f1.ReadAndListRegistry());
  EXPECT_EQ(f1.RegisteredCount, 0);
  EXPECT_FALSE(f1.LookUpRegisteredPath(7));
}

TEST_F(Registry, MissingFilesAreReported) {
  // A folder in the count file's place cannot be opened as a file.
  std::filesystem::remove("tourokusuu.txt");
  std::filesystem::create_directory("tourokusuu.txt");
  EXPECT_FALSE(f1.ReadAndListRegistry());
  EXPECT_EQ(w.App.MessageBoxes.back().Text, "[torokusuu.txt] が見付かりません!");
  std::filesystem::remove("tourokusuu.txt");
  std::ofstream("tourokusuu.txt") << "1";
  std::filesystem::remove("touroku.txt");
  std::filesystem::create_directory("touroku.txt");
  EXPECT_FALSE(f1.ReadAndListRegistry());
  EXPECT_EQ(w.App.MessageBoxes.back().Text, "[toroku.txt] が見付かりません!");
  EXPECT_FALSE(f1.LookUpRegisteredPath(1));
}

TEST_F(Registry, SharedExecutableIsToldApartByItsLocalYear) {
  const char* tz = std::getenv("TZ");
  std::string saved = tz ? tz : "";
  setenv("TZ", "JST-9", 1);
  tzset();
  std::filesystem::create_directories("prog");
  std::string path = (w.Folder.Path() / "prog" / "KANDO4.EXE").string();
  std::ofstream(path) << "x";
  // 1998-12-31 23:30 UTC is 1999-01-01 08:30 in a zone nine hours ahead.
  struct utimbuf times {};
  times.actime = times.modtime = 915147000;
  ASSERT_EQ(utime(path.c_str(), &times), 0);
  EXPECT_EQ(f1.FileYear(path), 1999);
  EXPECT_EQ(f1.IdentifyProgram("KANDO4.EXE", path), 16);
  setenv("TZ", "UTC0", 1);
  tzset();
  EXPECT_EQ(f1.FileYear(path), 1998);
  EXPECT_EQ(f1.IdentifyProgram("KANDO4.EXE", path), 6);
  // A file whose time cannot be read counts as profile 6.
  EXPECT_EQ(f1.IdentifyProgram("KANDO4.EXE", path + ".missing"), 6);
  if (tz)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST_F(Registry, AbortStopsTheMatchAndFinishCloses) {
  w.App.SetMainForm(f1);
  f1.SpeedButton22.SetVisible(false);  // a match has started
  f1.SpeedButton1.SetCaption("中止");
  f1.Timer2.SetEnabled(true);
  f1.SpeedButton1.Click();  // no link was ever opened: closecom does nothing
  const auto& log = w.Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 3], "");
  EXPECT_EQ(log[log.size() - 2], "通信対戦が中止されました！ 再対戦するには");
  EXPECT_EQ(log.back(), "まず終了してから、Tovarinを再起動して下さい");
  EXPECT_FALSE(f1.Timer1.Enabled());
  EXPECT_FALSE(f1.Timer2.Enabled());
  EXPECT_FALSE(f1.Timer3.Enabled());
  EXPECT_EQ(f1.SpeedButton1.Caption(), "終了");
  EXPECT_TRUE(f1.AbortRequested);
  std::size_t lines = log.size();
  f1.SpeedButton1.Click();
  EXPECT_TRUE(w.App.Terminated());
  EXPECT_EQ(w.Log().size(), lines);
}

}  // namespace
