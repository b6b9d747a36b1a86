// The binding to the link library, with the real library and with stand-ins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/PosixSystem.h"
#include "tests/support/World.h"
#include "tovarin/match/LinkBinding.h"

namespace {

// The real loader, with a record of what was asked of it.
struct CountingLoader : platform::LibraryLoader {
  explicit CountingLoader(std::string folder) : Real(std::move(folder)) {}
  platform::posix::PosixLibraryLoader Real;
  std::vector<std::string> Lookups;
  int Loads = 0, Unloads = 0;
  platform::LibraryHandle Load(std::string_view name) override {
    platform::LibraryHandle h = Real.Load(name);
    if (h) ++Loads;
    return h;
  }
  void* Lookup(platform::LibraryHandle lib, const char* name) override {
    Lookups.push_back(name);
    return Real.Lookup(lib, name);
  }
  void Unload(platform::LibraryHandle lib) override {
    ++Unloads;
    Real.Unload(lib);
  }
};

TEST(LinkBinding, BindsTheRealLibraryInOrder) {
  CountingLoader loader(DUELCOM_DIR "/");
  tovarin::LinkBinding link(loader);
  ASSERT_TRUE(link.Bind());
  EXPECT_TRUE(link.Bound());
  EXPECT_EQ(loader.Lookups,
            (std::vector<std::string>{"initcom", "closecom", "sendxy", "receivexy", "newgame"}));
  // No link is open: the library's own refusals come back through the binding.
  int x = 7, y = 7;
  EXPECT_EQ(link.receivexy(&x, &y), 0);
  EXPECT_EQ(x, 7);
  link.Unload();
  EXPECT_EQ(loader.Unloads, 1);
}

TEST(LinkBinding, MissingExportUnloadsAfterTheLookupsBeforeIt) {
  CountingLoader loader(BROKEN_DIR "/");
  tovarin::LinkBinding link(loader);
  EXPECT_FALSE(link.Bind());
  EXPECT_FALSE(link.Bound());
  EXPECT_EQ(loader.Lookups,
            (std::vector<std::string>{"initcom", "closecom", "sendxy", "receivexy", "newgame"}));
  EXPECT_EQ(loader.Unloads, 1);
  // Calls through the unloaded binding do nothing.
  EXPECT_EQ(link.initcom(1), 0);
  EXPECT_EQ(link.closecom(), 0);
}

TEST(LinkBinding, NoLibraryNoBinding) {
  CountingLoader loader("/nonexistent/");
  tovarin::LinkBinding link(loader);
  EXPECT_FALSE(link.Bind());
  EXPECT_TRUE(loader.Lookups.empty());
  EXPECT_EQ(loader.Unloads, 0);
}

TEST(LinkBinding, UnansweredSendTearsTheLinkDownOnce) {
  testing_world::World w;
  w.Libraries.SetFolder(SILENT_DIR "/");
  auto& f1 = w.Form1();
  ASSERT_TRUE(f1.BindLinkLibrary());
  auto calls = reinterpret_cast<int (*)()>(
      w.Libraries.Lookup(w.Libraries.Load("duelcom"), "fake_closecom_calls"));
  ASSERT_NE(calls, nullptr);
  EXPECT_FALSE(f1.SendMoveToPartner(0, 0));  // a pass fails like any move
  EXPECT_EQ(w.Log().back(), "Send Error !");
  EXPECT_EQ(calls(), 1);
  EXPECT_FALSE(f1.Link.Bound());
  // The relay may go on and close again: nothing reaches the library.
  EXPECT_EQ(f1.Link.closecom(), 0);
  EXPECT_FALSE(f1.SendMoveToPartner(3, 4));
  EXPECT_EQ(calls(), 1);
}

}  // namespace
