// The match on the simulated desktop, in virtual time, against the scripted
// partner: the start, the handshake, the relay, the end of a game, the series and
// the aborts, with every log line and message box in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/headless/SimDesktop.h"
#include "tests/support/MatchWorld.h"
#include "tovarin/puppet/Profiles.h"

namespace {

using refpuppet::Move;
using simworld::ScriptedLink;
using testing_world::MatchSetup;
using testing_world::MatchWorld;
using Lines = std::vector<std::string>;

const char* const Dashes24 = "------------------------";
const char* const Dashes28 = "----------------------------";
const Lines AbortLines = {"", "通信対戦が中止されました！ 再対戦するには",
                          "まず終了してから、Tovarinを再起動して下さい"};

void Append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

std::string Position(std::size_t number, const Move& m) {
  std::string line = std::to_string(number) + "手目  位置は[ " + std::to_string(m.C) + " , " +
                     std::to_string(m.R) + " ]";
  return m.IsPass() ? line + " (パス)" : line;
}

// The handshake's lines: the prompt to the other operator only in a first game.
Lines HandshakeLines(bool puppetIsBlack, bool firstGame) {
  Lines l = {"通信初期化 ＯＫ", ""};
  if (firstGame) {
    l.push_back(puppetIsBlack ? "白番側の通信待機を始めて下さい"
                              : "黒番側の NewGame送信 を始めて下さい");
    l.push_back("");
  }
  Append(l, {puppetIsBlack ? "NewGame Send" : "NewGame Recv", "NewGame OK", Dashes28});
  return l;
}

// The line that ends game `game`: how it ended and where its record is.
std::string RecordLine(int game, const std::string& ending) {
  return "第 " + std::to_string(game) + " 局: " + ending + "  棋譜 kifu\\" +
         testing_world::RecordName(game);
}

// The relay's lines for a whole game as the partner recorded it (its last move is
// the pass that ended it), from move number `from` on.
Lines RelayLines(const std::vector<Move>& record, bool puppetIsBlack, std::size_t from,
                 int game = 1) {
  Lines l;
  for (std::size_t i = from - 1; i < record.size(); ++i) {
    const bool puppet = (i % 2 == 0) == puppetIsBlack;
    l.push_back(puppet ? "おー！ 傀儡の着手 発見 !" : "来た！ 相棒の着手 受信！");
    l.push_back(Position(i + 1, record[i]));
    l.push_back("");
    if (i + 1 == record.size())
      Append(l, {"２回目のパスをキャッチ！", "", std::to_string(i - 1) + " 手まで 終局しました！",
                 RecordLine(game, "2 回のパスで終局しました")});
    else
      Append(l,
             puppet ? Lines{"相棒を待っています.....", ""} : Lines{"傀儡が考えています.....", ""});
  }
  return l;
}

std::vector<Move> AllButLast(const std::vector<Move>& record) {
  return std::vector<Move>(record.begin(), record.end() - 1);
}

class SingleGame : public ::testing::TestWithParam<bool> {};

TEST_P(SingleGame, IsRelayedLineByLineAndEndsWithTheFinishButton) {
  const bool black = GetParam();
  MatchSetup s;
  s.PuppetIsBlack = black;
  MatchWorld m(s);
  ASSERT_TRUE(m.Play());

  ASSERT_EQ(m.Partner.Records.size(), 1u);
  const std::vector<Move>& record = m.Partner.Records[0];
  EXPECT_EQ(m.Record(), AllButLast(record));
  Lines want = HandshakeLines(black, true);
  Append(want, RelayLines(record, black, black ? 2 : 1));
  EXPECT_EQ(m.W.Log(), want);
  EXPECT_TRUE(m.Boxes().empty());

  EXPECT_EQ(m.F.Label2.Caption(), black ? "黒[Velk2]" : "黒[相棒]");
  EXPECT_EQ(m.F.Label3.Caption(), black ? "白[相棒]" : "白[Velk2]");
  EXPECT_EQ(m.F.Caption(), " 囲碁通信代理 Tovarin");
  EXPECT_FALSE(m.F.SpeedButton22.Visible());
  EXPECT_FALSE(m.F.Timer1.Enabled());
  // The puppet black waited 5 s for the other side before its request.
  const auto& calls = m.Partner.Calls;
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].Name, "initcom");
  EXPECT_EQ(calls[0].A, 1);
  EXPECT_EQ(calls[1].Name, "newgame");
  EXPECT_EQ(calls[1].A, black ? 1 : 2);
  EXPECT_GE(calls[1].Tick - calls[0].Tick, black ? 5000u + 300u : 300u);
  // The link is closed at the end; the library stays loaded.
  EXPECT_EQ(calls.back().Name, "closecom");
  EXPECT_EQ(m.Partner.Unloads, 0);
  // The partner thought 800 ms a move, and each side's time was counted.
  const int partnerMoves = static_cast<int>(record.size() + (black ? 0 : 1)) / 2;
  EXPECT_GE(m.F.PartnerTime, 800 * partnerMoves);
  EXPECT_GT(m.F.PuppetTime, 300 * partnerMoves);
  // The puppet knows the game is over and shows no box.
  EXPECT_TRUE(m.Puppet()->GameOver());
  EXPECT_FALSE(m.Puppet()->BoxOpen());
}

INSTANTIATE_TEST_SUITE_P(Match, SingleGame, ::testing::Bool());

TEST(Series, ThreeGamesSwapColoursWaitBetweenGamesAndSumUp) {
  MatchSetup s;
  s.Games = "3";
  MatchWorld m(s);
  std::vector<Lines> logs;
  Lines captions, infoCaptions, blackLabels;
  std::vector<std::uint32_t> closed, opened;
  std::vector<int> targetSizes;
  m.Partner.OnCall = [&](const ScriptedLink::Call& c) {
    if (c.Name == "initcom") opened.push_back(c.Tick);
    if (c.Name != "closecom") return;
    closed.push_back(c.Tick);
    targetSizes.push_back(m.F.TargetWidth * m.F.TargetHeight);
    logs.push_back(m.W.Log());
    captions.push_back(m.F.Caption());
    infoCaptions.push_back(m.W.Form3().Caption());
    blackLabels.push_back(m.F.Label2.Caption());
  };
  ASSERT_TRUE(m.Play());

  ASSERT_EQ(m.Partner.Records.size(), 3u);
  EXPECT_EQ(m.Partner.Colours, (std::vector<int>{2, 1, 2}));
  EXPECT_EQ(captions, (Lines{" 囲碁通信代理 Tovarin  第 1 局", " 囲碁通信代理 Tovarin  第 2 局",
                             " 囲碁通信代理 Tovarin  第 3 局"}));
  EXPECT_EQ(infoCaptions, (Lines{" Tovarin   < 連続対戦 3 局 ： 第 1 回 >",
                                 " Tovarin   < 連続対戦 3 局 ： 第 2 回 >",
                                 " Tovarin   < 連続対戦 3 局 ： 第 3 回 >"}));
  EXPECT_EQ(blackLabels, (Lines{"黒[Velk2]", "黒[相棒]", "黒[Velk2]"}));

  ASSERT_EQ(logs.size(), 3u);
  Lines first = HandshakeLines(true, true);
  Append(first, RelayLines(m.Partner.Records[0], true, 2));
  EXPECT_EQ(logs[0], first);
  for (int game = 2; game <= 3; ++game) {
    const bool black = game == 3;
    Lines want = {"第 " + std::to_string(game) + " 回通信に入ります", "", "30 秒お待ち.....",
                  Dashes24};
    Append(want, HandshakeLines(black, false));
    Append(want, RelayLines(m.Partner.Records[static_cast<std::size_t>(game - 1)], black,
                            black ? 2 : 1, game));
    EXPECT_EQ(logs[static_cast<std::size_t>(game - 1)], want) << "game " << game;
    if (game == 3) {
      Append(want, {"", Dashes28, "囲碁連続通信対戦 代理 Tovarin :", "全 3 局 が終了しました。",
                    Dashes28});
      EXPECT_EQ(m.W.Log(), want);
    }
  }
  // The side that sends the request waits 30 s before it, the other side 15 s;
  // the puppet's new-game script takes the same time either way.
  ASSERT_EQ(opened.size(), 3u);
  const std::int64_t toGame2 = opened[1] - closed[0], toGame3 = opened[2] - closed[1];
  EXPECT_GE(toGame2, 15000);
  EXPECT_NEAR(toGame3 - toGame2, 15000, 20);

  EXPECT_EQ(m.F.SpeedButton1.Caption(), "終了");
  EXPECT_EQ(m.F.GameNo, 1);
  EXPECT_EQ(m.F.GamesTotal, 1);
  EXPECT_EQ(m.F.ProfileNo, 0);
  EXPECT_EQ(m.F.PuppetIsBlack, 0);
  // The puppet's size is kept through the series and forgotten at its end.
  EXPECT_EQ(targetSizes, (std::vector<int>(3, 500 * 375)));
  EXPECT_EQ(m.F.TargetWidth, 0);
  EXPECT_EQ(m.F.TargetHeight, 0);
  EXPECT_EQ(m.Puppet()->GamesStarted(), 4);  // the one it opened with, and three
  EXPECT_TRUE(m.Boxes().empty());
}

class Handshake : public ::testing::TestWithParam<bool> {};

TEST_P(Handshake, ThatFailsOnEveryTryClosesAndUnloadsTheLink) {
  const bool black = GetParam();
  MatchSetup s;
  s.PuppetIsBlack = black;
  MatchWorld m(s);
  m.Partner.NewGameScript.assign(7, -1);
  m.Operator.StartMatch(simworld::MatchSettings{black});
  m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 600000);

  Lines want = {"通信初期化 ＯＫ", "",
                black ? "白番側の通信待機を始めて下さい" : "黒番側の NewGame送信 を始めて下さい",
                ""};
  const int tries = black ? 5 : 7;
  for (int i = 0; i < tries; ++i)
    Append(want, black ? Lines{"NewGame Send", "NewGame Send Error !"}
                       : Lines{"NewGame Recv", "NewGame Recv Error !"});
  want.push_back("NewGame Error !");
  EXPECT_EQ(m.W.Log(), want);
  EXPECT_EQ(m.Boxes(), Lines{"通信接続がうまくできません！"});
  EXPECT_EQ(m.Partner.Count("newgame"), tries);
  EXPECT_EQ(m.Partner.Calls.back().Name, "closecom");
  EXPECT_EQ(m.Partner.Unloads, 1);
  // The game was reset; the start button stays hidden and nothing runs.
  m.RunFor(10000);
  EXPECT_EQ(m.F.Caption(), " 囲碁通信代理 Tovarin");
  EXPECT_FALSE(m.F.SpeedButton22.Visible());
  EXPECT_EQ(m.F.SpeedButton1.Caption(), "中止");
  EXPECT_FALSE(m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
}

INSTANTIATE_TEST_SUITE_P(Match, Handshake, ::testing::Bool());

TEST(Handshake, NoLibraryOrNoPortIsReportedBeforeAnyRequest) {
  for (bool installed : {false, true}) {
    MatchSetup s;
    MatchWorld m(s);
    m.Partner.Installed = installed;
    m.Partner.PortOpens = false;
    m.Operator.StartMatch(simworld::MatchSettings{});
    m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 600000);
    EXPECT_EQ(m.W.Log(), Lines{installed ? "ポート初期化 Error!" : "通信初期化 Error!"});
    EXPECT_EQ(m.Boxes(), Lines{"通信接続がうまくできません！"});
    EXPECT_EQ(m.Partner.Count("newgame"), 0);
    EXPECT_EQ(m.Partner.Count("closecom"), installed ? 1 : 0);
    EXPECT_EQ(m.Partner.Unloads, installed ? 1 : 0);
  }
}

// ---- A start that does not begin a match ----

TEST(Start, StopsBeforeTheMatchWithoutAProgramOnCancelAndWithAPuppetOutOfPlace) {
  {
    testing_world::World w;
    w.App.PumpUntil([&] { return w.Form1().StartupDone; }, 5000);
    int dialogs = 0;
    w.App.ModalResponder = [&](ui::Form&) { return ++dialogs, ui::mrOk; };
    w.App.Click(w.Form1().SpeedButton22);
    w.App.ProcessMessages();
    EXPECT_EQ(w.App.MessageBoxes.size(), 1u);
    EXPECT_EQ(w.App.MessageBoxes[0].Text,
              "未だ対戦ソフトは登録されていません！ 先に登録して下さい");
    EXPECT_EQ(dialogs, 0);
  }
  for (bool cancel : {true, false}) {
    MatchSetup s;
    s.Puppet.StartsMinimised = true;
    MatchWorld m(s);
    m.Operator.StartMatch(simworld::MatchSettings{});
    if (cancel) m.W.App.ModalResponder = [](ui::Form&) { return ui::mrCancel; };
    m.RunFor(60000);
    EXPECT_TRUE(m.Launcher.Running().empty() == cancel);
    // Both windows are back and the start button can be pressed again.
    EXPECT_TRUE(m.F.Visible());
    EXPECT_TRUE(m.W.Form3().Visible());
    EXPECT_TRUE(m.F.SpeedButton22.Visible());
    EXPECT_EQ(m.F.SpeedButton1.Caption(), "登録");
    EXPECT_EQ(m.Partner.Loads, 0);
    if (!cancel) {
      EXPECT_EQ(m.W.Log().back(), "通信対戦エラーになりました！");
    }
  }
}

// The proxy's windows stand beside and below the puppet once it is placed.
TEST(Start, LaysTheWindowsOutAroundThePuppet) {
  struct Layout {
    int Profile, Width, Height;
  };
  for (const Layout& l : {Layout{1, 1024, 768}, Layout{4, 800, 600}, Layout{14, 1024, 768}}) {
    SCOPED_TRACE("profile " + std::to_string(l.Profile));
    MatchSetup s;
    s.Profile = l.Profile;
    s.Width = l.Width;
    s.Height = l.Height;
    MatchWorld m(s);
    platform::Rect main, info;
    m.Partner.OnCall = [&](const ScriptedLink::Call& c) {
      if (c.Name != "initcom") return;
      main = {m.F.Left(), m.F.Top(), m.F.Left() + m.F.Width(), m.F.Top() + m.F.Height()};
      const tovarin::TForm3& i = m.W.Form3();
      info = {i.Left(), i.Top(), i.Left() + i.Width(), i.Top() + i.Height()};
    };
    ASSERT_TRUE(m.Play());
    const int w = m.F.Width(), infoHeight = m.W.Form3().Height();
    switch (l.Profile) {
      case 1:  // 1024 - 500 leaves room: the main window keeps its corner
        EXPECT_EQ(main, (platform::Rect{1024 - w, 0, 1024, m.F.Height()}));
        EXPECT_EQ(info, (platform::Rect{0, 375, 500, 768}));
        break;
      case 4:  // 800 - 640 is below 282: the main window moves next to the puppet
        EXPECT_EQ(main.Left, 641);
        EXPECT_EQ(info, (platform::Rect{0, 480, 640, 600}));
        break;
      case 14:  // the bottom right corner, 280 wide
        EXPECT_EQ(info, (platform::Rect{1024 - 280, 768 - infoHeight, 1024, 768}));
        break;
    }
  }
}

// ---- Aborts ----

enum class AbortAt { Launch, Prompt, BetweenGames, AfterHandshake, MidGame };

class Abort : public ::testing::TestWithParam<AbortAt> {};

TEST_P(Abort, EndsTheMatchAndNothingReachesTheLibraryAfterItIsClosed) {
  const AbortAt at = GetParam();
  MatchSetup s;
  s.Games = at == AbortAt::BetweenGames ? "2" : "1";
  MatchWorld m(s);
  int sent = 0;
  m.Partner.OnCall = [&](const ScriptedLink::Call& c) {
    if ((at == AbortAt::Prompt && c.Name == "initcom") ||
        (at == AbortAt::BetweenGames && c.Name == "closecom" && m.Partner.Count("closecom") == 1))
      m.PressAbortAfter(at == AbortAt::Prompt ? 2000 : 10000);
    if (at == AbortAt::AfterHandshake && c.Name == "newgame") m.W.App.Click(m.F.SpeedButton1);
    // Mid-game: while Timer2 asks for the partner's answer to the puppet's sixth move.
    if (at == AbortAt::MidGame && c.Name == "sendxy" && ++sent == 6)
      m.W.App.Click(m.F.SpeedButton1);
  };
  // Pressed while the puppet is launched: the click waits for the blocking sleeps
  // and is handled in the handshake's wait for the other side.
  if (at == AbortAt::Launch) m.PressAbortAfter(3000);
  ASSERT_TRUE(m.Play());
  m.RunFor(60000);

  // A game agreed before the abort has its record, and its ending is said last.
  const bool agreed = at == AbortAt::AfterHandshake || at == AbortAt::MidGame;
  Lines log = m.W.Log();
  if (agreed) {
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), RecordLine(1, "中止されました"));
    log.pop_back();
  }
  ASSERT_GE(log.size(), AbortLines.size());
  EXPECT_EQ(Lines(log.end() - 3, log.end()), AbortLines);
  EXPECT_EQ(m.F.SpeedButton1.Caption(), "終了");
  EXPECT_FALSE(m.F.Timer1.Enabled() || m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
  EXPECT_TRUE(m.Boxes().empty());
  EXPECT_EQ(m.CallsAfterClose(), 0);
  EXPECT_EQ(m.Partner.Count("closecom"), at == AbortAt::BetweenGames ? 2 : 1);
  EXPECT_FALSE(m.Partner.Open());
  switch (at) {
    case AbortAt::Launch:
    case AbortAt::Prompt:
      EXPECT_EQ(log[log.size() - 4], "白番側の通信待機を始めて下さい");
      EXPECT_EQ(m.Partner.Count("newgame"), 0);
      break;
    case AbortAt::BetweenGames:
      EXPECT_EQ(m.Partner.Count("initcom"), 1);
      EXPECT_EQ(log[0], "第 2 回通信に入ります");
      break;
    case AbortAt::AfterHandshake:
      EXPECT_EQ(m.Partner.Count("sendxy"), 0);  // the puppet's first move stays unsent
      break;
    case AbortAt::MidGame:
      EXPECT_GT(m.F.MoveCount, 10);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Match, Abort,
                         ::testing::Values(AbortAt::Launch, AbortAt::Prompt, AbortAt::BetweenGames,
                                           AbortAt::AfterHandshake, AbortAt::MidGame));

// ---- Moves the board refuses ----

TEST(Refusal, APartnerMoveOnAStoneStopsTheGameWithTheLinkOpen) {
  MatchSetup s;
  MatchWorld m(s);
  // It answers the puppet's first stone with a stone on the same point.
  m.Partner.Plays = [&](int number) -> std::optional<Move> {
    if (number == 2) return m.Partner.Records[0][0];
    return std::nullopt;
  };
  // The operator reads the box for a while; the clocks go on meanwhile.
  m.W.App.OperatorReadsMs = 5000;
  int ticksAtBox = 0;
  m.W.App.OnMessageBox = [&](const auto&) { ticksAtBox = m.W.App.TicksDelivered["Timer1"]; };
  m.Operator.StartMatch(simworld::MatchSettings{});
  m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 600000);
  EXPECT_GE(m.W.App.TicksDelivered["Timer1"], ticksAtBox + 4);
  m.RunFor(20000);

  const Move first = m.Partner.Records[0][0];
  EXPECT_EQ(m.Boxes(),
            Lines{"相棒の今打った着手( " + std::to_string(first.C) + " , " +
                  std::to_string(first.R) + " )は\nルール違反のようです(通信を中断します)"});
  EXPECT_EQ(m.F.MoveCount, 1);
  EXPECT_FALSE(m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
  EXPECT_TRUE(m.Partner.Open());
  EXPECT_EQ(m.F.SpeedButton1.Caption(), "中止");
}

// ---- A screen that is not the puppet's board ----

// After the puppet's fifth move a window of another program comes over its board,
// or the puppet ends: the relay stops with a box once a few looks agree, the link
// stays open, and nothing the puppet did not play is sent.
TEST(BoardGuard, AScreenThatIsNotTheBoardStopsTheRelayAndSendsNothing) {
  enum Case { Covered, Killed, Moved };
  for (Case c : {Covered, Killed, Moved}) {
    SCOPED_TRACE(c);
    MatchSetup s;
    MatchWorld m(s);
    m.Partner.Plays = [&](int number) -> std::optional<Move> {
      if (number != 6) return std::nullopt;
      if (c == Killed) {
        m.Launcher.Kill(s.Profile);
      } else if (c == Moved) {
        platform::Rect r;
        m.W.Desktop.GetWindowRect(m.Puppet()->Window(), r);
        m.W.Desktop.MoveWindow(m.Puppet()->Window(),
                               {r.Left + 40, r.Top + 20, r.Right + 40, r.Bottom + 20});
      } else {
        const platform::Rect area = puppet::SampleArea(*puppet::ReadingOf(s.Profile));
        m.W.Desktop.CreateWindow("notice", area, nullptr)
            .FillRect({0, 0, area.Width(), area.Height()}, platform::Rgb(0, 0, 128));
      }
      return std::nullopt;
    };
    m.Operator.StartMatch(simworld::MatchSettings{});
    m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 600000);
    m.RunFor(20000);

    ASSERT_EQ(m.Boxes().size(), 1u);
    const char* const expected[] = {"傀儡の盤面に新しい石が一度に ",
                                    "傀儡のウィンドウが見付かりません。",
                                    "傀儡のウィンドウが対局の位置から動かされました。"};
    EXPECT_EQ(m.Boxes()[0].rfind(expected[c], 0), 0u) << m.Boxes()[0];
    int sends = 0;
    for (const ScriptedLink::Call& call : m.Partner.Calls) sends += call.Name == "sendxy";
    EXPECT_EQ(sends, 3);  // moves 1, 3 and 5
    const Lines log = m.W.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "盤面の監視: 中継を止めました"), log.end());
    EXPECT_FALSE(m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
    EXPECT_TRUE(m.Partner.Open());
    EXPECT_EQ(m.F.SpeedButton1.Caption(), "中止");
  }
}

// Before the handshake the screen must show the profile's empty board where the
// profile reads it. When it does not, a box names the cause, the link is never
// opened and the button finishes the program.
TEST(BoardGuard, AScreenThatIsNotTheBoardBeforeTheHandshakeStartsNoGame) {
  enum Case { Dialog, DrawnLarger, OtherPuppet, OwnWindowOver, SecondGame };
  for (Case c : {Dialog, DrawnLarger, OtherPuppet, OwnWindowOver, SecondGame}) {
    SCOPED_TRACE(c);
    MatchSetup s;
    if (c == DrawnLarger) s.Puppet.BoardScalePercent = 125;
    if (c == SecondGame) s.Games = "2";
    if (c == OtherPuppet) s.Profile = 6;  // registered as profile 6, but profile 16 runs
    MatchWorld m(s);
    if (c == OtherPuppet) m.Launcher.PreferEdition(16);
    // The main window left where the user put it, over the puppet's board.
    if (c == OwnWindowOver) m.F.SetBounds(60, 80, m.F.Width(), m.F.Height());
    // A box of the puppet's left over its board once it is placed, or once the
    // first game is over: a window it owns, which stays above it.
    m.W.App.OnLineAppended = [&](const ui::Memo&, const std::string& line) {
      const bool due = c == SecondGame ? line == "30 秒お待ち....."
                                       : line == "傀儡前化粧 OK" || line == "傀儡前準備 OK";
      if ((c == Dialog || c == SecondGame) && due)
        m.W.Desktop.CreateWindow("box", {150, 150, 350, 260}, nullptr, true, m.F.PuppetWindow)
            .FillRect({0, 0, 200, 110}, puppet::DialogGrey);
    };
    m.Operator.StartMatch(simworld::MatchSettings{true, 1, s.Games});
    m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 3600000);
    m.RunFor(20000);

    ASSERT_EQ(m.Boxes().size(), 1u);
    const std::string expected = c == OwnWindowOver
                                     ? "傀儡の盤面が Tovarin のウィンドウに隠れています。"
                                     : "傀儡の盤面で空いて見えない点が ";
    EXPECT_EQ(m.Boxes()[0].rfind(expected, 0), 0u) << m.Boxes()[0];
    const Lines log = m.W.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "盤面の確認: 対戦を始めません"), log.end());
    int opened = 0;
    for (const ScriptedLink::Call& call : m.Partner.Calls) opened += call.Name == "initcom";
    EXPECT_EQ(opened, c == SecondGame ? 1 : 0);
    EXPECT_FALSE(m.Partner.Open());
    EXPECT_EQ(m.F.SpeedButton1.Caption(), "終了");
    EXPECT_FALSE(m.F.Timer1.Enabled() || m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
  }
}

// A box of Tovarin's own stands centred on the screen, over the puppet's board,
// for 20 s of the puppet's turn: no look is taken under it, so profile 4 does not
// read its grey face as the puppet's pass, and the game goes on alike on both sides.
TEST(BoardGuard, NoLookIsTakenUnderABoxOfTovarinsOwn) {
  MatchSetup s;
  s.Profile = 4;
  MatchWorld m(s);
  m.W.App.OperatorReadsMs = 20000;
  // Up once the partner's second move is clicked in, so nothing raises the puppet.
  int given = 0;
  m.W.App.OnLineAppended = [&](const ui::Memo&, const std::string& line) {
    if (line == "傀儡が考えています....." && ++given == 2)
      m.W.App.Post([&] { m.F.App().MessageBox("お知らせ"); });
  };
  ASSERT_TRUE(m.Play());
  EXPECT_EQ(m.Boxes(), Lines{"お知らせ"});
  ASSERT_EQ(m.Partner.Records.size(), 1u);
  EXPECT_EQ(m.Puppet()->Game().History(), m.Partner.Records[0]);
}

class OffTheBoard : public ::testing::TestWithParam<Move> {};

// The link hands on what the wire carries: point 362 arrives as (1, 0) and point
// 511 as (17, -7), whose code is that of (16, 14).
TEST_P(OffTheBoard, AReceivedPointOutsideTheBoardNeverReachesIt) {
  const Move bad = GetParam();
  MatchSetup s;
  MatchWorld m(s);
  m.Partner.Plays = [bad](int number) -> std::optional<Move> {
    if (number == 2) return bad;
    return std::nullopt;
  };
  m.Operator.StartMatch(simworld::MatchSettings{});
  m.W.App.PumpUntil([&] { return !m.Boxes().empty(); }, 600000);

  EXPECT_EQ(m.Boxes(),
            Lines{"相棒の今打った着手( " + std::to_string(bad.C) + " , " + std::to_string(bad.R) +
                  " )は\nルール違反のようです(通信を中断します)"});
  EXPECT_EQ(m.F.MoveCount, 1);
  EXPECT_EQ(m.F.Stones[board::PointCode(16, 14)], board::Empty);
  EXPECT_FALSE(m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
}

INSTANTIATE_TEST_SUITE_P(Match, OffTheBoard, ::testing::Values(Move{1, 0}, Move{17, -7}));

// ---- A lost link ----

TEST(LostLink, AnUnansweredMoveEndsTheRelayAndTheLibraryIsNotCalledAgain) {
  MatchSetup s;
  MatchWorld m(s);
  m.Partner.UnansweredSends = {3};  // the puppet's fifth move
  m.Operator.StartMatch(simworld::MatchSettings{});
  m.W.App.PumpUntil([&] { return m.Partner.Unloads > 0; }, 600000);
  m.RunFor(60000);

  const Lines log = m.W.Log();
  EXPECT_EQ(Lines(log.end() - 5, log.end()),
            (Lines{"おー！ 傀儡の着手 発見 !", Position(5, m.Record()[4]), "", "Send Error !",
                   RecordLine(1, "相棒との通信が切れました")}));
  EXPECT_EQ(m.CallsAfterClose(), 0);
  EXPECT_EQ(m.Partner.Unloads, 1);
  EXPECT_EQ(m.F.SpeedButton1.Caption(), "終了");
  EXPECT_FALSE(m.F.Timer1.Enabled() || m.F.Timer2.Enabled() || m.F.Timer3.Enabled());
}

TEST(LostLink, AnUnansweredLastPassStillEndsTheGameAndTheSeriesGoesOn) {
  for (const char* games : {"1", "2"}) {
    MatchSetup s;
    s.Games = games;
    MatchWorld m(s);
    m.Partner.PassFromMove = 39;  // the partner passes first: the puppet's pass ends games
    m.Partner.LastPassUnanswered = true;
    ASSERT_TRUE(m.Play()) << games;
    const Lines log = m.W.Log();
    if (std::string(games) == "1") {
      // The game ended on the two passes, before the last one went unanswered.
      EXPECT_EQ(log.back(), "Send Error !");
      EXPECT_EQ(log[log.size() - 2], RecordLine(1, "2 回のパスで終局しました"));
      EXPECT_EQ(log[log.size() - 3].find(" 手まで 終局しました！") != std::string::npos, true);
      EXPECT_EQ(m.CallsAfterClose(), 0);
      EXPECT_EQ(m.Partner.Loads, 1);
    } else {
      // The next game opens the library afresh and is played to its end.
      EXPECT_EQ(m.Partner.Loads, 2);
      EXPECT_EQ(m.Partner.Records.size(), 2u);
      EXPECT_EQ(log[log.size() - 2], "全 2 局 が終了しました。");
    }
  }
}

// ---- The puppet's first move ----

TEST(FirstMove, APassAsThePuppetsFirstMoveIsRelayedAsAPass) {
  MatchSetup s;
  s.Puppet.PassAtMoves = {1};
  MatchWorld m(s);
  ASSERT_TRUE(m.Play());
  const std::vector<Move>& record = m.Partner.Records[0];
  ASSERT_GT(record.size(), 10u);
  EXPECT_TRUE(record[0].IsPass());
  EXPECT_EQ(m.Record(), AllButLast(record));
  EXPECT_EQ(m.Partner.Calls[2].Name, "sendxy");
  EXPECT_EQ(m.Partner.Calls[2].A * 100 + m.Partner.Calls[2].B, 0);
}

}  // namespace
