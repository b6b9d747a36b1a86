// The profile table: identity, titles, the board geometry against hand-worked
// corners, and the sample points where they leave the common formulas.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "tests/puppet/WorkedExamples.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using platform::Point;
using platform::Rgb;

Point Sample(int profile, int c, int r) {
  return puppet::PointTestFor(*puppet::ReadingOf(profile), c, r).Pixels[0];
}

TEST(Profiles, NumbersOutsideTheTableAreNoProfile) {
  for (int p : {puppet::NoProfile, puppet::ProfileCount + 1, -1, INT_MIN, INT_MAX}) {
    EXPECT_STREQ(puppet::TagOf(p), "[不明]");
    EXPECT_STREQ(puppet::DisplayNameOf(p), "不明");
    EXPECT_EQ(puppet::GeometryOf(p), nullptr);
    EXPECT_EQ(puppet::EntryOf(p), nullptr);
    EXPECT_EQ(puppet::ReadingOf(p), nullptr);
  }
  EXPECT_STREQ(puppet::TagOf(1), "[Velk2]");
  EXPECT_STREQ(puppet::TagOf(18), "[Wendrix]");
  EXPECT_STREQ(puppet::DisplayNameOf(16), "PelinarⅡ(パワーアップ版)");
}

TEST(Profiles, TitlesAreExactToTheByte) {
  const auto t = puppet::TitleTable();
  // An ideographic space (E3 80 80) in profile 4, full-width minus signs in 9.
  EXPECT_EQ(std::string(t[3]),
            "\xE5\xAF\xBE\xE5\xB1\x80\xE5\x9B\xB2\xE7\xA2\x81\xE3\x80\x80Ostrugo - (\xE7\x84\xA1"
            "\xE9\xA1\x8C)");
  EXPECT_EQ(std::string(t[8]).substr(0, 3), "\xEF\xBC\x8D");
  EXPECT_STREQ(t[puppet::TitleIndex(5)], "碁盤");
  EXPECT_STREQ(t[puppet::Profile5MainTitle], "Pelinarﾊﾟﾜｰｱｯﾌﾟ版");
  EXPECT_STREQ(t[puppet::Profile5PlainTitle], "Pelinar");
  // Every title differs from every other, but for the two editions of one program.
  std::set<std::string> distinct(t.begin(), t.end());
  EXPECT_EQ(distinct.size(), 19u);
  EXPECT_STREQ(t[puppet::TitleIndex(6)], t[puppet::TitleIndex(16)]);
}

TEST(Profiles, ExecutablesByFileNameAndYear) {
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\Go\\VK2.EXE", 1998), 1);
  EXPECT_EQ(puppet::ProfileForExecutable("VK3.EXE", 2001), 11);
  EXPECT_EQ(puppet::ProfileForExecutable("D:/games/NOVRA2.EXE", 2002), 17);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\a\\MERVO.EXE", 1997), 5);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\a\\PELINAR.EXE", 1997), 5);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\x\\KANDO4.EXE", 1999), 16);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\x\\KANDO4.EXE", 1998), 6);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\x\\KANDO4.EXE", 2000), 6);
  // The comparison is exact.
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\x\\vk2.exe", 1998), 0);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\x\\XVK2.EXE", 1998), 0);
  EXPECT_EQ(puppet::ProfileForExecutable("C:\\VK2.EXE\\other.exe", 1998), 0);
  EXPECT_EQ(puppet::ProfileForExecutable("", 1998), 0);
}

TEST(Profiles, BoardCornersMatchTheWorkedExamples) {
  for (const auto& e : puppet_test::BoardCorners) {
    const puppet::Geometry& g = *puppet::GeometryOf(e.Profile);
    EXPECT_EQ(puppet::BoardPoint(g, 1, 1), e.TopLeft) << "profile " << e.Profile;
    EXPECT_EQ(puppet::BoardPoint(g, 19, 19), e.BottomRight) << "profile " << e.Profile;
  }
  EXPECT_EQ(puppet::GeometryOf(17)->MinScreenWidth, 900);
  EXPECT_EQ(puppet::GeometryOf(14)->PlayLeft, -35);
  EXPECT_EQ(puppet::GeometryOf(5)->TargetHeight, 410);
}

TEST(Profiles, BottomRowIsSampledAboveThePoint) {
  // Column 7 of row 18 and row 19, worked out by hand.
  struct Case {
    int Profile;
    Point Row18, Row19;
  };
  const Case cases[] = {
      {1, {235, 346}, {235, 353}}, {2, {174, 335}, {174, 342}},  {3, {130, 369}, {130, 373}},
      {4, {308, 404}, {308, 409}}, {6, {141, 362}, {141, 368}},  {7, {128, 356}, {128, 359}},
      {8, {128, 356}, {128, 359}}, {12, {292, 334}, {292, 337}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sample(c.Profile, 7, 18), c.Row18) << "profile " << c.Profile;
    EXPECT_EQ(Sample(c.Profile, 7, 19), c.Row19) << "profile " << c.Profile;
  }
  // Elsewhere the same formula holds on every row, with one pixel up at the far
  // corner for 10 and 11.
  EXPECT_EQ(Sample(13, 7, 19), (Point{288, 354}));
  EXPECT_EQ(Sample(10, 18, 19), (Point{186, 234}));
  EXPECT_EQ(Sample(10, 19, 18), (Point{196, 224}));
  EXPECT_EQ(Sample(10, 19, 19), (Point{196, 233}));
  EXPECT_EQ(Sample(11, 19, 19), (Point{566, 440}));
}

TEST(Profiles, Profile17ReadsItsPoint1_14OnePixelRightAndBlackOnly) {
  const puppet::Reading& r = *puppet::ReadingOf(17);
  auto occupied = [&](int c, int row, platform::ColorRef colour) {
    return puppet::LooksOccupied(puppet::PointTestFor(r, c, row), [&](int, int) { return colour; });
  };
  EXPECT_EQ(Sample(17, 1, 14), (Point{37, 491}));
  EXPECT_EQ(Sample(17, 1, 13), (Point{36, 459}));
  EXPECT_EQ(Sample(17, 2, 14), (Point{68, 491}));
  for (auto dark : {Rgb(0, 0, 0), Rgb(24, 0, 0), Rgb(96, 1, 4), Rgb(40, 40, 40)}) {
    EXPECT_FALSE(occupied(2, 14, dark));
    EXPECT_EQ(occupied(1, 14, dark), dark != Rgb(0, 0, 0));
  }
  EXPECT_TRUE(occupied(2, 14, Rgb(40, 40, 41)));
  EXPECT_TRUE(occupied(2, 14, Rgb(24, 24, 24)));
  // Profile 14 has its own dark grey, and black is a stone there.
  EXPECT_FALSE(puppet::LooksOccupied(puppet::PointTestFor(*puppet::ReadingOf(14), 3, 3),
                                     [](int, int) { return Rgb(24, 24, 24); }));
  EXPECT_TRUE(puppet::LooksOccupied(puppet::PointTestFor(*puppet::ReadingOf(14), 3, 3),
                                    [](int, int) { return Rgb(0, 0, 0); }));
}

TEST(Profiles, Profile5ReadsRowOneAndItsCornerDifferently) {
  EXPECT_EQ(Sample(5, 2, 2), (Point{52, 145}));
  EXPECT_EQ(Sample(5, 19, 19), (Point{375, 468}));
  EXPECT_EQ(Sample(5, 3, 1), (Point{62, 135}));
  EXPECT_EQ(Sample(5, 1, 2), (Point{33, 145}));
  puppet::PointTest corner = puppet::PointTestFor(*puppet::ReadingOf(5), 1, 1);
  ASSERT_EQ(corner.PixelCount, 6);
  EXPECT_TRUE(corner.OccupiedWhenBlack);
  const Point ring[6] = {{34, 136}, {32, 136}, {32, 135}, {32, 134}, {33, 134}, {34, 134}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(corner.Pixels[static_cast<std::size_t>(i)], ring[i]);
    // One black pixel of the six is enough; the centre itself does not count.
    EXPECT_TRUE(puppet::LooksOccupied(corner, [&](int x, int y) {
      return Point{x, y} == ring[i] ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
    }));
  }
  EXPECT_FALSE(puppet::LooksOccupied(
      corner, [](int x, int y) { return x == 33 && y == 135 ? Rgb(0, 0, 0) : Rgb(220, 180, 90); }));
}

TEST(Profiles, AnUnreadablePixelIsNeverAStone) {
  for (int p = 1; p <= puppet::ProfileCount; ++p)
    EXPECT_FALSE(puppet::LooksOccupied(puppet::PointTestFor(*puppet::ReadingOf(p), 10, 10),
                                       [](int, int) { return platform::InvalidColor; }));
}

TEST(Profiles, TheSampleAreaHoldsEveryPixelTheScanReads) {
  EXPECT_EQ(puppet::SampleArea(*puppet::ReadingOf(17)), (platform::Rect{36, 75, 613, 652}));
  EXPECT_EQ(puppet::SampleArea(*puppet::ReadingOf(5)), (platform::Rect{32, 134, 376, 469}));
  EXPECT_EQ(puppet::SampleArea(*puppet::ReadingOf(1)), (platform::Rect{139, 74, 428, 354}));
}

}  // namespace
