// The two registry files: formats, and files that are damaged or written by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/World.h"
#include "tovarin/registry/RegistryFiles.h"

namespace {

using testing_world::Slurp;
using testing_world::TempFolder;

void Write(const char* name, const std::string& content) {
  std::ofstream(name, std::ios::binary) << content;
}

std::vector<registry::Entry> ReadAll() {
  registry::ListReader reader;
  std::vector<registry::Entry> out;
  registry::Entry e;
  while (reader.Next(e)) out.push_back(e);
  return out;
}

TEST(RegistryFiles, FreshFolderGetsAnEmptyListAndCountZero) {
  TempFolder folder(TempFolder::Current);
  registry::EnsureFiles();
  EXPECT_EQ(Slurp("touroku.txt"), "");
  EXPECT_EQ(Slurp("tourokusuu.txt"), "0");
  // Existing files are left alone.
  Write("tourokusuu.txt", "2");
  registry::EnsureFiles();
  EXPECT_EQ(Slurp("tourokusuu.txt"), "2");
}

TEST(RegistryFiles, AppendWritesTheLineAndTheCountWithoutLineEnd) {
  TempFolder folder(TempFolder::Current);
  registry::EnsureFiles();
  ASSERT_TRUE(registry::Append(1, "C:\\Go\\VK2.EXE"));
  ASSERT_TRUE(registry::Append(12, "D:\\Program Files\\Lumba\\LUMBA.EXE"));
  ASSERT_TRUE(registry::Append(1, "C:\\Go\\VK2.EXE"));
  EXPECT_EQ(Slurp("touroku.txt"),
            "1 C:\\Go\\VK2.EXE\n12 D:\\Program Files\\Lumba\\LUMBA.EXE\n1 C:\\Go\\VK2.EXE\n");
  EXPECT_EQ(Slurp("tourokusuu.txt"), "3");
  auto entries = ReadAll();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].Profile, 12);
  EXPECT_EQ(entries[1].Path, "D:\\Program Files\\Lumba\\LUMBA.EXE");
}

TEST(RegistryFiles, AHandWrittenLastLineWithoutLineEndIsEndedFirst) {
  TempFolder folder(TempFolder::Current);
  Write("touroku.txt", "1 C:\\Go\\VK2.EXE");
  Write("tourokusuu.txt", "1");
  ASSERT_TRUE(registry::Append(12, "C:\\L\\LUMBA.EXE"));
  EXPECT_EQ(Slurp("touroku.txt"), "1 C:\\Go\\VK2.EXE\n12 C:\\L\\LUMBA.EXE\n");
  EXPECT_EQ(Slurp("tourokusuu.txt"), "2");
}

TEST(RegistryFiles, AFailedAppendLeavesBothFilesAsTheyWere) {
  TempFolder folder(TempFolder::Current);
  const char* const files[] = {"touroku.txt", "tourokusuu.txt"};
  const std::string content[] = {"3 C:\\B\\BRIMU6.EXE\n", "1"};
  // One file cannot be written; the other must keep its content. A count on a
  // full disk reads (as 0) but cannot be written.
  struct Case {
    const char* What;
    int Unwritable;
    bool Folder;
  };
  for (Case c : {Case{"count on a full disk", 1, false}, Case{"list on a full disk", 0, false},
                 Case{"list is a folder", 0, true}}) {
    SCOPED_TRACE(c.What);
    Write(files[1 - c.Unwritable], content[1 - c.Unwritable]);
    if (c.Folder)
      std::filesystem::create_directory(files[c.Unwritable]);
    else
      std::filesystem::create_symlink("/dev/full", files[c.Unwritable]);
    EXPECT_FALSE(registry::Append(4, "C:\\O\\ZOLTA.EXE"));
    EXPECT_EQ(Slurp(files[1 - c.Unwritable]), content[1 - c.Unwritable]);
    for (const char* f : files) std::filesystem::remove(f);
  }
  // Without a count file nothing is appended either.
  Write(files[0], content[0]);
  EXPECT_FALSE(registry::Append(4, "C:\\O\\ZOLTA.EXE"));
  EXPECT_EQ(Slurp(files[0]), content[0]);
  EXPECT_FALSE(std::filesystem::exists(files[1]));
}

TEST(RegistryFiles, DamagedCountsReadAsZero) {
  TempFolder folder(TempFolder::Current);
  int count = 99;
  EXPECT_FALSE(registry::ReadCount(count));
  const std::pair<std::string, int> cases[] = {
      {"", 0},   {"abc", 0},    {"-5", 0},
      {"7", 7},  {" 12\n", 12}, {"99999999999999999999", 2147483647},
      {"3x", 3},
  };
  for (const auto& [text, want] : cases) {
    Write("tourokusuu.txt", text);
    ASSERT_TRUE(registry::ReadCount(count));
    EXPECT_EQ(count, want) << '"' << text << '"';
  }
}

TEST(RegistryFiles, LongPathsAndHandWrittenLinesReadWhole) {
  TempFolder folder(TempFolder::Current);
  std::string longPath = "C:\\" + std::string(300, 'a') + "\\VK2.EXE";
  Write("touroku.txt",
        "1 " + longPath +
            "\n5 C:\\P\\MERVO.EXE\r\n\n  17   C:\\U\\NOVRA2.EXE\nxyz\n9 C:\\Q\\FIRSK.EXE");
  auto entries = ReadAll();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].Path, longPath);
  EXPECT_EQ(entries[1].Profile, 5);
  EXPECT_EQ(entries[1].Path, "C:\\P\\MERVO.EXE");
  EXPECT_EQ(entries[2].Profile, 17);
  EXPECT_EQ(entries[2].Path, "C:\\U\\NOVRA2.EXE");
  EXPECT_EQ(entries[3].Profile, 0);
  EXPECT_EQ(entries[4].Path, "C:\\Q\\FIRSK.EXE");  // no line end: nothing cut off
}

}  // namespace
