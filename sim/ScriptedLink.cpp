#include "sim/ScriptedLink.h"

#include <algorithm>
#include <cstring>

namespace simworld {

using refpuppet::Move;

ScriptedLink* ScriptedLink::Current_ = nullptr;

ScriptedLink::ScriptedLink(platform::headless::SimClock& clock) : Clock_(clock), Random_(1) {
  Current_ = this;
}

ScriptedLink::~ScriptedLink() {
  if (Current_ == this) Current_ = nullptr;
}

int ScriptedLink::Count(const std::string& name) const {
  return static_cast<int>(
      std::count_if(Calls.begin(), Calls.end(), [&](const Call& c) { return c.Name == name; }));
}

platform::LibraryHandle ScriptedLink::Load(std::string_view moduleName) {
  if (!Installed || moduleName != "duelcom") return nullptr;
  ++Loads;
  return this;
}

void* ScriptedLink::Lookup(platform::LibraryHandle library, const char* exportName) {
  if (library != this || Missing == exportName) return nullptr;
  const std::string name = exportName;
  if (name == "initcom") return reinterpret_cast<void*>(&Initcom);
  if (name == "closecom") return reinterpret_cast<void*>(&Closecom);
  if (name == "sendxy") return reinterpret_cast<void*>(&Sendxy);
  if (name == "receivexy") return reinterpret_cast<void*>(&Receivexy);
  if (name == "newgame") return reinterpret_cast<void*>(&Newgame);
  return nullptr;
}

void ScriptedLink::Unload(platform::LibraryHandle) { ++Unloads; }

int ScriptedLink::Done(const char* name, std::uint32_t called, int a, int b, int result) {
  Calls.push_back(Call{name, a, b, result, Clock_.TickCount(), called});
  if (OnCall) OnCall(Calls.back());
  return result;
}

bool ScriptedLink::GameOver() const {
  if (Records.empty()) return true;
  const std::vector<Move>& r = Records.back();
  return r.size() >= 2 && r[r.size() - 1].IsPass() && r[r.size() - 2].IsPass();
}

void ScriptedLink::Reply() {
  std::vector<Move>& record = Records.back();
  const int number = static_cast<int>(record.size()) + 1;
  std::optional<Move> given = Plays ? Plays(number) : std::nullopt;
  const bool pass = (PassFromMove > 0 && number > PassFromMove) ||
                    std::find(PassAtMoves.begin(), PassAtMoves.end(), number) != PassAtMoves.end();
  const Move m = given ? *given : pass ? Move{} : refpuppet::ChooseMove(Game_, Random_);
  if (m.IsPass())
    Game_.Pass();
  else
    Game_.Play(m.C, m.R);
  record.push_back(m);
  Waiting_ = m;
  ReadyAt_ = Clock_.TickCount() + ThinkMs;
}

int ScriptedLink::Initcom(int port) {
  ScriptedLink& s = *Current_;
  const std::uint32_t called = s.Clock_.TickCount();
  if (s.Open_ || !s.PortOpens) return s.Done("initcom", called, port, 0, 0);
  s.Open_ = true;
  s.Port_ = port;
  s.Waiting_.reset();
  return s.Done("initcom", called, port, 0, 1);
}

int ScriptedLink::Closecom() {
  ScriptedLink& s = *Current_;
  const std::uint32_t called = s.Clock_.TickCount();
  s.Open_ = false;
  s.Waiting_.reset();  // a move not fetched goes with the link
  return s.Done("closecom", called, 0, 0, 1);
}

int ScriptedLink::Newgame(int colour) {
  ScriptedLink& s = *Current_;
  const std::uint32_t called = s.Clock_.TickCount();
  if (!s.Open_) return s.Done("newgame", called, colour, 0, 0);
  const std::size_t call = static_cast<std::size_t>(s.NewGames_++);
  const int delay =
      call < s.NewGameScript.size() ? s.NewGameScript[call] : static_cast<int>(s.NewGameMs);
  if (delay < 0) {
    s.Clock_.Sleep(10000);
    return s.Done("newgame", called, colour, 0, 0);
  }
  s.Clock_.Sleep(static_cast<std::uint32_t>(delay));
  s.Game_.Reset();
  s.Random_ = refpuppet::Random(s.Seed + static_cast<std::uint64_t>(s.Records.size()));
  s.Records.emplace_back();
  s.Colours.push_back(colour == 1 ? 2 : 1);
  s.Waiting_.reset();
  if (colour == 2) s.Reply();  // the partner plays black and opens the game
  return s.Done("newgame", called, colour, 0, 1);
}

int ScriptedLink::Sendxy(int x, int y) {
  ScriptedLink& s = *Current_;
  const std::uint32_t called = s.Clock_.TickCount();
  if (!s.Open_) return s.Done("sendxy", called, x, y, 0);
  const bool endsTheGame = x == 0 && y == 0 && !s.Records.empty() && !s.Records.back().empty() &&
                           s.Records.back().back().IsPass();
  if (s.UnansweredSends.count(++s.Sends_) != 0 || (endsTheGame && s.LastPassUnanswered)) {
    s.Clock_.Sleep(10000);
    return s.Done("sendxy", called, x, y, 0);
  }
  s.Clock_.Sleep(s.WireMs);
  if (!s.Records.empty() && !s.GameOver()) {
    const Move m{x, y};
    s.Records.back().push_back(m);
    if (m.IsPass())
      s.Game_.Pass();
    else
      s.Game_.Play(x, y);
    if (!s.GameOver()) s.Reply();
  }
  return s.Done("sendxy", called, x, y, 1);
}

int ScriptedLink::Receivexy(int* x, int* y) {
  ScriptedLink& s = *Current_;
  const std::uint32_t called = s.Clock_.TickCount();
  // Every call is recorded, those that find no move too: a test of what is asked
  // after the link is closed must see every question.
  if (!s.Open_ || !s.Waiting_ || platform::TickAfter(s.ReadyAt_, called))
    return s.Done("receivexy", called, 0, 0, 0);
  *x = s.Waiting_->C;
  *y = s.Waiting_->R;
  s.Waiting_.reset();
  return s.Done("receivexy", called, *x, *y, 1);
}

}  // namespace simworld
