#include "tests/puppet/GameDriver.h"

#include <algorithm>
#include <sstream>

#include "tovarin/puppet/Profiles.h"

namespace puppet_test {

using refpuppet::GoGame;
using refpuppet::Stone;

void DismissGameEnd(tovarin::TForm1& f, int profile, bool puppetPassedLast) {
  platform::Clock& clock = f.Sys.Clock;
  const int x = f.Sys.Desktop.ScreenWidth() / 2, y = f.Sys.Desktop.ScreenHeight() / 2;
  if (profile == 18) {
    if (!puppetPassedLast) {
      clock.Sleep(500);
      f.ClickAt(329, 270);
    }
    clock.Sleep(10000);
    f.ClickAt(329, 270);
    return;
  }
  clock.Sleep(3000);
  switch (profile) {
    case 1:
      f.ClickAt(220, 220);
      f.ClickAt(470, 80);
      f.ClickAt(200, 215);
      break;
    case 2:
      f.ClickAt(200, 220);
      break;
    case 3:
      f.ClickAt(240, 240);
      break;
    case 5:
      f.ClickAt(x + 50, y + 55);
      clock.Sleep(2000);
      f.ClickAt(x, y + 55);
      break;
    case 6:
      f.ClickAt(255, 255);
      f.ClickAt(200, 255);
      break;
    case 7:
    case 8:
      f.ClickAt(230, 225);
      break;
    case 9:
      if (f.PassDialogHandled) {
        f.PassDialogHandled = false;
        break;
      }
      f.ClickAt(x + 12, y + 64);
      clock.Sleep(300);
      f.ClickAt(x + 12, y + 34);
      clock.Sleep(300);
      f.ClickAt(x - 48, y + 144);
      clock.Sleep(300);
      break;
    case 11:
      f.ClickAt(315, 275);
      clock.Sleep(1000);
      f.ClickAt(604, 80);
      clock.Sleep(1000);
      f.ClickAt(260, 277);
      break;
    case 12:
      f.ClickAt(240, 220);
      break;
    case 13:
      f.ClickAt(280, 230);
      f.ClickAt(235, 235);
      break;
    case 14:
    case 17:
      f.ClickAt(x, y + 50);
      clock.Sleep(500);
      f.ClickAt(x, y + 50);
      break;
    case 15:
      f.ClickAt(290, 230);
      f.ClickAt(250, 230);
      break;
    case 16:
      f.ClickAt(240, 266);
      clock.Sleep(500);
      f.ClickAt(200, 270);
      break;
    default:
      break;  // 4 and 10 have nothing to clear
  }
}

void PlacePuppet(testing_world::World& w, int profile) {
  tovarin::TForm1& f = w.Form1();
  const puppet::Geometry* g = puppet::GeometryOf(profile);
  w.Desktop.SetWindowPos(f.PuppetWindow, platform::InsertBottom, 0, 0, f.TargetWidth,
                         f.TargetHeight, platform::SwpShowWindow);
  if (g->PlayLeft != 0 || g->PlayTop != 0)
    w.Desktop.SetWindowPos(f.PuppetWindow, platform::InsertBottom, g->PlayLeft, g->PlayTop,
                           f.TargetWidth, f.TargetHeight, platform::SwpShowWindow);
}

namespace {

class Game {
 public:
  Game(testing_world::World& w, refpuppet::ReferencePuppet& puppet, const GameSetup& setup)
      : W_(w), F_(w.Form1()), Puppet_(puppet), Setup_(setup), Random_(setup.PartnerSeed) {}

  // The partner learns the moves made so far.
  void CatchUp() {
    for (const refpuppet::Move& m : Puppet_.Game().History()) {
      if (m.IsPass())
        Partner_.Pass();
      else
        Partner_.Play(m.C, m.R);
    }
  }

  GameReport Run() {
    while (!Report_.Ended && Report_.Failure.empty()) {
      if (F_.MoveCount >= 400) {
        Fail("the game did not end");
        break;
      }
      if (PartnersTurn()) {
        PartnerMoves();
      } else {
        // The boards are compared while the puppet waits for the partner: at any
        // other moment its answer may already be on its board.
        PuppetMoves();
        if (Report_.Failure.empty() && !Report_.Ended) Compare();
      }
    }
    Report_.Moves = F_.MoveCount;
    Report_.Captures = Puppet_.Game().StonesCaptured();
    Report_.Notices = Puppet_.NoticesShown();
    if (Report_.Ended && Report_.Failure.empty()) CheckEnd();
    return Report_;
  }

 private:
  testing_world::World& W_;
  tovarin::TForm1& F_;
  refpuppet::ReferencePuppet& Puppet_;
  const GameSetup& Setup_;
  GoGame Partner_;  // the partner's own record of the game
  refpuppet::Random Random_;
  std::uint32_t Deadline_ = 0;
  GameReport Report_;

  void Fail(const std::string& what) {
    std::ostringstream s;
    s << "profile " << Setup_.Profile << ", move " << F_.MoveCount + 1 << ": " << what;
    Report_.Failure = s.str();
  }

  bool PartnersTurn() const { return (F_.MoveCount % 2 == 0) != Setup_.PuppetIsBlack; }
  bool LastWasPass() const { return F_.MoveCount >= 1 && F_.LastMove() == 0; }

  void PartnerMoves() {
    int number = F_.MoveCount + 1;
    const auto& at = Setup_.PartnerPassAtMoves;
    bool pass = (Setup_.PartnerPassFromMove > 0 && F_.MoveCount >= Setup_.PartnerPassFromMove) ||
                std::find(at.begin(), at.end(), number) != at.end();
    refpuppet::Move m = pass ? refpuppet::Move{} : refpuppet::ChooseMove(Partner_, Random_);
    if (m.IsPass()) {
      ++Report_.PartnerPasses;
      F_.MoveX = F_.MoveY = 0;
      if (LastWasPass()) {
        F_.EnterMove(0, 0);
        Report_.Ended = true;
        DismissGameEnd(F_, Setup_.Profile, false);
        return;
      }
      F_.RecordPass();
      Partner_.Pass();
      F_.EnterMove(0, 0);
    } else {
      F_.MoveX = m.C;
      F_.MoveY = m.R;
      if (!F_.CheckMovePoint() || !F_.PlaceStone(F_.MoveCount % 2 == 0)) {
        Fail("Tovarin refused the partner's move");
        return;
      }
      Partner_.Play(m.C, m.R);
      F_.EnterMove(m.C, m.R);
    }
    Deadline_ = F_.Sys.Clock.TickCount() + 7000;
    F_.PassCheckDue = false;
  }

  void PuppetMoves() {
    platform::Clock& clock = F_.Sys.Clock;
    std::uint32_t start = clock.TickCount();
    bool seen = false;
    for (int poll = 0; poll < 150 && !seen; ++poll) {
      if (poll > 0) clock.Sleep(200);
      if (!F_.PassCheckDue && platform::TickAfter(clock.TickCount(), Deadline_))
        F_.PassCheckDue = true;
      seen = F_.DetectPuppetMove(F_.MoveX, F_.MoveY);
    }
    if (!seen) {
      Fail("the puppet's move was never seen");
      return;
    }
    Report_.LongestWaitMs =
        std::max(Report_.LongestWaitMs, static_cast<int>(clock.TickCount() - start));
    F_.PassCheckDue = false;
    if (F_.MoveX == 0 && F_.MoveY == 0) {
      ++Report_.PuppetPasses;
      if (LastWasPass()) {
        Report_.Ended = true;
        Report_.EndedByPuppet = true;
        DismissGameEnd(F_, Setup_.Profile, true);
        return;
      }
      F_.RecordPass();
      Partner_.Pass();
      return;
    }
    int x = F_.MoveX, y = F_.MoveY;
    if (!F_.CheckMovePoint() || !F_.PlaceStone(F_.MoveCount % 2 == 0)) {
      Fail("Tovarin refused the puppet's move");
      return;
    }
    if (!Partner_.Play(x, y)) Fail("the puppet's move read from the screen is not legal");
  }

  // Tovarin's board, the puppet's board and the partner's record must agree.
  void Compare() {
    if (Puppet_.Game().MovesMade() != F_.MoveCount) {
      Fail("the puppet has made " + std::to_string(Puppet_.Game().MovesMade()) +
           " moves, Tovarin recorded " + std::to_string(F_.MoveCount));
      return;
    }
    for (int c = 1; c <= 19; ++c)
      for (int r = 1; r <= 19; ++r) {
        Stone p = Puppet_.Game().At(c, r);
        int expected = p == Stone::Black   ? board::StoneBlack
                       : p == Stone::White ? board::StoneWhite
                                           : board::Empty;
        if (F_.Stones[static_cast<std::size_t>(board::PointCode(c, r))] != expected ||
            Partner_.At(c, r) != p) {
          Fail("the boards differ at (" + std::to_string(c) + ", " + std::to_string(r) + ")");
          return;
        }
      }
  }

  // After the end-of-game clicks the puppet shows nothing more, except profile 4's
  // result box, which stays until the next game is started.
  void CheckEnd() {
    if (!Puppet_.GameOver()) Fail("the puppet does not know the game is over");
    bool expectBox = Setup_.Profile == 4;
    if (Puppet_.BoxOpen() != expectBox)
      Fail(expectBox ? "profile 4's result box is missing" : "a box is left on the screen");
  }
};

}  // namespace

GameReport FinishGame(testing_world::World& w, refpuppet::ReferencePuppet& puppet,
                      const GameSetup& setup) {
  Game game(w, puppet, setup);
  game.CatchUp();
  return game.Run();
}

GameReport PlayGame(testing_world::World& w, refpuppet::PuppetLauncher& launcher,
                    const GameSetup& setup) {
  GameReport failed;
  launcher.Options = setup.Puppet;
  if (setup.Profile == 6 || setup.Profile == 16) launcher.Kando4Profile = setup.Profile;
  launcher.RegisterAll();
  const puppet::Identity* id = puppet::IdentityOf(setup.Profile);
  w.Desktop.StartProgram(std::string("C:\\Go\\") + id->Executable, "C:\\Go\\");
  refpuppet::ReferencePuppet* puppet = launcher.Find(setup.Profile);
  tovarin::TForm1& f = w.Form1();
  f.FindPuppet(setup.Profile);
  if (!puppet || f.ProfileNo != setup.Profile) {
    failed.Failure = "profile " + std::to_string(setup.Profile) + ": the puppet was not found";
    return failed;
  }
  // The information window stands below the puppet during a match; here it is
  // simply put away.
  w.Form3().Hide();
  PlacePuppet(w, setup.Profile);
  f.ResetGame();
  f.PuppetIsBlack = setup.PuppetIsBlack ? 1 : 0;
  puppet->NewGame(setup.PuppetIsBlack);
  Game game(w, *puppet, setup);
  return game.Run();
}

}  // namespace puppet_test
