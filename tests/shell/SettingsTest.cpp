// The settings dialog: what each showing resets, what persists, and what the
// other parts read from it.
#include <gtest/gtest.h>

#include "tests/support/World.h"

namespace {

using testing_world::World;

TEST(Settings, LayoutAndDefaults) {
  World w;
  auto& f2 = w.Form2();
  EXPECT_EQ(f2.Caption(), "通信対戦の設定");
  EXPECT_EQ(f2.ClientWidth(), 372);
  EXPECT_EQ(f2.ClientHeight(), 339);
  EXPECT_EQ(f2.Image1.Width(), 372);
  EXPECT_EQ(f2.Image1.Height(), 340);
  EXPECT_EQ(f2.Image1.Picture().Width(), 372);
  EXPECT_TRUE(f2.RadioButton3.Checked());
  EXPECT_FALSE(f2.RadioButton4.Checked());
  EXPECT_TRUE(f2.RadioButton14.Checked());
  EXPECT_EQ(f2.Edit14.Text(), "014");
  EXPECT_EQ(f2.RadioButton14.Caption(), " COM 1");
  EXPECT_EQ(f2.Label16.Caption(), "連続対戦       回");
  EXPECT_EQ(f2.BitBtn1.ModalResult, ui::mrOk);
  EXPECT_EQ(f2.BitBtn2.ModalResult, ui::mrCancel);
}

TEST(Settings, EachShowingStartsAtOneGameWithTheFocusThere) {
  World w;
  auto& f2 = w.Form2();
  int shown = 0;
  w.App.ModalResponder = [&](ui::Form&) {
    ++shown;
    EXPECT_EQ(f2.Edit14.Text(), "1");
    EXPECT_EQ(f2.Focused, &f2.Edit14);
    if (shown == 1) {
      f2.Edit14.SetText("3");
      f2.RadioButton4.SetChecked(true);
      f2.RadioButton15.SetChecked(true);
      f2.BitBtn1.Click();
    } else {
      f2.KeyPress(0x1B);  // Escape
    }
    return ui::mrNone;
  };
  EXPECT_EQ(f2.ShowModal(), ui::mrOk);
  EXPECT_EQ(f2.Left() + f2.Width() / 2, 1024 / 2);  // centred on the screen
  EXPECT_EQ(f2.Top() + f2.Height() / 2, 768 / 2);
  EXPECT_EQ(f2.SeriesLength(), 3);
  EXPECT_EQ(f2.PuppetIsBlack(), 0);
  EXPECT_EQ(f2.PortNumber(), 2);
  EXPECT_FALSE(f2.RadioButton3.Checked());  // one of each pair
  EXPECT_FALSE(f2.RadioButton14.Checked());
  EXPECT_EQ(f2.ShowModal(), ui::mrCancel);
  // The choices persist; only the series length is set again.
  EXPECT_EQ(f2.PuppetIsBlack(), 0);
  EXPECT_EQ(f2.PortNumber(), 2);
  EXPECT_EQ(f2.Edit14.Text(), "1");
  EXPECT_FALSE(f2.Visible());
}

TEST(Settings, SeriesLengthTextThatIsNoNumberCountsAsZero) {
  const std::pair<const char*, int> cases[] = {
      {"1", 1},   {"3", 3},     {"0", 0},           {"", 0},     {"abc", 0}, {"3a", 0},
      {"-2", -2}, {" 12 ", 12}, {"99999999999", 0}, {"0x10", 0},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(tovarin::IntegerOrZero(text), want) << text;
}

}  // namespace
