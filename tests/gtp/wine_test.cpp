// The x86_64 Windows build of duelcom-gtp under Wine: COM1 mapped to a
// pseudo-terminal joined to GNU Go's GMP mode, the engine a Windows program
// started through pipes, one of its arguments holding blanks and quotes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/program.h"
#include "support/pty.h"

namespace gtptest {
namespace {

// A Linux path as Wine's drive Z: names it.
std::string OnDriveZ(const fs::path& path) {
  std::string name = "Z:" + fs::absolute(path).string();
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

TEST(PartnerProgramWine, TheWindowsBuildRelaysAGameOnComOne) {
  const std::string windowsBuild = TOVARIN_WIN64_DIR;
  if (windowsBuild.empty()) GTEST_SKIP() << "no x86_64 MinGW build given (TOVARIN_WIN64_DIR)";
  const fs::path program = fs::path(windowsBuild) / "gtp/duelcom-gtp.exe";
  const fs::path engine = fs::path(windowsBuild) / "tests/gtp/gtp_fake_engine.exe";
  ASSERT_TRUE(fs::exists(program)) << program;
  ASSERT_TRUE(fs::exists(engine)) << engine;

  const duelcom::testing::WinePrefix wineSetup = duelcom::testing::DuelcomWinePrefix();
  ASSERT_TRUE(wineSetup.Ready) << wineSetup.Prefix;
  const fs::path prefix = wineSetup.Prefix;
  const fs::path com1 = wineSetup.Com1;

  const Launch wine{{"/usr/lib/wine/wine64", program.string()},
                    {"WINEPREFIX=" + prefix.string(), "WINEDEBUG=-all"},
                    [&](const std::string& device) {
                      fs::remove(com1);
                      fs::create_symlink(device, com1);
                      return std::string("1");
                    },
                    OnDriveZ};
  const Game game = AgainstGnuGoGmp(
      wine, {OnDriveZ(engine), "--moves", "A19,T19,A1,T1,K10", "--name", "Fake \"quoted\" engine"},
      true);
  ExpectSameGame(game);
  ASSERT_GE(game.Ours.size(), 10u);
  EXPECT_EQ(game.Ours[0], (SgfMove{'B', "aa"}));
  EXPECT_EQ(game.Ours[8], (SgfMove{'B', "jj"}));
  EXPECT_NE(game.OurSgf.find("PB[Fake \"quoted\" engine 1]"), std::string::npos) << game.OurSgf;
}

}  // namespace
}  // namespace gtptest
