// Whole relayed games of the Windows program under Wine. The x86_64 tovarin.exe
// and duelcom.dll run from a folder of their own on a bare X server (run by
// wine_games.sh, which also readies the Wine prefix: its COM1 is the path
// <prefix>/com1). The reference puppet's Windows program, copied under the
// profile's executable name into a folder with a Japanese name, is registered in
// Tovarin's registry files as Tovarin writes them. GNU Go plays the other colour
// at the far end of COM1. An operator program under Wine presses the buttons and
// reads every line of the information window back from the window.
//
// Each game is checked move by move: GNU Go's own record, the puppet's own record
// and the moves the information window showed must agree. Screenshots of the
// settings dialog, of each game under way and at its end, and of the end of the
// match are left in <build>/wine-games/<match>/ with the records and logs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/SgfMoves.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing_world::SgfMove;

const fs::path WindowsBuild = TOVARIN_WIN64_DIR;
const fs::path SourceDir = SOURCE_DIR;
const fs::path BuildDir = BUILD_DIR;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
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

// Starts a program with the given standard descriptors (-1: /dev/null).
pid_t Spawn(const std::vector<std::string>& args, const fs::path& folder, int in, int out,
            int err) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string cwd = folder.string();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = ::open("/dev/null", O_RDWR);
  if (chdir(cwd.c_str()) != 0) _exit(126);
  dup2(in >= 0 ? in : null, 0);
  dup2(out >= 0 ? out : null, 1);
  dup2(err >= 0 ? err : null, 2);
  setpgid(0, 0);  // its own group, so that it can be stopped with its children
  execv(argv[0], argv.data());
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

void Screenshot(const fs::path& file) {
  const std::string command = "import -window root '" + file.string() + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "no screenshot %s\n", file.c_str());
}

// A GMP packet's command and value, from its four bytes as they arrive.
class PacketReader {
 public:
  // Feeds one byte; true when it completed a packet.
  bool Feed(std::uint8_t byte, int& command, int& value) {
    if (!(byte & 0x80)) Have_ = 0;  // the first byte of a packet has its top bit clear
    if (Have_ >= 4) return false;
    Bytes_[Have_++] = byte;
    if (Have_ < 4) return false;
    command = (Bytes_[2] >> 4) & 7;
    value = ((Bytes_[2] & 7) << 7) | (Bytes_[3] & 0x7F);
    return true;
  }

 private:
  std::uint8_t Bytes_[4] = {};
  int Have_ = 0;
};

// GNU Go at the far end of COM1. The path that the prefix maps COM1 to becomes a
// link to a pseudo-terminal's slave end; its master end is relayed to GNU Go's
// standard input and output. For each game a GNU Go is started, on the right
// colour, before Tovarin opens the port; what it sends waits in the relay until
// the port is open, since playing black it sends NEWGAME at once and nobody must
// miss it. When Tovarin closes the port, GNU Go's input ends: it writes its
// record and exits, and the next game's GNU Go is started.
class GnuGoOnComOne {
 public:
  GnuGoOnComOne(const fs::path& com1, const fs::path& folder, int games, bool blackFirst)
      : Folder_(folder), Games_(games), BlackFirst_(blackFirst) {
    Master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    char name[128] = "";
    if (Master_ < 0 || grantpt(Master_) != 0 || unlockpt(Master_) != 0 ||
        ptsname_r(Master_, name, sizeof name) != 0) {
      Fail("no pseudo-terminal");
      return;
    }
    // Raw with echo off before anybody writes; the setting stays with the line
    // while its master end is open. Closing the slave end again leaves the
    // master hung up until the port is opened.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave < 0 || tcgetattr(slave, &tio) != 0) {
      Fail("cannot open the line");
      return;
    }
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    ::close(slave);
    std::error_code ignored;
    fs::remove(com1, ignored);
    fs::create_symlink(name, com1, ignored);
  }

  ~GnuGoOnComOne() {
    Stop_ = true;
    if (Relay_.joinable()) Relay_.join();
    if (Master_ >= 0) ::close(Master_);
  }

  // Called on the relay's thread once a game has had two passes in a row.
  std::function<void(int game)> GameOver;

  void Start() {
    if (Master_ >= 0) Relay_ = std::thread([this] { Run(); });
  }
  int GamesPlayed() const { return Played_; }
  std::string Failure() {
    std::lock_guard<std::mutex> lock(Lock_);
    return Failure_;
  }

 private:
  fs::path Folder_;
  int Games_;
  bool BlackFirst_;
  int Master_ = -1;
  std::thread Relay_;
  std::atomic<bool> Stop_{false};
  std::atomic<int> Played_{0};
  std::mutex Lock_;
  std::string Failure_;

  void Fail(const std::string& why) {
    std::lock_guard<std::mutex> lock(Lock_);
    if (Failure_.empty()) Failure_ = why;
  }

  bool PortOpen() {
    pollfd p{Master_, POLLIN, 0};
    poll(&p, 1, 0);
    return !(p.revents & POLLHUP);
  }

  void Run() {
    for (int game = 1; game <= Games_ && !Stop_; ++game) {
      if (!PlayOne(game, (game % 2 == 1) == BlackFirst_)) return;
      ++Played_;
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
    const pid_t gnugo =
        Spawn({"/usr/games/gnugo", "--mode", "gmp", "--quiet", "--level", "1", "--seed",
               std::to_string(game), "--color", black ? "black" : "white", "-o", record.string()},
              Folder_, in[0], out[1], -1);
    ::close(in[0]);
    ::close(out[1]);
    std::vector<std::uint8_t> toPort;  // GNU Go's bytes not yet on the line
    PacketReader fromPort, fromGnuGo;
    // Moves of either side as they pass: true at the second pass in a row.
    int passesInARow = 0;
    auto ends = [&passesInARow](PacketReader& reader, std::uint8_t byte) {
      int command = 0, value = 0;
      if (!reader.Feed(byte, command, value) || command != 5) return false;
      passesInARow = (value & 0x1FF) == 0 ? passesInARow + 1 : 0;
      return passesInARow == 2;
    };
    bool over = false;
    bool opened = false;
    bool gnugoEnded = false;
    while (!Stop_) {
      const bool open = PortOpen();
      if (open) opened = true;
      if (opened && !open) break;  // Tovarin closed the port: the game is over
      pollfd fds[2] = {{out[0], POLLIN, 0}, {Master_, POLLIN, 0}};
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
        const ssize_t n = ::read(Master_, buffer, sizeof buffer);
        if (n > 0 && ::write(in[1], buffer, static_cast<std::size_t>(n)) != n) {
          Fail("GNU Go does not take its input");
          break;
        }
        for (ssize_t i = 0; i < n; ++i) over = ends(fromPort, buffer[i]) || over;
      }
      if (open && !toPort.empty()) {
        const ssize_t n = ::write(Master_, toPort.data(), toPort.size());
        for (ssize_t i = 0; i < n; ++i)
          over = ends(fromGnuGo, toPort[static_cast<std::size_t>(i)]) || over;
        if (n > 0) toPort.erase(toPort.begin(), toPort.begin() + n);
      }
      if (over) {
        over = false;
        if (GameOver) GameOver(game);
      }
    }
    ::close(in[1]);  // the end of GNU Go's input: it writes its record and exits
    const bool clean = Reap(gnugo, 10000);
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

// A move as the information window shows it: "12手目  位置は[ 4 , 16 ]".
struct LoggedMove {
  int Number;
  int X;
  int Y;
};

struct Game {
  std::vector<LoggedMove> Moves;
  std::vector<std::string> Lines;
  std::vector<std::string> Labels;  // the main window's labels after each move line
};

struct MatchPlan {
  std::string Name;
  int Profile;
  std::string Executable;
  std::string Tag;  // as the main window's labels show the puppet
  bool PuppetBlack;
  int Games;
};

class WineMatch {
 public:
  explicit WineMatch(MatchPlan plan) : Plan_(std::move(plan)) {}

  void Play();

 private:
  MatchPlan Plan_;
  fs::path Work_;
  fs::path Shots_;
  fs::path PuppetFolder_;
  std::vector<Game> Games_;
  std::vector<std::string> Output_;  // every line of the operator
  int DuringShots_ = 0;

  void Prepare();
  void Check();
  void CheckGame(int n);
};

void WineMatch::Prepare() {
  Work_ = BuildDir / "wine-games" / Plan_.Name;
  std::error_code ignored;
  fs::remove_all(Work_, ignored);
  Shots_ = Work_ / "shots";
  fs::create_directories(Shots_);
  // Tovarin's folder: the program, the link library and the pictures.
  const fs::path tovarin = Work_ / "Tovarin";
  fs::create_directories(tovarin / "bmp");
  fs::copy_file(WindowsBuild / "tovarin/shell/tovarin.exe", tovarin / "tovarin.exe");
  fs::copy_file(WindowsBuild / "duelcom/duelcom.dll", tovarin / "duelcom.dll");
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"})
    fs::copy_file(SourceDir / "bmp" / name, tovarin / "bmp" / name);
  // The puppet, in a folder whose name code page 932 writes with a trail byte
  // equal to the path separator ("ソ" is 0x83 0x5C).
  const std::string folderName = "傀儡ソフト";
  PuppetFolder_ = Work_ / folderName;
  fs::create_directories(PuppetFolder_);
  fs::copy_file(WindowsBuild / "sim/puppets/refpuppet.exe", PuppetFolder_ / Plan_.Executable);
  // Short games: quick answers, and passes once eight moves are on the board.
  std::ofstream(PuppetFolder_ / "refpuppet.ini") << "think_ms=300\nthink_jitter_ms=200\nseed=11\n"
                                                    "pass_from_move=8\nopening_screen=0\n";
  // The registry files as Tovarin writes them: ANSI code page, CR LF line ends,
  // the count without one.
  const std::string path = Cp932(WindowsPath(PuppetFolder_ / Plan_.Executable));
  ASSERT_FALSE(path.empty());
  std::ofstream(tovarin / "touroku.txt", std::ios::binary)
      << Plan_.Profile << " " << path << "\r\n";
  std::ofstream(tovarin / "tourokusuu.txt", std::ios::binary) << "1";
}

void WineMatch::Play() {
  if (WindowsBuild.empty() || !fs::exists(WindowsBuild / "tovarin/shell/tovarin.exe"))
    GTEST_SKIP() << "no x86_64 build with tovarin.exe";
  const std::string wine = Env("WINE"), prefix = Env("WINEPREFIX");
  if (wine.empty() || prefix.empty() || Env("DISPLAY").empty())
    GTEST_SKIP() << "run by wine_games.sh, which sets WINE, WINEPREFIX and DISPLAY";
  ASSERT_NO_FATAL_FAILURE(Prepare());
  const auto started = Clock::now();

  // When each game was agreed and when it ended, in seconds from the start.
  auto since = [started] { return std::chrono::duration<double>(Clock::now() - started).count(); };
  std::vector<double> agreed;
  std::mutex endsLock;
  std::vector<double> ends;
  GnuGoOnComOne line(fs::path(prefix) / "com1", Work_, Plan_.Games, !Plan_.PuppetBlack);
  line.GameOver = [&](int game) {
    {
      std::lock_guard<std::mutex> lock(endsLock);
      ends.push_back(since());
    }
    Screenshot(Shots_ / ("game-" + std::to_string(game) + "-end.png"));
  };
  line.Start();

  const int tovarinLog =
      ::open((Work_ / "tovarin.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const pid_t tovarin = Spawn({wine, (Work_ / "Tovarin/tovarin.exe").string()}, Work_ / "Tovarin",
                              -1, tovarinLog, tovarinLog);
  int toOperator[2], fromOperator[2];
  ASSERT_EQ(pipe2(toOperator, O_CLOEXEC), 0);
  ASSERT_EQ(pipe2(fromOperator, O_CLOEXEC), 0);
  const int operatorErrors =
      ::open((Work_ / "operator-errors.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const int limitS = 300 + 240 * Plan_.Games;
  const pid_t op = Spawn(
      {wine, (WindowsBuild / "tests/wine/wine_operator.exe").string(),
       Plan_.PuppetBlack ? "black" : "white", std::to_string(Plan_.Games), std::to_string(limitS)},
      Work_, toOperator[0], fromOperator[1], operatorErrors);
  ::close(toOperator[0]);
  ::close(fromOperator[1]);
  auto go = [&] {
    if (::write(toOperator[1], "go\n", 3) != 3) ADD_FAILURE() << "the operator is gone";
  };

  // The operator's lines, as they come.
  std::ofstream transcript(Work_ / "operator.txt");
  std::string pending;
  bool over = false;
  std::string stopped;  // why the match stopped early
  Games_.emplace_back();
  const auto deadline = started + std::chrono::seconds(limitS + 30);
  while (!over && stopped.empty()) {
    if (Clock::now() > deadline) {
      stopped = "no end of the match within " + std::to_string(limitS + 30) + " s";
      break;
    }
    pollfd p{fromOperator[0], POLLIN, 0};
    poll(&p, 1, 200);
    if (!(p.revents & (POLLIN | POLLHUP))) continue;
    char buffer[4096];
    const ssize_t n = ::read(fromOperator[0], buffer, sizeof buffer);
    if (n <= 0) {
      stopped = "the operator ended without a word";
      break;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string text = pending.substr(0, end);
      pending.erase(0, end + 1);
      transcript << text << "\n" << std::flush;
      Output_.push_back(text);
      if (text.rfind("settings: ", 0) == 0) {
        Screenshot(Shots_ / "settings.png");
        go();
      } else if (text.rfind("log: ", 0) == 0) {
        const std::string l = text.substr(5);
        int number = 0;
        if (std::sscanf(l.c_str(), "第 %d 回通信に入ります", &number) == 1) Games_.emplace_back();
        Game& g = Games_.back();
        g.Lines.push_back(l);
        if (l == "NewGame OK") agreed.push_back(since());
        LoggedMove m{};
        if (std::sscanf(l.c_str(), "%d手目  位置は[ %d , %d ]", &m.Number, &m.X, &m.Y) == 3) {
          g.Moves.push_back(m);
          // Well into the game: its board, names, clocks and log.
          if (m.Number == 16)
            Screenshot(Shots_ / ("game-" + std::to_string(Games_.size()) + "-during.png"));
        }
      } else if (text.rfind("labels: ", 0) == 0) {
        Games_.back().Labels.push_back(text.substr(8));
      } else if (text == "over") {
        Screenshot(Shots_ / "over.png");
        go();
        over = true;
      } else if (text.rfind("box: ", 0) == 0 || text.rfind("error: ", 0) == 0) {
        Screenshot(Shots_ / "stopped.png");
        stopped = text;
      }
    }
  }
  ::close(toOperator[1]);
  Reap(op, over ? 20000 : 1000);
  // The finish button closes Tovarin.
  const bool tovarinEnded = Reap(tovarin, over ? 20000 : 1000);
  ::close(fromOperator[0]);
  ::close(tovarinLog);
  ::close(operatorErrors);
  std::printf("[ %s: match over after %.0f s;", Plan_.Name.c_str(), since());
  {
    std::lock_guard<std::mutex> lock(endsLock);
    for (std::size_t i = 0; i < agreed.size() && i < ends.size() && i < Games_.size(); ++i)
      std::printf(" game %zu agreed at %.0f s, %zu moves shown, ended at %.0f s (%.0f s);", i + 1,
                  agreed[i], Games_[i].Moves.size(), ends[i], ends[i] - agreed[i]);
  }
  std::printf(" ]\n");
  ASSERT_TRUE(stopped.empty()) << stopped << "\n(see " << Work_.string() << ")";
  EXPECT_TRUE(tovarinEnded) << "tovarin.exe did not end with its finish button";
  // GNU Go's last game ends once the port is closed.
  for (int waited = 0; line.GamesPlayed() < Plan_.Games && waited < 200; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(line.Failure(), "");
  ASSERT_EQ(line.GamesPlayed(), Plan_.Games);
  Check();
}

void WineMatch::Check() {
  SCOPED_TRACE(Work_.string());
  ASSERT_EQ(static_cast<int>(Games_.size()), Plan_.Games);
  // The dialog was answered as asked.
  const std::string settings = std::string("settings: ") + (Plan_.PuppetBlack ? "black" : "white") +
                               "|COM1|" + std::to_string(Plan_.Games);
  EXPECT_NE(std::find(Output_.begin(), Output_.end(), settings), Output_.end());
  for (int n = 1; n <= Plan_.Games; ++n) CheckGame(n);
  const std::vector<std::string>& last = Games_.back().Lines;
  if (Plan_.Games > 1) {
    const std::string summary = "全 " + std::to_string(Plan_.Games) + " 局 が終了しました。";
    EXPECT_NE(std::find(last.begin(), last.end(), summary), last.end());
  }
  for (const char* shot : {"settings", "over"})
    EXPECT_TRUE(fs::exists(Shots_ / (std::string(shot) + ".png"))) << shot;
}

void WineMatch::CheckGame(int n) {
  SCOPED_TRACE("game " + std::to_string(n));
  const bool puppetBlack = (n % 2 == 1) == Plan_.PuppetBlack;
  const std::vector<SgfMove> gnugo =
      testing_world::SgfMoves(Slurp(Work_ / ("gnugo-" + std::to_string(n) + ".sgf")));
  const std::vector<SgfMove> puppet =
      testing_world::SgfMoves(Slurp(PuppetFolder_ / ("puppet-game-" + std::to_string(n) + ".sgf")));
  // The puppet's record ends on the two passes; GNU Go adds one more pass.
  ASSERT_GE(puppet.size(), 10u);
  ASSERT_GE(gnugo.size(), puppet.size());
  EXPECT_EQ(puppet,
            std::vector<SgfMove>(gnugo.begin(), gnugo.begin() + static_cast<long>(puppet.size())));
  EXPECT_EQ(puppet[puppet.size() - 1].Point, "");
  EXPECT_EQ(puppet[puppet.size() - 2].Point, "");

  // The information window showed every move with its number, from the first
  // one relayed (the puppet's first move as black is sent without a line). A
  // game that leads on to the next one ends inside the handler that empties the
  // log, so its last lines never show: there the final pass may be missing.
  const Game& g = Games_[static_cast<std::size_t>(n - 1)];
  const bool lastGame = n == Plan_.Games;
  const int first = puppetBlack ? 2 : 1;
  const int total = static_cast<int>(puppet.size());
  ASSERT_FALSE(g.Moves.empty());
  EXPECT_EQ(g.Moves.front().Number, first);
  EXPECT_GE(g.Moves.back().Number, lastGame ? total : total - 1);
  for (std::size_t i = 0; i < g.Moves.size(); ++i) {
    const LoggedMove& m = g.Moves[i];
    ASSERT_EQ(m.Number, first + static_cast<int>(i));
    ASSERT_LE(m.Number, total);
    std::string point;
    if (m.X != 0 || m.Y != 0) {
      point += static_cast<char>('a' + m.X - 1);
      point += static_cast<char>('a' + m.Y - 1);
    }
    EXPECT_EQ((SgfMove{m.Number % 2 == 1 ? 'B' : 'W', point}),
              gnugo[static_cast<std::size_t>(m.Number - 1)])
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
  EXPECT_EQ(f[0], puppetBlack ? "黒" + Plan_.Tag : "黒[相棒]");
  EXPECT_EQ(f[2], puppetBlack ? "白[相棒]" : "白" + Plan_.Tag);
  for (const std::string& clock : {f[1], f[3]}) {
    int h = -1, m = -1, s = -1;
    EXPECT_EQ(std::sscanf(clock.c_str(), "%d:%d:%d", &h, &m, &s), 3) << clock;
  }
  EXPECT_NE(f[1] + f[3], " 0: 0: 0 0: 0: 0") << "both clocks stood still";
  if (Plan_.Games > 1) {
    EXPECT_NE(f[5].find("  第 " + std::to_string(n) + " 局"), std::string::npos) << f[5];
  }
  EXPECT_TRUE(fs::exists(Shots_ / ("game-" + std::to_string(n) + "-during.png")));
  EXPECT_TRUE(fs::exists(Shots_ / ("game-" + std::to_string(n) + "-end.png")));
}

TEST(WineGames, Profile1PlaysAWholeGameAsWhite) {
  WineMatch({"profile-1", 1, "VK2.EXE", "[Velk2]", false, 1}).Play();
}

TEST(WineGames, Profile17PlaysAWholeGameAsBlack) {
  WineMatch({"profile-17", 17, "NOVRA2.EXE", "[Umbr2]", true, 1}).Play();
}

TEST(WineGames, Profile10PlaysASeriesOfTwoWithColoursSwapped) {
  WineMatch({"profile-10-series", 10, "RENDOLIN.EXE", "[RENDO]", true, 2}).Play();
}

}  // namespace
