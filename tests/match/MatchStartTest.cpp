// The start of each game against the scripted partner, in virtual time: the
// handshake's waits to the tick, the puppet's first move, a handshake that fails
// inside a series, the program ended during a start, and the series length.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/SimDesktop.h"
#include "tests/support/MatchWorld.h"

namespace {

using simworld::ScriptedLink;
using testing_world::MatchSetup;
using testing_world::MatchWorld;
using Lines = std::vector<std::string>;

// Games of eight moves: both sides pass from the seventh on.
MatchSetup ShortGames(bool puppetIsBlack, const std::string& games) {
  MatchSetup s;
  s.PuppetIsBlack = puppetIsBlack;
  s.Games = games;
  s.Puppet.PassFromMove = 6;
  return s;
}

struct ShortMatch : MatchWorld {
  explicit ShortMatch(const MatchSetup& s) : MatchWorld(s) { Partner.PassFromMove = 6; }
};

simworld::MatchSettings SettingsOf(const MatchSetup& s) {
  return simworld::MatchSettings{s.PuppetIsBlack, 1, s.Games};
}

// The names of the calls made after the last call named `name`.
Lines CallsAfterLast(const ScriptedLink& link, const std::string& name) {
  Lines after;
  for (const ScriptedLink::Call& c : link.Calls) {
    if (c.Name == name)
      after.clear();
    else
      after.push_back(c.Name);
  }
  return after;
}

// Each handshake: the initcom that opened the port and the first newgame after it.
struct HandshakeCalls {
  ScriptedLink::Call Open, NewGame;
};

std::vector<HandshakeCalls> Handshakes(const ScriptedLink& link) {
  std::vector<HandshakeCalls> found;
  for (std::size_t i = 0; i + 1 < link.Calls.size(); ++i)
    if (link.Calls[i].Name == "initcom" && link.Calls[i + 1].Name == "newgame")
      found.push_back(HandshakeCalls{link.Calls[i], link.Calls[i + 1]});
  return found;
}

// ---- The handshake's waits ----

// Before the first game the black side gives the other operator 5 s, the white
// side none. Between games the side that sends the request waits 30 s from the
// moment the puppet's new game is set up, the other side 15 s; no prompt follows.
TEST(HandshakeWaits, ThePromptAndTheSeriesPausesLastTheirExactTime) {
  for (bool black : {true, false}) {
    SCOPED_TRACE(black ? "puppet black first" : "puppet white first");
    const MatchSetup s = ShortGames(black, "3");
    ShortMatch m(s);
    m.StepEveryMillisecond();
    ASSERT_TRUE(m.Play());

    const std::vector<HandshakeCalls> h = Handshakes(m.Partner);
    ASSERT_EQ(h.size(), 3u);
    for (std::size_t game = 0; game < 3; ++game) {
      SCOPED_TRACE("game " + std::to_string(game + 1));
      const bool puppetBlack = black == (game != 1);
      EXPECT_EQ(h[game].NewGame.A, puppetBlack ? 1 : 2);
      EXPECT_EQ(h[game].NewGame.Tick, h[game].NewGame.Called + m.Partner.NewGameMs);
      if (game == 0) {
        EXPECT_EQ(h[game].NewGame.Called, h[game].Open.Tick + (puppetBlack ? 5000u : 0u));
        continue;
      }
      EXPECT_EQ(h[game].NewGame.Called, h[game].Open.Tick);
      // The wait starts when the cursor is parked after the puppet's new game.
      std::uint32_t parked = 0;
      for (const platform::headless::InputEvent& e : m.W.Desktop.InputLog())
        if (!platform::TickAfter(e.Tick, h[game].Open.Called)) parked = e.Tick;
      EXPECT_EQ(h[game].Open.Called - parked, puppetBlack ? 30000u : 15000u);
    }
  }
}

// ---- The puppet's first move ----

// Profiles 4 and 5 show their first stone late: the first game's first move is
// read 2 s and 3 s after the game is agreed. A later game, set up 30 s before, is
// read at once, as is every game of the other profiles.
TEST(FirstMove, Profiles4And5PauseBeforeTheFirstMoveOfTheFirstGameOnly) {
  for (int profile : {4, 5, 1}) {
    SCOPED_TRACE("profile " + std::to_string(profile));
    MatchSetup s = ShortGames(true, "3");
    s.Profile = profile;
    ShortMatch m(s);
    // Input is waiting when a game is agreed, so the message handling after the
    // handshake returns at once and the pause alone lies between the two calls.
    m.Partner.OnCall = [&](const ScriptedLink::Call& c) {
      if (c.Name == "newgame" && c.Result == 1) m.W.App.Post([] {});
    };
    ASSERT_TRUE(m.Play());

    std::vector<std::uint32_t> gaps;  // from each agreed game to the puppet's first send
    const auto& calls = m.Partner.Calls;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i)
      if (calls[i].Name == "newgame" && calls[i].A == 1 && calls[i + 1].Name == "sendxy")
        gaps.push_back(calls[i + 1].Called - calls[i].Tick);
    const std::uint32_t pause = profile == 4 ? 2000 : profile == 5 ? 3000 : 0;
    EXPECT_EQ(gaps, (std::vector<std::uint32_t>{pause, 0}));
  }
}

// The puppet black shows no stone when its first move is read: a box says so,
// nothing is sent, no relay timer runs, and the link stays open until the abort
// button closes it.
TEST(FirstMove, NoFirstStoneStopsWithABoxInTheFirstGameAndInALaterOne) {
  for (bool later : {false, true}) {
    SCOPED_TRACE(later ? "second game" : "first game");
    MatchSetup s = ShortGames(!later, later ? "2" : "1");
    // It thinks ten minutes over its first move of the game in question.
    if (!later) s.Puppet.ThinkMs = 600000;
    ShortMatch m(s);
    m.Partner.OnCall = [&](const ScriptedLink::Call& c) {
      if (later && c.Name == "closecom") m.Puppet()->Options().ThinkMs = 600000;
    };
    m.Operator.StartMatch(SettingsOf(s));
    m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 3600000);
    m.RunFor(20000);

    EXPECT_EQ(m.Boxes(), Lines{"傀儡の一手目が見付かりません!"});
    EXPECT_EQ(m.Partner.Count("newgame"), later ? 2 : 1);
    EXPECT_EQ(CallsAfterLast(m.Partner, "newgame"), Lines{});
    EXPECT_EQ(m.F.MoveCount, 0);
    EXPECT_FALSE(m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
    EXPECT_TRUE(m.Partner.Open());
    EXPECT_EQ(m.F.SpeedButton1.Caption(), "中止");
    m.W.App.Click(m.F.SpeedButton1);
    m.RunFor(1000);
    EXPECT_EQ(CallsAfterLast(m.Partner, "newgame"), Lines{"closecom"});
    EXPECT_EQ(m.F.SpeedButton1.Caption(), "終了");
  }
}

// ---- A series ----

// The partner does not agree the second game: the box, the link closed and
// unloaded, the game reset, no further game. Nothing runs; the button still
// reads abort, as after a failed first handshake, and its press ends the match
// without reaching the library.
TEST(Series, AHandshakeThatFailsInTheSecondGameStopsTheSeriesWithABox) {
  const MatchSetup s = ShortGames(true, "3");
  ShortMatch m(s);
  m.Partner.NewGameScript = {300, -1, -1, -1, -1, -1, -1, -1};  // white tries 7 times
  m.Operator.StartMatch(SettingsOf(s));
  m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 3600000);
  m.RunFor(120000);

  EXPECT_EQ(m.Boxes(), Lines{"通信接続がうまくできません！"});
  EXPECT_EQ(m.Partner.Count("initcom"), 2);
  EXPECT_EQ(m.Partner.Count("newgame"), 8);
  EXPECT_EQ(m.Partner.Records.size(), 1u);
  EXPECT_EQ(m.W.Log().back(), "NewGame Error !");
  EXPECT_EQ(m.Partner.Calls.back().Name, "closecom");
  EXPECT_EQ(m.Partner.Unloads, m.Partner.Loads);  // each game's bind released
  EXPECT_EQ(m.F.Caption(), " 囲碁通信代理 Tovarin");
  EXPECT_EQ(m.F.Label1.Caption(), "手数= 0");
  EXPECT_FALSE(m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
  EXPECT_EQ(m.F.SpeedButton1.Caption(), "中止");
  const std::size_t calls = m.Partner.Calls.size();
  m.W.App.Click(m.F.SpeedButton1);
  m.RunFor(1000);
  EXPECT_EQ(m.F.SpeedButton1.Caption(), "終了");
  EXPECT_EQ(m.Partner.Calls.size(), calls);
}

// A series length of 0, below 0 or no number at all counts as a single game.
TEST(Series, ALengthBelowOneOrNoNumberPlaysOneGame) {
  for (const char* games : {"0", "-2", "abc"}) {
    SCOPED_TRACE(games);
    const MatchSetup s = ShortGames(true, games);
    ShortMatch m(s);
    ASSERT_TRUE(m.Play());
    m.RunFor(120000);

    EXPECT_EQ(m.Partner.Count("initcom"), 1);
    EXPECT_EQ(m.Partner.Records.size(), 1u);
    const std::vector<std::string>& log = m.W.Log();
    EXPECT_EQ(log[log.size() - 2], "6 手まで 終局しました！");
    EXPECT_EQ(m.F.Caption(), " 囲碁通信代理 Tovarin");
    EXPECT_FALSE(m.Partner.Open());
    EXPECT_TRUE(m.Boxes().empty());
    EXPECT_EQ(m.Puppet()->GamesStarted(), 2);
  }
}

// ---- The program's end ----

// The main window is closed while the black side waits for the other operator,
// right as the first game is agreed, between two games, or right as the second
// game is agreed: the program ends, nothing but closecom reaches the library
// after the close is handled, and no box is shown.
TEST(ProgramEnd, ClosingTheMainWindowDuringAStartCallsNothingButClosecom) {
  enum When { Prompt, FirstAgreed, BetweenGames, SecondAgreed };
  for (When when : {Prompt, FirstAgreed, BetweenGames, SecondAgreed}) {
    SCOPED_TRACE(when);
    // Closed as a game is agreed, the puppet is white in the first game and so
    // black in the second: a first move that would be sent at once.
    const MatchSetup s =
        ShortGames(when == Prompt || when == BetweenGames, when >= BetweenGames ? "2" : "1");
    ShortMatch m(s);
    m.W.App.SetMainForm(m.F);
    std::size_t callsAtClose = 0;
    bool closed = false;
    // Posted input: handled when Tovarin next handles its messages; a newgame
    // under way blocks it until the call returns.
    auto close = [&] {
      m.W.App.Post([&] {
        closed = true;
        callsAtClose = m.Partner.Calls.size();
        m.F.Close();
      });
    };
    m.Partner.OnCall = [&](const ScriptedLink::Call& c) {
      const int opened = m.Partner.Count("initcom");
      if (c.Name == "initcom" && when == Prompt) m.W.Clock.Schedule(2000, close);
      if (c.Name == "initcom" && when == FirstAgreed) close();
      if (c.Name == "initcom" && when == SecondAgreed && opened == 2) close();
      if (c.Name == "closecom" && when == BetweenGames) m.W.Clock.Schedule(10000, close);
    };
    m.Operator.StartMatch(SettingsOf(s));
    m.W.App.PumpUntil([] { return false; }, 3600000);

    ASSERT_TRUE(closed);
    EXPECT_TRUE(m.W.App.Terminated());
    for (std::size_t i = callsAtClose; i < m.Partner.Calls.size(); ++i)
      EXPECT_EQ(m.Partner.Calls[i].Name, "closecom") << "call " << i;
    EXPECT_TRUE(m.Boxes().empty());
    EXPECT_EQ(m.Partner.Count("initcom"), when == SecondAgreed ? 2 : 1);
    if (when == Prompt) {
      EXPECT_EQ(m.Partner.Count("newgame"), 0);
      EXPECT_FALSE(m.Partner.Open());
    }
  }
}

}  // namespace
