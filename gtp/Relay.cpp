#include "gtp/Relay.h"

#include <cctype>

#include "gtp/Vertex.h"

namespace gtp {

namespace {

const char* ColourName(int colour) { return colour == Black ? "black" : "white"; }

std::string Seconds(std::uint32_t ms) { return std::to_string((ms + 999) / 1000) + " s"; }

bool IsResign(const std::string& text) {
  if (text.size() != 6) return false;
  for (std::size_t i = 0; i < 6; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != "resign"[i]) return false;
  }
  return true;
}

std::string MoveText(int colour, int x, int y) {
  return std::string(colour == Black ? "B " : "W ") + ToVertex(x, y);
}

}  // namespace

Relay::Relay(GmpLine& line, GtpEngine& engine, RelaySettings settings, Sink say, Sink detail)
    : Line(line),
      Engine(engine),
      Settings(std::move(settings)),
      Say(std::move(say)),
      DetailSink(std::move(detail)) {}

void Relay::Detail(const std::string& text) const {
  if (DetailSink) DetailSink(text);
}

bool Relay::Fail(const std::string& why) {
  if (Failure.empty()) Failure = why;
  CloseLine();
  return false;
}

bool Relay::FailLine(const std::string& failure, const std::string& doing) {
  if (Line.Lost())
    return Fail("the line " + Line.Name() + " was lost " + doing +
                ": the device can no longer be read (the far end hung up)");
  return Fail(failure);
}

// A command whose failure ends the series. `genmove` may take as long as the
// far end may take over a move; every other command has a shorter limit.
bool Relay::Command(const std::string& command, GtpReply& reply) {
  const std::uint32_t limit =
      command.rfind("genmove ", 0) == 0 ? Settings.MoveWaitMs : Settings.CommandWaitMs;
  reply = Engine.Ask(command, limit);
  if (reply.State == GtpReply::Status::Lost) {
    Gone = true;
    return Fail("the engine has gone: its output ended while it was asked \"" + command + "\"");
  }
  if (reply.State == GtpReply::Status::Late) {
    Gone = true;
    return Fail("the engine did not answer \"" + command + "\" within " + Seconds(limit));
  }
  return true;
}

bool Relay::Run() {
  GtpReply name;
  GtpReply version;
  if (!Command("name", name) || !Command("version", version)) return false;
  EngineName = name.Ok() && !name.Text.empty() ? name.Text : "GTP engine";
  if (version.Ok() && !version.Text.empty()) EngineName += " " + version.Text;
  Say("engine: " + EngineName);

  int colour = Settings.EngineColour;
  for (int game = 1; game <= Settings.Games; ++game) {
    const int next = colour == Black ? White : Black;
    if (!PlayGame(game, colour, game < Settings.Games ? next : 0)) return false;
    colour = next;
  }
  return true;
}

bool Relay::Agree(int engineColour) {
  for (int round = 0; round < Settings.AgreeRounds; ++round) {
    // Each round on the same line: an unanswered request is repeated byte for
    // byte by the link library, so a far end that opens its port late takes it
    // as the first command and one that heard it answers it as a repeat.
    if (Line.NewGame(engineColour)) return true;
    if (Line.Lost()) return FailLine("", "while a new game was being agreed");
    Detail(engineColour == Black ? "no answer to the new-game request yet"
                                 : "no new-game request from the line yet");
  }
  return Fail("no new game was agreed on the line " + Line.Name() + " within " +
              Seconds(Line.WaitMs() * static_cast<std::uint32_t>(Settings.AgreeRounds)) +
              ": the far end is silent");
}

bool Relay::OpenLine(int number, int engineColour, std::string& error) {
  if (!Line.Open(error)) {
    error = "cannot open the line " + Line.Name() + ": " + error;
    return false;
  }
  LineOpen = true;
  Say("game " + std::to_string(number) + ": line open on " + Line.Name() + "; the engine plays " +
      ColourName(engineColour));
  return true;
}

void Relay::CloseLine() {
  Line.Close();
  LineOpen = false;
}

bool Relay::PlayGame(int number, int engineColour, int nextColour) {
  const std::string game = "game " + std::to_string(number);
  GameRecord record;
  record.Number = number;
  record.EngineColour = engineColour;
  record.EngineName = EngineName;
  record.LineName = "partner on " + Line.Name();
  record.Komi = Settings.Komi;
  record.Date = Settings.Date;
  // The first reason given stands; the record keeps it, the error names the game.
  auto stop = [&](const std::string& why) {
    Fail(why);
    record.Stopped = Failure;
    Failure = game + ": " + Failure;
    if (OnGameEnd) OnGameEnd(record);
    return false;
  };

  const std::string setup[] = {"boardsize 19", "clear_board", "komi " + Settings.Komi};
  for (const std::string& command : setup) {
    GtpReply reply;
    if (!Command(command, reply)) return stop(Failure);
    if (reply.Ok()) continue;
    // The line carries no komi, so an engine that will not take it can still
    // play; the record then names none.
    if (command.rfind("komi ", 0) == 0) {
      Say(game + ": the engine refused \"" + command + "\": " + reply.Text +
          "; playing on without it");
      record.Komi.clear();
      continue;
    }
    return stop("the engine refused \"" + command + "\": " + reply.Text);
  }

  // The line of a later game was opened when the game before it ended.
  std::string error;
  if (!LineOpen && !OpenLine(number, engineColour, error)) return stop(error);
  if (engineColour == Black && number > 1)
    WaitForFarEnd(LastEnd, Settings.NextRequestDelayMs,
                  [&] { Say(game + ": the request waits until the far end listens"); });
  if (!Agree(engineColour)) return stop(Failure);
  Say(game + ": new game agreed");

  int toMove = Black;
  int passes = 0;
  while (passes < 2) {
    int x = 0;
    int y = 0;
    const bool ok =
        toMove == engineColour ? EngineTurn(record, toMove, x, y) : LineTurn(record, toMove, x, y);
    if (!ok) return stop(Failure);
    record.Moves.push_back({toMove, x, y});
    passes = IsPass(x, y) ? passes + 1 : 0;
    toMove = toMove == Black ? White : Black;
  }
  CloseLine();
  LastEnd = std::chrono::steady_clock::now();
  // The next game's line is open before the engine is asked for the score,
  // which may take it a while: the far end's new-game tries run meanwhile.
  // (Should it fail, the next game tries again and reports it.)
  if (nextColour != 0) OpenLine(number + 1, nextColour, error);

  if (record.ResignedAtMove == 0) {
    GtpReply score;
    if (!Command("final_score", score)) return stop(Failure);
    if (score.Ok() && !score.Text.empty()) record.Result = score.Text;
  }
  Say(game + ": over after " + std::to_string(record.Moves.size()) + " moves" +
      (record.Result.empty() ? "" : ", " + record.Result));
  if (OnGameEnd) OnGameEnd(record);
  return true;
}

bool Relay::EngineTurn(GameRecord& record, int colour, int& x, int& y) {
  const int number = static_cast<int>(record.Moves.size()) + 1;
  const std::string move = "move " + std::to_string(number);
  x = y = 0;
  const bool capped = Settings.PassFrom > 0 && number > Settings.PassFrom;
  if (record.ResignedAtMove == 0 && !capped) {
    GtpReply reply;
    if (!Command(std::string("genmove ") + ColourName(colour), reply)) return false;
    if (!reply.Ok()) return Fail("the engine refused to choose " + move + ": " + reply.Text);
    if (IsResign(reply.Text)) {
      record.ResignedAtMove = number;
      record.Result = colour == Black ? "W+R" : "B+R";
      Say("game " + std::to_string(record.Number) + ", " + move + ": the engine (" +
          ColourName(colour) +
          ") resigns; the line has no resignation, so the engine passes from now on");
    } else if (!FromVertex(reply.Text, x, y)) {
      return Fail("the engine chose \"" + reply.Text + "\" for " + move +
                  ", which is no point of the board");
    }
  }
  Detail(move + ": " + MoveText(colour, x, y) + " from the engine");
  if (!Line.SendMove(x, y))
    return FailLine("the line did not acknowledge " + move + " within " + Seconds(Line.WaitMs()),
                    "while " + move + " was sent");
  return true;
}

bool Relay::LineTurn(GameRecord& record, int colour, int& x, int& y) {
  const std::string move = "move " + std::to_string(record.Moves.size() + 1);
  if (!Line.WaitMove(x, y, Settings.MoveWaitMs)) {
    std::string failure =
        "no " + move + " came from the line within " + Seconds(Settings.MoveWaitMs);
    // The far end may believe it has played: a move of the wrong colour is
    // denied on the line and never reaches the engine.
    int deniedColour = 0, dx = 0, dy = 0;
    if (Line.DeniedMove(deniedColour, dx, dy)) {
      const std::string vertex = ToVertex(dx, dy);
      failure += "; the line denied the far end's move " +
                 (vertex.empty() ? std::string(deniedColour == Black ? "B" : "W") + " off the board"
                                 : MoveText(deniedColour, dx, dy)) +
                 ", since " + ColourName(deniedColour) + " is the engine's colour";
    }
    return FailLine(failure, "while waiting for " + move);
  }
  if (!IsPass(x, y) && !OnBoard(x, y))
    return Fail(move + " from the line is outside the board (column " + std::to_string(x) +
                ", row " + std::to_string(y) + " from the top)");
  Detail(move + ": " + MoveText(colour, x, y) + " from the line");
  GtpReply reply;
  const std::string command = std::string("play ") + ColourName(colour) + " " + ToVertex(x, y);
  if (!Command(command, reply)) return false;
  if (!reply.Ok())
    return Fail("the engine refused " + move + " from the line (" + MoveText(colour, x, y) +
                "): " + reply.Text + "; nothing was sent back for it");
  return true;
}

}  // namespace gtp
