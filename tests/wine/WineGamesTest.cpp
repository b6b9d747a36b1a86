// Whole relayed games of the Windows program under Wine. The x86_64 tovarin.exe
// and duelcom.dll run from a folder of their own on a bare X server (run by
// wine_games.sh, which also readies the Wine prefix: its COM1 is the path
// <prefix>/com1). The reference puppet's Windows program, copied under the
// profile's executable name into a folder with a Japanese name, is registered in
// Tovarin's registry files as Tovarin writes them. An operator program under Wine
// presses the buttons and reads every line of the information window back from
// the window.
//
// At the far end of COM1 is either GNU Go, playing the other colour, or a second
// Tovarin with a puppet of another profile, in a Wine prefix and on an X server
// of its own (wine_games.sh with two sides), whose COM1 is joined to the first
// one's as by a null-modem cable. Its operator starts it after the white side's,
// as the operators of a real match do.
//
// Each game is checked move by move: the far end's record (GNU Go's own, or the
// other puppet's), the puppet's own record and the moves the information window
// showed must agree. Screenshots of the settings dialog, of each game under way
// and at its end, and of the end of the match are left in
// <build>/wine-games/<match>/ with the records and logs (with two Tovarins, in
// its folders a/ and b/, one for each side).
//
// A game against GNU Go may also end with the puppet's process killed in
// mid-game: then Tovarin must stop the relay with a box, keep the link open and
// send nothing more.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/engine.h"
#include "sim/GnuGoPartner.h"
#include "sim/Pty.h"
#include "tests/support/Files.h"
#include "tests/support/SgfMoves.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing_world::SgfMove;
using testing_world::Slurp;

const fs::path WindowsBuild = TOVARIN_WIN64_DIR;
const fs::path SourceDir = SOURCE_DIR;
const fs::path BuildDir = BUILD_DIR;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The Windows form of a path of this machine (Wine's drive Z: is the root).
std::string WindowsPath(const fs::path& path) {
  std::string out = "Z:" + fs::absolute(path).lexically_normal().string();
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

// UTF-8 to code page 932, the system's ANSI code page under Wine here.
std::string Cp932(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "";
  std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t left = in.size(), room = out.size();
  const bool ok = iconv(cd, &from, &left, &to, &room) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return "";
  out.resize(out.size() - room);
  return out;
}

// A Wine prefix and the X server that its programs show their windows on.
struct WineDesk {
  std::string Prefix;
  std::string Display;
};

// Starts a program with the given standard descriptors (-1: /dev/null) and, when
// a desk is given, that desk's prefix and display in its environment.
pid_t Spawn(const std::vector<std::string>& args, const fs::path& folder, int in, int out, int err,
            const WineDesk* desk = nullptr) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The environment is made before the fork: the child of a threaded program
  // must not allocate.
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (desk && (entry.rfind("WINEPREFIX=", 0) == 0 || entry.rfind("DISPLAY=", 0) == 0)) continue;
    environment.push_back(entry);
  }
  if (desk) {
    environment.push_back("WINEPREFIX=" + desk->Prefix);
    environment.push_back("DISPLAY=" + desk->Display);
  }
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string cwd = folder.string();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = ::open("/dev/null", O_RDWR);
  if (chdir(cwd.c_str()) != 0) _exit(126);
  dup2(in >= 0 ? in : null, 0);
  dup2(out >= 0 ? out : null, 1);
  dup2(err >= 0 ? err : null, 2);
  setpgid(0, 0);  // its own group, so that it can be stopped with its children
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

// Waits up to `ms` for the process to end; stops it after that. True when it
// ended by itself with exit status 0.
bool Reap(pid_t pid, int ms) {
  int status = 0;
  const auto until = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < until) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(-pid, SIGKILL);
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return false;
}

void Screenshot(const fs::path& file, const std::string& display) {
  const std::string command =
      "DISPLAY='" + display + "' import -window root '" + file.string() + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "no screenshot %s\n", file.c_str());
}

// The moves on a line in both directions, as they pass: a game ends at the
// second pass in a row. A packet that its sender repeats (the same four bytes as
// its last command; a new command toggles the sender's sequence bit) is the same
// move again, and a new-game request starts the count afresh.
class GameEndWatch {
 public:
  // Feeds a byte sent by side 0 or 1; true when it completed the second pass in
  // a row.
  bool Feed(int from, std::uint8_t byte) {
    Sender& s = Senders_[static_cast<std::size_t>(from)];
    duelcom::Packet p;
    if (!s.Framer.Feed(byte, p) || duelcom::CheckPacket(p) != duelcom::PacketCheck::Good)
      return false;
    const duelcom::PacketFields f = duelcom::DecodePacket(p);
    if (f.Cmd == duelcom::Command::OK || p == s.LastCommand)
      return false;  // an answer, or a repeat
    s.LastCommand = p;
    if (f.Cmd == duelcom::Command::NEWGAME) PassesInARow_ = 0;
    if (f.Cmd != duelcom::Command::MOVE) return false;
    PassesInARow_ = (f.Value & 0x1FF) == 0 ? PassesInARow_ + 1 : 0;
    return PassesInARow_ == 2;
  }

 private:
  struct Sender {
    duelcom::PacketFramer Framer;
    duelcom::Packet LastCommand{};
  };
  std::array<Sender, 2> Senders_;
  int PassesInARow_ = 0;
};

// One end of a serial line as a Wine prefix sees it: the path that the prefix
// maps COM1 to becomes a link to a pseudo-terminal's slave end, whose master end
// stays here. The line is raw with echo off before anybody writes; the setting
// stays with it while the master end is open. While the port is closed, the
// master end is hung up.
class ComLine {
 public:
  explicit ComLine(const fs::path& com1) {
    if (!Line_.IsOpen()) {
      Error = Line_.Error();
      return;
    }
    Line_.ReleaseSlave();
    std::error_code ignored;
    fs::remove(com1, ignored);
    fs::create_symlink(Line_.SlavePath, com1, ignored);
  }
  ComLine(const ComLine&) = delete;
  ComLine& operator=(const ComLine&) = delete;

  int Fd() const { return Line_.Master; }
  bool PortOpen() const {
    pollfd p{Line_.Master, POLLIN, 0};
    poll(&p, 1, 0);
    return !(p.revents & POLLHUP);
  }

  std::string Error;  // empty when the line is ready

 private:
  simworld::Pty Line_;
};

// What is at the far end of Tovarin's COM1, relayed on a thread of its own.
class FarEnd {
 public:
  virtual ~FarEnd() = default;

  // Called on the relay's thread once a game has had two passes in a row.
  std::function<void(int game)> GameOver;

  void Start() {
    if (Failure().empty()) Relay_ = std::thread([this] { Run(); });
  }
  // The games that came to their end.
  int GamesPlayed() const { return Played_; }
  std::string Failure() {
    std::lock_guard<std::mutex> lock(Lock_);
    return Failure_;
  }

 protected:
  virtual void Run() = 0;
  // The destructor of each kind of far end calls it before its members go.
  void StopRelay() {
    Stop_ = true;
    if (Relay_.joinable()) Relay_.join();
  }
  void Fail(const std::string& why) {
    std::lock_guard<std::mutex> lock(Lock_);
    if (Failure_.empty()) Failure_ = why;
  }
  void CountGame() { ++Played_; }

  std::atomic<bool> Stop_{false};

 private:
  std::thread Relay_;
  std::atomic<int> Played_{0};
  std::mutex Lock_;
  std::string Failure_;
};

// GNU Go at the far end of COM1, on a line whose master end is relayed to GNU
// Go's standard input and output. For each game a GNU Go is started, on the
// right colour, before Tovarin opens the port; what it sends waits in the relay
// until the port is open, since playing black it sends NEWGAME at once and
// nobody must miss it. When Tovarin closes the port, GNU Go's input ends: it
// writes its record gnugo-N.sgf and exits, and the next game's GNU Go is started.
class GnuGoOnComOne : public FarEnd {
 public:
  GnuGoOnComOne(const fs::path& com1, const fs::path& folder, int games, bool blackFirst)
      : Line_(com1), Folder_(folder), Games_(games), BlackFirst_(blackFirst) {
    if (!Line_.Error.empty()) Fail(Line_.Error);
  }
  ~GnuGoOnComOne() override { StopRelay(); }

  bool PortOpen() const { return Line_.PortOpen(); }

 private:
  ComLine Line_;
  fs::path Folder_;
  int Games_;
  bool BlackFirst_;

  void Run() override {
    for (int game = 1; game <= Games_ && !Stop_; ++game) {
      if (!PlayOne(game, (game % 2 == 1) == BlackFirst_)) return;
      CountGame();
    }
  }

  bool PlayOne(int game, bool black) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
      Fail("pipe2");
      return false;
    }
    const fs::path record = Folder_ / ("gnugo-" + std::to_string(game) + ".sgf");
    // A fixed seed: with the puppet's own, the same games every run.
    simworld::GnuGoPartner gnugo(1);
    gnugo.SetSeed(game);
    std::string error;
    const bool started = gnugo.StartOnPipes(
        in[0], out[1],
        black ? simworld::GnuGoPartner::Colour::Black : simworld::GnuGoPartner::Colour::White,
        record.string(), error);
    ::close(in[0]);
    ::close(out[1]);
    if (!started) {
      ::close(in[1]);
      ::close(out[0]);
      Fail("GNU Go: " + error);
      return false;
    }
    std::vector<std::uint8_t> toPort;  // GNU Go's bytes not yet on the line
    GameEndWatch watch;                // side 0 is the port, side 1 GNU Go
    bool over = false;
    bool opened = false;
    bool gnugoEnded = false;
    while (!Stop_) {
      const bool open = Line_.PortOpen();
      if (open) opened = true;
      if (opened && !open) break;  // Tovarin closed the port: the game is over
      pollfd fds[2] = {{out[0], POLLIN, 0}, {Line_.Fd(), POLLIN, 0}};
      poll(fds, open ? 2 : 1, 20);
      std::uint8_t buffer[256];
      if (fds[0].revents & (POLLIN | POLLHUP)) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
          gnugoEnded = true;
          break;
        }
        toPort.insert(toPort.end(), buffer, buffer + n);
      }
      if (open && (fds[1].revents & POLLIN)) {
        const ssize_t n = ::read(Line_.Fd(), buffer, sizeof buffer);
        if (n > 0 && ::write(in[1], buffer, static_cast<std::size_t>(n)) != n) {
          Fail("GNU Go does not take its input");
          break;
        }
        for (ssize_t i = 0; i < n; ++i) over = watch.Feed(0, buffer[i]) || over;
      }
      if (open && !toPort.empty()) {
        const ssize_t n = ::write(Line_.Fd(), toPort.data(), toPort.size());
        for (ssize_t i = 0; i < n; ++i)
          over = watch.Feed(1, toPort[static_cast<std::size_t>(i)]) || over;
        if (n > 0) toPort.erase(toPort.begin(), toPort.begin() + n);
      }
      if (over) {
        over = false;
        if (GameOver) GameOver(game);
      }
    }
    ::close(in[1]);  // the end of GNU Go's input: it writes its record and exits
    const bool clean = gnugo.Finish(10000);
    ::close(out[0]);
    if (Stop_) return false;
    if (gnugoEnded && !opened) {
      Fail("GNU Go ended before the port was opened (game " + std::to_string(game) + ")");
      return false;
    }
    if (!clean) Fail("GNU Go did not end cleanly after game " + std::to_string(game));
    return clean;
  }
};

// A null-modem cable between the COM1 of two Wine prefixes: what one port sends
// is relayed to the other. Bytes sent while the other port is closed are lost,
// as on a cable (a port purges its input when it is opened); what a port wrote
// before it closed is still read and delivered. A game is over at its second
// pass in a row.
class ComCable : public FarEnd {
 public:
  ComCable(const fs::path& com1, const fs::path& otherCom1)
      : Ends_{ComLine(com1), ComLine(otherCom1)} {
    for (const ComLine& end : Ends_)
      if (!end.Error.empty()) Fail(end.Error);
  }
  ~ComCable() override { StopRelay(); }

 private:
  std::array<ComLine, 2> Ends_;

  void Run() override {
    GameEndWatch watch;
    while (!Stop_) {
      pollfd fds[2] = {{Ends_[0].Fd(), POLLIN, 0}, {Ends_[1].Fd(), POLLIN, 0}};
      poll(fds, 2, 20);
      bool moved = false;
      for (std::size_t side = 0; side < 2; ++side) {
        if (!(fds[side].revents & POLLIN)) continue;
        std::uint8_t buffer[256];
        const ssize_t n = ::read(Ends_[side].Fd(), buffer, sizeof buffer);
        if (n <= 0) continue;
        moved = true;
        // A port that closes meanwhile loses them, as a port that was closed does.
        const ComLine& other = Ends_[1 - side];
        if (other.PortOpen() && ::write(other.Fd(), buffer, static_cast<std::size_t>(n)) != n &&
            other.PortOpen())
          Fail("a port does not take what the other one sends");
        for (ssize_t i = 0; i < n; ++i) {
          if (!watch.Feed(static_cast<int>(side), buffer[i])) continue;
          CountGame();
          if (GameOver) GameOver(GamesPlayed());
        }
      }
      // A closed port's end reports a hang-up at once: no busy loop meanwhile.
      if (!moved && ((fds[0].revents | fds[1].revents) & POLLHUP))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
};

// A move as the information window shows it: "12手目  位置は[ 4 , 16 ]".
struct LoggedMove {
  int Number;
  int X;
  int Y;
};

// The move as a record holds it.
SgfMove AsRecorded(const LoggedMove& m) {
  std::string point;
  if (m.X != 0 || m.Y != 0) {
    point += static_cast<char>('a' + m.X - 1);
    point += static_cast<char>('a' + m.Y - 1);
  }
  return {m.Number % 2 == 1 ? 'B' : 'W', point};
}

struct Game {
  std::vector<LoggedMove> Moves;
  std::vector<std::string> Lines;
  std::vector<std::string> Labels;  // the main window's labels after each move line
  double Agreed = -1;               // when "NewGame OK" showed, in seconds from the start
};

struct PuppetPlan {
  int Profile;
  std::string Executable;
  std::string Tag;  // as the main window's labels show the puppet
};

void PrintTo(const PuppetPlan& puppet, std::ostream* out) { *out << "profile " << puppet.Profile; }

struct MatchPlan {
  std::string Name;
  PuppetPlan Puppet;
  bool PuppetBlack;  // in the first game
  int Games;
  // A second Tovarin with this puppet at the far end, playing the other colour;
  // GNU Go when empty.
  std::optional<PuppetPlan> Partner;
  // The puppet's process is killed once the information window shows the move
  // of this number (0: never); a puppet's move, so that its next one is seconds
  // away.
  int KillAfter = 0;
  // Tovarin's process is killed then instead of the puppet's.
  bool KillTovarin = false;
};

// One Tovarin under Wine, with its puppet and its operator, in a folder of its
// own on a desk of its own.
class TovarinSide {
 public:
  TovarinSide(fs::path folder, PuppetPlan puppet, bool puppetBlack, int games, WineDesk desk)
      : Folder_(std::move(folder)),
        Puppet_(std::move(puppet)),
        PuppetBlack_(puppetBlack),
        Games_(games),
        Desk_(std::move(desk)) {}
  ~TovarinSide() {
    Stop();
    if (FromOperator_ >= 0) ::close(FromOperator_);
  }

  const fs::path& Folder() const { return Folder_; }
  bool PuppetBlack() const { return PuppetBlack_; }
  const fs::path& Com1() const { return ComOne_; }
  // With `slowPuppet`, the puppet thinks two seconds a move and plays on to move 40.
  void Prepare(bool slowPuppet);
  // Starts tovarin.exe and its operator, who gives up after `limitS` seconds.
  void Launch(const std::string& wine, int limitS);
  // The operator's descriptor to poll while it has more to say, else -1.
  int OperatorFd() const { return Closing_ ? -1 : FromOperator_; }
  // Takes what the operator said; returns why the match stops, or "".
  std::string Listen(double now);
  // The settings dialog is up and waits for its OK.
  bool Asking() const { return Settings_ && !Answered_; }
  bool Answered() const { return Answered_; }
  void Answer();
  // Presses the finish button once the match is over; true when it was pressed.
  bool CloseWhenOver();
  bool Closing() const { return Closing_; }
  // Ends the operator and Tovarin (at once unless the finish button was
  // pressed): true when Tovarin ended by itself.
  bool Stop();
  void Shot(const std::string& name) const { Screenshot(Shots_ / (name + ".png"), Desk_.Display); }
  // The number of the last move the information window showed, 0 before any.
  int LastMoveShown() const {
    return Played_.empty() || Played_.back().Moves.empty() ? 0 : Played_.back().Moves.back().Number;
  }
  const Game& CurrentGame() const { return Played_.back(); }
  // Kills the puppet's process as a crash would: the Linux process that Wine runs
  // it in, named after the program's file, in this desk's prefix. Returns how
  // many were killed.
  int KillPuppet() const;
  // Kills tovarin.exe as a crash would.
  bool KillTovarin() {
    const bool killed = Tovarin_ > 0 && kill(Tovarin_, SIGKILL) == 0;
    if (killed) Reap(Tovarin_, 5000);
    Tovarin_ = -1;
    return killed;
  }
  // Tovarin's own record of game n in its kifu folder; empty when there is none.
  fs::path RecordOf(int n) const {
    return testing_world::FindFile(Folder_ / "Tovarin" / "kifu",
                                   "-game" + std::to_string(n) + ".sgf");
  }
  std::vector<SgfMove> PuppetRecord(int n) const {
    return testing_world::SgfMoves(
        Slurp(PuppetFolder_ / ("puppet-game-" + std::to_string(n) + ".sgf")));
  }
  // Every game against the far end's records of it.
  void Check(const std::function<std::vector<SgfMove>(int game)>& farRecord) const;
  // When each game was agreed, as seen here, and how many moves showed.
  std::string Timeline() const;

 private:
  fs::path Folder_;
  PuppetPlan Puppet_;
  bool PuppetBlack_;
  int Games_;
  WineDesk Desk_;
  fs::path Shots_;
  fs::path PuppetFolder_;
  fs::path ComOne_;
  pid_t Tovarin_ = -1;
  pid_t Operator_ = -1;
  int ToOperator_ = -1;
  int FromOperator_ = -1;
  std::ofstream Transcript_;
  std::string Pending_;
  bool Settings_ = false;
  bool Answered_ = false;
  bool Over_ = false;
  bool Closing_ = false;
  std::vector<Game> Played_;
  std::vector<std::string> Output_;  // every line of the operator

  void Go();
  void CheckGame(int n, const std::vector<SgfMove>& reference) const;
};

void TovarinSide::Prepare(bool slowPuppet) {
  std::error_code ignored;
  fs::remove_all(Folder_, ignored);
  Shots_ = Folder_ / "shots";
  fs::create_directories(Shots_);
  ComOne_ = fs::path(Desk_.Prefix) / "com1";
  // Tovarin's folder: the program, the link library and the pictures.
  const fs::path tovarin = Folder_ / "Tovarin";
  fs::create_directories(tovarin / "bmp");
  fs::copy_file(WindowsBuild / "tovarin/shell/tovarin.exe", tovarin / "tovarin.exe");
  fs::copy_file(WindowsBuild / "duelcom/duelcom.dll", tovarin / "duelcom.dll");
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"})
    fs::copy_file(SourceDir / "bmp" / name, tovarin / "bmp" / name);
  // The puppet, in a folder whose name code page 932 writes with a trail byte
  // equal to the path separator ("ソ" is 0x83 0x5C).
  const std::string folderName = "傀儡ソフト";
  PuppetFolder_ = Folder_ / folderName;
  fs::create_directories(PuppetFolder_);
  fs::copy_file(WindowsBuild / "sim/puppets/refpuppet.exe", PuppetFolder_ / Puppet_.Executable);
  // Profiles 6 and 16 share the file name KANDO4.EXE: the later edition's file was
  // last written in 1999, which is how the puppet knows which edition it is.
  if (Puppet_.Profile == 16) {
    std::tm written{};
    written.tm_year = 1999 - 1900;
    written.tm_mon = 5;
    written.tm_mday = 15;
    written.tm_hour = 12;
    const std::time_t at = std::mktime(&written);
    const utimbuf times{at, at};
    ASSERT_EQ(::utime((PuppetFolder_ / Puppet_.Executable).c_str(), &times), 0);
  }
  // Short games: quick answers, and passes once eight moves are on the board. A
  // slow puppet leaves seconds between its move and its next one.
  std::ofstream(PuppetFolder_ / "refpuppet.ini")
      << (slowPuppet ? "think_ms=2000\npass_from_move=40\n" : "think_ms=300\npass_from_move=8\n")
      << "think_jitter_ms=200\nseed=11\nopening_screen=0\n";
  // The registry files as Tovarin writes them: ANSI code page, CR LF line ends,
  // the count without one.
  const std::string path = Cp932(WindowsPath(PuppetFolder_ / Puppet_.Executable));
  ASSERT_FALSE(path.empty());
  std::ofstream(tovarin / "touroku.txt", std::ios::binary)
      << Puppet_.Profile << " " << path << "\r\n";
  std::ofstream(tovarin / "tourokusuu.txt", std::ios::binary) << "1";
  Transcript_.open(Folder_ / "operator.txt");
}

void TovarinSide::Launch(const std::string& wine, int limitS) {
  const int tovarinLog =
      ::open((Folder_ / "tovarin.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  Tovarin_ = Spawn({wine, (Folder_ / "Tovarin/tovarin.exe").string()}, Folder_ / "Tovarin", -1,
                   tovarinLog, tovarinLog, &Desk_);
  ::close(tovarinLog);
  int toOperator[2], fromOperator[2];
  ASSERT_EQ(pipe2(toOperator, O_CLOEXEC), 0);
  ASSERT_EQ(pipe2(fromOperator, O_CLOEXEC), 0);
  const int operatorErrors =
      ::open((Folder_ / "operator-errors.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  Operator_ =
      Spawn({wine, (WindowsBuild / "tests/wine/wine_operator.exe").string(),
             PuppetBlack_ ? "black" : "white", std::to_string(Games_), std::to_string(limitS)},
            Folder_, toOperator[0], fromOperator[1], operatorErrors, &Desk_);
  ::close(operatorErrors);
  ::close(toOperator[0]);
  ::close(fromOperator[1]);
  ToOperator_ = toOperator[1];
  FromOperator_ = fromOperator[0];
  Played_.emplace_back();
}

int TovarinSide::KillPuppet() const {
  int killed = 0;
  std::error_code error;
  for (fs::directory_iterator p("/proc", error), end; !error && p != end; p.increment(error)) {
    const std::string pid = p->path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (Slurp(p->path() / "comm") != Puppet_.Executable + "\n") continue;
    const std::string environment = '\0' + Slurp(p->path() / "environ");
    if (environment.find('\0' + ("WINEPREFIX=" + Desk_.Prefix) + '\0') == std::string::npos)
      continue;
    if (kill(std::stoi(pid), SIGKILL) == 0) ++killed;
  }
  return killed;
}

void TovarinSide::Go() {
  if (::write(ToOperator_, "go\n", 3) != 3) ADD_FAILURE() << "the operator is gone";
}

void TovarinSide::Answer() {
  Shot("settings");
  Go();
  Answered_ = true;
}

bool TovarinSide::CloseWhenOver() {
  if (!Over_ || Closing_) return false;
  Shot("over");
  Go();
  Closing_ = true;
  return true;
}

std::string TovarinSide::Listen(double now) {
  char buffer[4096];
  const ssize_t n = ::read(FromOperator_, buffer, sizeof buffer);
  if (n <= 0) return "the operator ended without a word";
  Pending_.append(buffer, static_cast<std::size_t>(n));
  for (std::size_t end; (end = Pending_.find('\n')) != std::string::npos;) {
    const std::string text = Pending_.substr(0, end);
    Pending_.erase(0, end + 1);
    Transcript_ << text << "\n" << std::flush;
    Output_.push_back(text);
    if (text.rfind("settings: ", 0) == 0) {
      Settings_ = true;
    } else if (text.rfind("log: ", 0) == 0) {
      const std::string l = text.substr(5);
      int number = 0;
      if (std::sscanf(l.c_str(), "第 %d 回通信に入ります", &number) == 1 &&
          l.find(" 回通信に入ります") != std::string::npos)
        Played_.emplace_back();
      Game& g = Played_.back();
      g.Lines.push_back(l);
      if (l == "NewGame OK") g.Agreed = now;
      LoggedMove m{};
      if (std::sscanf(l.c_str(), "%d手目  位置は[ %d , %d ]", &m.Number, &m.X, &m.Y) == 3) {
        g.Moves.push_back(m);
        // Well into the game: its board, names, clocks and log.
        if (m.Number == 8) Shot("game-" + std::to_string(Played_.size()) + "-during");
      }
    } else if (text.rfind("labels: ", 0) == 0) {
      Played_.back().Labels.push_back(text.substr(8));
    } else if (text == "over") {
      Over_ = true;
    } else if (text.rfind("box: ", 0) == 0 || text.rfind("error: ", 0) == 0) {
      Shot("stopped");
      return text;
    }
  }
  return "";
}

bool TovarinSide::Stop() {
  if (ToOperator_ >= 0) ::close(ToOperator_);
  ToOperator_ = -1;
  const int ms = Closing_ ? 20000 : 1000;
  if (Operator_ > 0) Reap(Operator_, ms);
  // The finish button closes Tovarin.
  const bool ended = Tovarin_ > 0 && Reap(Tovarin_, ms);
  Operator_ = Tovarin_ = -1;
  return ended;
}

std::string TovarinSide::Timeline() const {
  std::string out;
  char part[128];
  for (std::size_t i = 0; i < Played_.size(); ++i) {
    std::snprintf(part, sizeof part, " game %zu agreed at %.0f s, %zu moves shown;", i + 1,
                  Played_[i].Agreed, Played_[i].Moves.size());
    out += part;
  }
  return out;
}

void TovarinSide::Check(const std::function<std::vector<SgfMove>(int game)>& farRecord) const {
  SCOPED_TRACE(Folder_.string());
  ASSERT_EQ(static_cast<int>(Played_.size()), Games_);
  // The dialog was answered as asked.
  const std::string settings = std::string("settings: ") + (PuppetBlack_ ? "black" : "white") +
                               "|COM1|" + std::to_string(Games_);
  EXPECT_NE(std::find(Output_.begin(), Output_.end(), settings), Output_.end());
  for (int n = 1; n <= Games_; ++n) CheckGame(n, farRecord(n));
  const std::vector<std::string>& last = Played_.back().Lines;
  if (Games_ > 1) {
    const std::string summary = "全 " + std::to_string(Games_) + " 局 が終了しました。";
    EXPECT_NE(std::find(last.begin(), last.end(), summary), last.end());
  }
  for (const char* shot : {"settings", "over"})
    EXPECT_TRUE(fs::exists(Shots_ / (std::string(shot) + ".png"))) << shot;
}

void TovarinSide::CheckGame(int n, const std::vector<SgfMove>& reference) const {
  SCOPED_TRACE("game " + std::to_string(n));
  const bool puppetBlack = (n % 2 == 1) == PuppetBlack_;
  const std::vector<SgfMove> puppet = PuppetRecord(n);
  // The puppet's record ends on the two passes; the far end's may add passes
  // (GNU Go adds one more).
  ASSERT_GE(puppet.size(), 10u);
  ASSERT_GE(reference.size(), puppet.size());
  EXPECT_EQ(puppet, std::vector<SgfMove>(reference.begin(),
                                         reference.begin() + static_cast<long>(puppet.size())));
  for (std::size_t i = puppet.size(); i < reference.size(); ++i)
    EXPECT_EQ(reference[i].Point, "") << "move " << i + 1 << " after the game";
  EXPECT_EQ(puppet[puppet.size() - 1].Point, "");
  EXPECT_EQ(puppet[puppet.size() - 2].Point, "");
  // Tovarin's own record is the puppet's, and an SGF reader of someone else's
  // reads and replays it to its ending.
  const fs::path kept = RecordOf(n);
  ASSERT_FALSE(kept.empty()) << "no record of game " << n;
  EXPECT_EQ(testing_world::SgfMoves(Slurp(kept)), puppet);
  const testing_world::OutsideSgf outside = testing_world::ReadWithOutsideSgfReader(kept);
  EXPECT_EQ(outside.Error, "");
  EXPECT_EQ(outside.Moves.size(), puppet.size());
  EXPECT_EQ(outside.Comment, "2 回のパスで終局しました");

  // The information window showed every move with its number, from the first
  // one relayed (the puppet's first move as black is sent without a line). A
  // game that leads on to the next one ends inside the handler that empties the
  // log, so its last lines never show: there the final pass may be missing.
  const Game& g = Played_[static_cast<std::size_t>(n - 1)];
  const bool lastGame = n == Games_;
  const int first = puppetBlack ? 2 : 1;
  const int total = static_cast<int>(puppet.size());
  ASSERT_FALSE(g.Moves.empty());
  EXPECT_EQ(g.Moves.front().Number, first);
  EXPECT_GE(g.Moves.back().Number, lastGame ? total : total - 1);
  for (std::size_t i = 0; i < g.Moves.size(); ++i) {
    const LoggedMove& m = g.Moves[i];
    ASSERT_EQ(m.Number, first + static_cast<int>(i));
    ASSERT_LE(m.Number, total);
    EXPECT_EQ(AsRecorded(m), reference[static_cast<std::size_t>(m.Number - 1)])
        << "move " << m.Number;
  }
  if (lastGame) {
    const std::string end = std::to_string(total - 2) + " 手まで 終局しました！";
    EXPECT_NE(std::find(g.Lines.begin(), g.Lines.end(), end), g.Lines.end()) << end;
  }
  // The names, as the main window's labels showed them during the game, with
  // both clocks.
  ASSERT_FALSE(g.Labels.empty());
  std::vector<std::string> f;
  std::stringstream labels(g.Labels.back());
  for (std::string part; std::getline(labels, part, '|');) f.push_back(part);
  ASSERT_EQ(f.size(), 6u) << g.Labels.back();
  EXPECT_EQ(f[0], puppetBlack ? "黒" + Puppet_.Tag : "黒[相棒]");
  EXPECT_EQ(f[2], puppetBlack ? "白[相棒]" : "白" + Puppet_.Tag);
  for (const std::string& clock : {f[1], f[3]}) {
    int h = -1, m = -1, s = -1;
    EXPECT_EQ(std::sscanf(clock.c_str(), "%d:%d:%d", &h, &m, &s), 3) << clock;
  }
  EXPECT_NE(f[1] + f[3], " 0: 0: 0 0: 0: 0") << "both clocks stood still";
  if (Games_ > 1) {
    EXPECT_NE(f[5].find("  第 " + std::to_string(n) + " 局"), std::string::npos) << f[5];
  }
  EXPECT_TRUE(fs::exists(Shots_ / ("game-" + std::to_string(n) + "-during.png")));
  EXPECT_TRUE(fs::exists(Shots_ / ("game-" + std::to_string(n) + "-end.png")));
}

class WineMatch {
 public:
  explicit WineMatch(MatchPlan plan) : Plan_(std::move(plan)) {}

  void Play();

 private:
  MatchPlan Plan_;
  fs::path Work_;
  std::vector<std::unique_ptr<TovarinSide>> Sides_;

  void Check();
  void CheckKilled(const std::string& box) const;
  void CheckKilledTovarin() const;
};

void WineMatch::Play() {
  if (WindowsBuild.empty() || !fs::exists(WindowsBuild / "tovarin/shell/tovarin.exe"))
    GTEST_SKIP() << "no x86_64 build with tovarin.exe";
  const std::string wine = Env("WINE");
  const WineDesk desk{Env("WINEPREFIX"), Env("DISPLAY")};
  if (wine.empty() || desk.Prefix.empty() || desk.Display.empty())
    GTEST_SKIP() << "run by wine_games.sh, which sets WINE, WINEPREFIX and DISPLAY";
  const WineDesk partnerDesk{Env("PARTNER_WINEPREFIX"), Env("PARTNER_DISPLAY")};
  if (Plan_.Partner && (partnerDesk.Prefix.empty() || partnerDesk.Display.empty()))
    GTEST_SKIP() << "run by wine_games.sh with two sides, which sets PARTNER_WINEPREFIX and "
                    "PARTNER_DISPLAY";
  Work_ = BuildDir / "wine-games" / Plan_.Name;
  std::error_code ignored;
  fs::remove_all(Work_, ignored);
  fs::create_directories(Work_);
  if (Plan_.Partner) {
    Sides_.push_back(std::make_unique<TovarinSide>(Work_ / "a", Plan_.Puppet, Plan_.PuppetBlack,
                                                   Plan_.Games, desk));
    Sides_.push_back(std::make_unique<TovarinSide>(Work_ / "b", *Plan_.Partner, !Plan_.PuppetBlack,
                                                   Plan_.Games, partnerDesk));
  } else {
    Sides_.push_back(
        std::make_unique<TovarinSide>(Work_, Plan_.Puppet, Plan_.PuppetBlack, Plan_.Games, desk));
  }
  for (auto& side : Sides_) ASSERT_NO_FATAL_FAILURE(side->Prepare(Plan_.KillAfter > 0));
  const auto started = Clock::now();
  auto since = [started] { return std::chrono::duration<double>(Clock::now() - started).count(); };

  std::mutex endsLock;
  std::vector<double> ends;  // when each game ended, in seconds from the start
  std::unique_ptr<FarEnd> far;
  GnuGoOnComOne* gnugo = nullptr;
  if (Plan_.Partner) {
    far = std::make_unique<ComCable>(Sides_[0]->Com1(), Sides_[1]->Com1());
  } else {
    auto g =
        std::make_unique<GnuGoOnComOne>(Sides_[0]->Com1(), Work_, Plan_.Games, !Plan_.PuppetBlack);
    gnugo = g.get();
    far = std::move(g);
  }
  far->GameOver = [&](int game) {
    {
      std::lock_guard<std::mutex> lock(endsLock);
      ends.push_back(since());
    }
    for (const auto& side : Sides_) side->Shot("game-" + std::to_string(game) + "-end");
  };
  far->Start();

  // The side whose puppet plays white comes first: its program is started first
  // and its settings dialog answered first, so that it listens when the black
  // side's request comes.
  std::vector<TovarinSide*> order;
  for (const auto& side : Sides_) order.push_back(side.get());
  std::stable_partition(order.begin(), order.end(),
                        [](const TovarinSide* side) { return !side->PuppetBlack(); });
  const int limitS = 300 + 240 * Plan_.Games;
  for (TovarinSide* side : order) ASSERT_NO_FATAL_FAILURE(side->Launch(wine, limitS));

  std::string stopped;  // why the match stopped early
  // With the puppet killed: when, in seconds from the start, and the box that
  // stopped the relay.
  std::optional<double> killedAt;
  double boxAt = -1;
  std::string box;
  const double boxWaitS = 60;
  std::size_t closing = 0;
  const auto deadline = started + std::chrono::seconds(limitS + 30);
  while (closing < Sides_.size() && stopped.empty() && box.empty()) {
    if (Clock::now() > deadline) {
      stopped = "no end of the match within " + std::to_string(limitS + 30) + " s";
      break;
    }
    if (killedAt && since() > *killedAt + boxWaitS) {
      stopped = "no box within " + std::to_string(static_cast<int>(boxWaitS)) +
                " s of the puppet's kill; moves shown up to " +
                std::to_string(Sides_[0]->LastMoveShown());
      break;
    }
    std::vector<pollfd> fds;
    for (const auto& side : Sides_) fds.push_back({side->OperatorFd(), POLLIN, 0});
    poll(fds.data(), fds.size(), 200);
    for (std::size_t i = 0; i < Sides_.size() && stopped.empty(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      const std::string why = Sides_[i]->Listen(since());
      if (why.empty()) continue;
      if (killedAt && why.rfind("box: ", 0) == 0) {
        box = why.substr(5);
        boxAt = since();
      } else {
        stopped = why + " (" + Sides_[i]->Folder().string() + ")";
      }
    }
    if (Plan_.KillAfter > 0 && !killedAt && Sides_[0]->LastMoveShown() >= Plan_.KillAfter) {
      killedAt = since();
      if (Plan_.KillTovarin) {
        ASSERT_TRUE(Sides_[0]->KillTovarin());
        break;
      }
      ASSERT_EQ(Sides_[0]->KillPuppet(), 1) << "the puppet's process, once";
    }
    // The dialogs are answered in turn, the white side's first.
    for (TovarinSide* side : order) {
      if (side->Asking()) side->Answer();
      if (!side->Answered()) break;
    }
    for (const auto& side : Sides_)
      if (side->CloseWhenOver()) ++closing;
  }
  if (!box.empty()) {
    // Tovarin stays up with its box for 20 s from the kill: whatever it sends
    // meanwhile reaches GNU Go's record.
    std::this_thread::sleep_for(std::chrono::duration<double>(*killedAt + 20 - since()));
    EXPECT_TRUE(gnugo->PortOpen()) << "the link was closed";
  }
  if (Plan_.KillTovarin) {
    for (const auto& side : Sides_) side->Stop();
    ASSERT_TRUE(killedAt) << stopped;
    CheckKilledTovarin();
    return;
  }
  bool tovarinsEnded = true;
  for (const auto& side : Sides_) tovarinsEnded = side->Stop() && tovarinsEnded;
  std::printf("[ %s: match over after %.0f s;", Plan_.Name.c_str(), since());
  if (killedAt) std::printf(" puppet killed at %.1f s, box at %.1f s;", *killedAt, boxAt);
  {
    std::lock_guard<std::mutex> lock(endsLock);
    for (std::size_t i = 0; i < ends.size(); ++i)
      std::printf(" game %zu ended at %.0f s;", i + 1, ends[i]);
  }
  for (const auto& side : Sides_) {
    if (Plan_.Partner) std::printf(" side %s:", side->Folder().filename().c_str());
    std::printf("%s", side->Timeline().c_str());
  }
  std::printf(" ]\n");
  ASSERT_TRUE(stopped.empty()) << stopped;
  // After a box, the operator ends and the test stops Tovarin.
  if (box.empty()) {
    EXPECT_TRUE(tovarinsEnded) << "tovarin.exe did not end with its finish button";
  }
  // The last game ends once the port is closed.
  for (int waited = 0; far->GamesPlayed() < Plan_.Games && waited < 200; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(far->Failure(), "");
  ASSERT_EQ(far->GamesPlayed(), Plan_.Games);
  far.reset();
  if (Plan_.KillAfter > 0)
    CheckKilled(box);
  else
    Check();
}

void WineMatch::CheckKilled(const std::string& box) const {
  EXPECT_EQ(box.rfind("傀儡のウィンドウが見付かりません。", 0), 0u) << box;
  const Game& g = Sides_[0]->CurrentGame();
  EXPECT_NE(std::find(g.Lines.begin(), g.Lines.end(), "盤面の監視: 中継を止めました"),
            g.Lines.end());
  // GNU Go got the puppet's moves up to the kill and answered the last one;
  // Tovarin showed that answer and sent nothing after it.
  const std::vector<SgfMove> reference = testing_world::SgfMoves(Slurp(Work_ / "gnugo-1.sgf"));
  ASSERT_FALSE(g.Moves.empty());
  EXPECT_EQ(g.Moves.back().Number, Plan_.KillAfter + 1);
  ASSERT_EQ(reference.size(), static_cast<std::size_t>(g.Moves.back().Number))
      << "moves shown up to " << g.Moves.back().Number;
  for (const LoggedMove& m : g.Moves)
    EXPECT_EQ(AsRecorded(m), reference[static_cast<std::size_t>(m.Number - 1)])
        << "move " << m.Number;
  // Tovarin's record holds the moves relayed before the kill, and why it stopped.
  const fs::path kept = Sides_[0]->RecordOf(1);
  ASSERT_FALSE(kept.empty()) << "no record";
  EXPECT_EQ(testing_world::SgfMoves(Slurp(kept)), reference);
  EXPECT_EQ(testing_world::ReadWithOutsideSgfReader(kept).Comment, "盤面の監視で止まりました");
}

// Tovarin killed in mid-game: its record holds every move relayed before, as
// GNU Go played them, and an SGF reader of someone else's reads and replays it.
void WineMatch::CheckKilledTovarin() const {
  const fs::path kept = Sides_[0]->RecordOf(1);
  ASSERT_FALSE(kept.empty()) << "no record";
  const testing_world::OutsideSgf outside = testing_world::ReadWithOutsideSgfReader(kept);
  EXPECT_EQ(outside.Error, "");
  const std::vector<SgfMove> record = testing_world::SgfMoves(Slurp(kept));
  EXPECT_EQ(outside.Moves.size(), record.size());
  EXPECT_GE(static_cast<int>(record.size()), Plan_.KillAfter);
  const std::vector<SgfMove> reference = testing_world::SgfMoves(Slurp(Work_ / "gnugo-1.sgf"));
  ASSERT_GE(reference.size(), record.size());
  EXPECT_EQ(record, std::vector<SgfMove>(reference.begin(),
                                         reference.begin() + static_cast<long>(record.size())));
}

void WineMatch::Check() {
  // With two Tovarins, each side's record is checked against the other's both
  // ways round: the two puppets kept the same games.
  for (std::size_t i = 0; i < Sides_.size(); ++i) {
    Sides_[i]->Check([&](int game) {
      if (Plan_.Partner) return Sides_[1 - i]->PuppetRecord(game);
      return testing_world::SgfMoves(Slurp(Work_ / ("gnugo-" + std::to_string(game) + ".sgf")));
    });
  }
}

TEST(WineGames, Profile1PlaysAWholeGameAsWhite) {
  WineMatch({"profile-1", {1, "VK2.EXE", "[Velk2]"}, false, 1, std::nullopt}).Play();
}

TEST(WineGames, Profile17PlaysAWholeGameAsBlack) {
  WineMatch({"profile-17", {17, "NOVRA2.EXE", "[Umbr2]"}, true, 1, std::nullopt}).Play();
}

TEST(WineGames, Profile10PlaysASeriesOfTwoWithColoursSwapped) {
  WineMatch({"profile-10-series", {10, "RENDOLIN.EXE", "[RENDO]"}, true, 2, std::nullopt}).Play();
}

// The puppet's process killed right after its sixth move (move 12 of the game):
// Tovarin must find its window gone, stop the relay with a box, keep the link
// open and send nothing more. The empty board of profile 14 is not the bare
// screen's black, whose every point it would read as a stone; profile 4 would
// read that black as its pass sign.
class PuppetKilled : public ::testing::TestWithParam<PuppetPlan> {};

TEST_P(PuppetKilled, TheRelayStopsWithABoxAndSendsNothingMore) {
  const PuppetPlan& puppet = GetParam();
  WineMatch(
      {"killed-profile-" + std::to_string(puppet.Profile), puppet, false, 1, std::nullopt, 12})
      .Play();
}

// Tovarin's own process killed right after the puppet's sixth move: the record
// of the game holds every move relayed so far.
TEST(WineGames, TovarinKilledLeavesARecordOfEveryMoveRelayed) {
  MatchPlan plan{"killed-tovarin", {1, "VK2.EXE", "[Velk2]"}, false, 1, std::nullopt, 12};
  plan.KillTovarin = true;
  WineMatch(plan).Play();
}

INSTANTIATE_TEST_SUITE_P(WineGames, PuppetKilled,
                         ::testing::Values(PuppetPlan{14, "UMBRISA.EXE", "[Umbr]"},
                                           PuppetPlan{4, "ZOLTA.EXE", "[Ostr]"}),
                         [](const auto& info) {
                           return "Profile" + std::to_string(info.param.Profile);
                         });

// A whole game of every profile, the puppet black for even profile numbers and
// white for odd ones (the simulated desktop's games under make test play the
// other colour): each set-up script, its menus, dialogs and lists, runs against
// the Windows puppet.
class EveryProfile : public ::testing::TestWithParam<PuppetPlan> {};

TEST_P(EveryProfile, PlaysAWholeGameAgainstGnuGo) {
  const PuppetPlan& puppet = GetParam();
  const bool black = puppet.Profile % 2 == 0;
  WineMatch({"profile-" + std::to_string(puppet.Profile) + (black ? "-black" : "-white"), puppet,
             black, 1, std::nullopt})
      .Play();
}

INSTANTIATE_TEST_SUITE_P(
    WineGames, EveryProfile,
    ::testing::Values(
        PuppetPlan{1, "VK2.EXE", "[Velk2]"}, PuppetPlan{2, "HALVENDO.EXE", "[SivA]"},
        PuppetPlan{3, "BRIMU6.EXE", "[Bri6]"}, PuppetPlan{4, "ZOLTA.EXE", "[Ostr]"},
        // Its board window keeps a height that shows its whole board,
        // taller than the size Tovarin asks for.
        PuppetPlan{5, "MERVO.EXE", "[Pel?]"}, PuppetPlan{6, "KANDO4.EXE", "[Pel2]"},
        PuppetPlan{7, "BRIMU7.EXE", "[Bri7]"}, PuppetPlan{8, "BRIMU2K.EXE", "[Bri2K]"},
        PuppetPlan{9, "FIRSK.EXE", "[Quas]"}, PuppetPlan{10, "RENDOLIN.EXE", "[RENDO]"},
        PuppetPlan{11, "VK3.EXE", "[Velk3]"}, PuppetPlan{12, "LUMBA.EXE", "[SivB]"},
        PuppetPlan{13, "GRETO4.EXE", "[TulS2]"}, PuppetPlan{14, "UMBRISA.EXE", "[Umbr]"},
        PuppetPlan{15, "GRETO3.EXE", "[Tul3]"}, PuppetPlan{16, "KANDO4.EXE", "[P2UP]"},
        PuppetPlan{17, "NOVRA2.EXE", "[Umbr2]"}, PuppetPlan{18, "WENDRIX.EXE", "[Wendrix]"}),
    [](const auto& info) { return "Profile" + std::to_string(info.param.Profile); });

// Two Tovarins, each with its own Wine prefix, X server, operator and puppet,
// their COM1 joined by a null-modem cable: a series of two, colours swapped.
TEST(WineGames, TwoTovarinsPlayASeriesOfTwoAgainstEachOther) {
  WineMatch({"two-tovarins",
             {10, "RENDOLIN.EXE", "[RENDO]"},
             true,
             2,
             PuppetPlan{1, "VK2.EXE", "[Velk2]"}})
      .Play();
}

}  // namespace
