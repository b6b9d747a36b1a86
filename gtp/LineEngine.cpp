#include "gtp/LineEngine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "gtp/Vertex.h"

#ifndef DUELCOM_VERSION
#define DUELCOM_VERSION "1.0.0"
#endif

namespace gtp {

namespace {

const char* ColourName(int colour) { return colour == Black ? "black" : "white"; }

std::string Seconds(std::uint32_t ms) { return std::to_string((ms + 999) / 1000) + " s"; }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// "B D4", "W pass": a move as the messages name it.
std::string MoveText(int colour, int x, int y) {
  return std::string(colour == Black ? "B " : "W ") + ToVertex(x, y);
}

}  // namespace

const std::vector<std::string>& LineEngine::Commands() {
  static const std::vector<std::string> commands = {"protocol_version",
                                                    "name",
                                                    "version",
                                                    "known_command",
                                                    "list_commands",
                                                    "quit",
                                                    "boardsize",
                                                    "clear_board",
                                                    "komi",
                                                    "play",
                                                    "genmove",
                                                    "undo",
                                                    "time_settings",
                                                    "time_left",
                                                    "kgs-time_settings",
                                                    "final_score",
                                                    "showboard"};
  return commands;
}

LineEngine::LineEngine(GmpLine& line, LineEngineSettings settings)
    : Line(line), Settings(std::move(settings)), FarColour(Settings.FarColour) {}

void LineEngine::Start() {
  std::string error;
  LineOpen = Line.Open(error);
  if (!LineOpen && Say) Say("cannot open the line " + Line.Name() + ": " + error);
}

int LineEngine::ColourOf(const std::string& word) {
  const std::string w = Lower(word);
  if (w == "b" || w == "black") return Black;
  if (w == "w" || w == "white") return White;
  return 0;
}

std::string LineEngine::Handle(const std::string& input) {
  // What the protocol takes of a line: no control characters but tabs, which
  // count as blanks, and nothing after a '#'.
  std::string text;
  for (char c : input) {
    if (c == '#') break;
    if (c == '\t') c = ' ';
    if (static_cast<unsigned char>(c) < 32 || c == 127) continue;
    text += c;
  }
  std::istringstream words(text);
  std::vector<std::string> args;
  for (std::string w; words >> w;) args.push_back(w);
  if (args.empty()) return "";
  std::string id;
  if (args[0].find_first_not_of("0123456789") == std::string::npos) {
    id = args[0];
    args.erase(args.begin());
  }
  Reply reply;
  if (args.empty()) {
    reply = {false, "unknown command"};
  } else {
    const std::string command = args[0];
    args.erase(args.begin());
    reply = Run(command, args);
  }
  return (reply.Ok ? "=" : "?") + id + " " + reply.Text + "\n\n";
}

LineEngine::Reply LineEngine::Run(const std::string& command,
                                  const std::vector<std::string>& args) {
  if (command == "protocol_version") return {true, "2"};
  if (command == "name") return {true, Settings.Name};
  if (command == "version") return {true, DUELCOM_VERSION};
  if (command == "known_command") {
    if (args.empty()) return {false, "missing argument"};
    for (const std::string& c : Commands())
      if (c == args[0]) return {true, "true"};
    return {true, "false"};
  }
  if (command == "list_commands") {
    std::string list;
    for (const std::string& c : Commands()) list += (list.empty() ? "" : "\n") + c;
    return {true, list};
  }
  if (command == "quit") {
    Quit = true;
    if (Running) EndGame("the controller quit before the game ended");
    return {true, ""};
  }
  if (command == "boardsize") {
    if (args.empty() || args[0].find_first_not_of("0123456789") != std::string::npos)
      return {false, "boardsize not an integer"};
    // The line's moves number the points of a 19 x 19 board.
    if (std::atoi(args[0].c_str()) != BoardSize) return {false, "unacceptable size"};
    return {true, ""};
  }
  if (command == "clear_board") return ClearBoard();
  if (command == "komi") {
    char* end = nullptr;
    if (args.empty() || (std::strtod(args[0].c_str(), &end), *end != '\0'))
      return {false, "komi not a float"};
    // Kept for the record and the score: the line carries none.
    Komi = args[0];
    Game.Komi = Komi;
    return {true, ""};
  }
  if (command == "play") return Play(args);
  if (command == "genmove") return GenMove(args);
  if (command == "undo") return {false, "cannot undo"};  // the line has no take-back
  if (command == "time_settings" || command == "time_left" || command == "kgs-time_settings")
    return {true, ""};  // the line carries no clock
  if (command == "final_score") return FinalScore();
  if (command == "showboard") return {true, ShowBoard()};
  return {false, "unknown command"};
}

LineEngine::Reply LineEngine::ClearBoard() {
  if (Running && Board.MovesMade() > 0)
    return {false, "the game on the line is not over: it ends on two passes in a row"};
  if (Running) return {true, ""};  // agreed, and nothing played yet
  // A new game after one that was agreed (the first one too); after a failed
  // agreement, the same game again.
  if (GameNumber == 0 || Agreed) {
    ++GameNumber;
    if (GameNumber > 1) FarColour = FarColour == Black ? White : Black;
    Agreed = false;
  }
  Board.Reset();
  Passes = 0;
  std::string why;
  if (!EnsureAgreed(why)) return {false, why};
  return {true, ""};
}

bool LineEngine::EnsureAgreed(std::string& why) {
  if (Running) return true;
  if (GameNumber == 0) {
    why = "no game: clear_board starts one";
    return false;
  }
  if (Agreed) {
    why = "the game on the line has ended: clear_board starts the next one";
    return false;
  }
  if (!LineOpen) {
    std::string error;
    if (!Line.Open(error)) {
      why = "cannot open the line " + Line.Name() + ": " + error;
      return false;
    }
    LineOpen = true;
  }
  if (LineColour() == Black && GameNumber > 1)
    WaitForFarEnd(LastEnd, Settings.NextRequestDelayMs, [&] {
      if (Say)
        Say("game " + std::to_string(GameNumber) + ": the request waits until the far end listens");
    });
  const std::uint32_t rounds = std::max<std::uint32_t>(1, Settings.AgreeMs / Line.WaitMs());
  for (std::uint32_t round = 0; round < rounds; ++round) {
    if (Line.NewGame(LineColour())) {
      Agreed = Running = true;
      Passes = 0;
      Board.Reset();
      Game = GameRecord{};
      Game.Program = "duelcom-engine";
      Game.Number = GameNumber;
      Game.EngineColour = FarColour;
      Game.EngineName = Settings.Name;
      Game.LineName = "GTP controller";
      Game.Komi = Komi;
      Game.Date = Settings.Date;
      if (Say)
        Say("game " + std::to_string(GameNumber) + ": agreed on " + Line.Name() +
            "; the far end plays " + ColourName(FarColour));
      return true;
    }
    if (Line.Lost()) {
      why = "the line " + Line.Name() + " was lost while a new game was being agreed";
      Line.Close();
      LineOpen = false;
      return false;
    }
  }
  why = "no new game was agreed on the line " + Line.Name() + " within " +
        Seconds(Line.WaitMs() * rounds) + ": the far end is silent";
  return false;
}

LineEngine::Reply LineEngine::Play(const std::vector<std::string>& args) {
  const int colour = args.size() == 2 ? ColourOf(args[0]) : 0;
  int x = 0;
  int y = 0;
  if (!colour || !FromVertex(args[1], x, y)) return {false, "invalid color or coordinate"};
  std::string why;
  if (!EnsureAgreed(why)) return {false, why};
  const int number = Board.MovesMade() + 1;
  if (colour == FarColour)
    return {false, std::string("the far end plays ") + ColourName(FarColour) +
                       " in this game: its moves come from genmove, never from play"};
  if ((Board.ToMove() == refpuppet::Stone::Black ? Black : White) != colour)
    return {false, std::string("move ") + std::to_string(number) + " is " + ColourName(3 - colour) +
                       "'s on the line"};
  if (!IsPass(x, y) && !Board.IsLegal(x, y)) return {false, "illegal move"};
  if (!Line.SendMove(x, y)) {
    const std::string move = "move " + std::to_string(number) + " (" + MoveText(colour, x, y) + ")";
    if (Line.Lost())
      return Broken("the line " + Line.Name() + " was lost while " + move + " was sent");
    if (Line.MoveDenied()) return Broken("the far end refused " + move + " on the line");
    return Broken("the far end did not acknowledge " + move + " within " + Seconds(Line.WaitMs()));
  }
  Record(colour, x, y);
  return {true, ""};
}

LineEngine::Reply LineEngine::GenMove(const std::vector<std::string>& args) {
  const int colour = args.size() == 1 ? ColourOf(args[0]) : 0;
  if (!colour) return {false, "invalid color"};
  std::string why;
  if (!EnsureAgreed(why)) return {false, why};
  const int number = Board.MovesMade() + 1;
  if (colour != FarColour)
    return {false, std::string("the far end plays ") + ColourName(FarColour) +
                       " in this game: genmove " + ColourName(colour) + " cannot be asked of it"};
  if ((Board.ToMove() == refpuppet::Stone::Black ? Black : White) != colour)
    return {false, std::string("move ") + std::to_string(number) + " is " + ColourName(3 - colour) +
                       "'s on the line"};
  int x = 0;
  int y = 0;
  const std::string move = "move " + std::to_string(number);
  if (!Line.WaitMove(x, y, Settings.MoveWaitMs)) {
    if (Line.Lost())
      return Broken("the line " + Line.Name() + " was lost while waiting for " + move);
    std::string failure =
        "no " + move + " came from the far end within " + Seconds(Settings.MoveWaitMs);
    int denied = 0, dx = 0, dy = 0;
    if (Line.DeniedMove(denied, dx, dy))
      failure += "; the line denied the far end's move " + MoveText(denied, dx, dy) + ", since " +
                 ColourName(denied) + " is this side's colour";
    return Broken(failure);
  }
  if (!IsPass(x, y) && !OnBoard(x, y))
    return Broken(move + " from the far end is outside the board (column " + std::to_string(x) +
                  ", row " + std::to_string(y) + " from the top)");
  if (!IsPass(x, y) && !Board.IsLegal(x, y))
    return Broken(move + " from the far end (" + MoveText(colour, x, y) + ") is illegal here");
  Record(colour, x, y);
  return {true, ToVertex(x, y)};
}

void LineEngine::Record(int colour, int x, int y) {
  if (IsPass(x, y)) {
    Board.Pass();
  } else {
    Board.Play(x, y);
  }
  Game.Moves.push_back({colour, x, y});
  Passes = IsPass(x, y) ? Passes + 1 : 0;
  if (Passes == 2) EndGame("");
}

LineEngine::Reply LineEngine::Broken(const std::string& why) {
  if (Say) Say("game " + std::to_string(GameNumber) + ": " + why);
  EndGame(why);
  return {false, why};
}

void LineEngine::EndGame(const std::string& stopped) {
  Running = false;
  LastEnd = std::chrono::steady_clock::now();
  Game.Stopped = stopped;
  if (!stopped.empty()) Game.Ended = stopped;
  Line.Close();
  LineOpen = false;
  if (OnGameEnd) OnGameEnd(Game);
  if (Quit) return;
  // The next game's line is open at once: the far end may send its request
  // before the controller's next clear_board.
  std::string error;
  LineOpen = Line.Open(error);
  if (!LineOpen && Say) Say("cannot open the line " + Line.Name() + ": " + error);
}

LineEngine::Reply LineEngine::FinalScore() const {
  // By area, every stone alive: stones and the empty regions that only one
  // colour reaches, with the komi.
  constexpr int N = refpuppet::GoGame::Size;
  int black = 0;
  int white = 0;
  std::vector<int> seen(N * N, 0);
  for (int r = 1; r <= N; ++r) {
    for (int c = 1; c <= N; ++c) {
      const refpuppet::Stone s = Board.At(c, r);
      if (s == refpuppet::Stone::Black) ++black;
      if (s == refpuppet::Stone::White) ++white;
      if (s != refpuppet::Stone::None || seen[(r - 1) * N + c - 1]) continue;
      std::vector<std::pair<int, int>> region = {{c, r}}, todo = {{c, r}};
      seen[(r - 1) * N + c - 1] = 1;
      bool byBlack = false, byWhite = false;
      while (!todo.empty()) {
        const auto [pc, pr] = todo.back();
        todo.pop_back();
        const int next[4][2] = {{pc - 1, pr}, {pc + 1, pr}, {pc, pr - 1}, {pc, pr + 1}};
        for (const auto& q : next) {
          if (q[0] < 1 || q[0] > N || q[1] < 1 || q[1] > N) continue;
          const refpuppet::Stone t = Board.At(q[0], q[1]);
          if (t == refpuppet::Stone::Black) byBlack = true;
          if (t == refpuppet::Stone::White) byWhite = true;
          int& mark = seen[(q[1] - 1) * N + q[0] - 1];
          if (t != refpuppet::Stone::None || mark) continue;
          mark = 1;
          region.push_back({q[0], q[1]});
          todo.push_back({q[0], q[1]});
        }
      }
      if (byBlack && !byWhite) black += static_cast<int>(region.size());
      if (byWhite && !byBlack) white += static_cast<int>(region.size());
    }
  }
  const double score = black - white - std::atof(Komi.c_str());
  if (score == 0) return {true, "0"};
  char text[32];
  std::snprintf(text, sizeof text, "%c+%g", score > 0 ? 'B' : 'W', score > 0 ? score : -score);
  return {true, text};
}

std::string LineEngine::ShowBoard() const {
  const std::string letters = "ABCDEFGHJKLMNOPQRST";
  std::string header = "  ";
  for (char c : letters) header += std::string(" ") + c;
  std::string out = header + "\n";
  for (int r = 1; r <= BoardSize; ++r) {
    char number[8];
    std::snprintf(number, sizeof number, "%2d", BoardSize + 1 - r);
    out += number;
    for (int c = 1; c <= BoardSize; ++c) {
      const refpuppet::Stone s = Board.At(c, r);
      out += s == refpuppet::Stone::Black ? " X" : s == refpuppet::Stone::White ? " O" : " .";
    }
    out += std::string(" ") + number + "\n";
  }
  return out + header;
}

}  // namespace gtp
