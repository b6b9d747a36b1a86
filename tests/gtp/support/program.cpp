#include "support/program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "sim/GnuGoPartner.h"
#include "sim/NullModem.h"

namespace gtptest {

Program::Program(const std::vector<std::string>& command,
                 const std::vector<std::string>& environment) {
  std::vector<std::string> args = command;
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = environment;
  int out[2];
  EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
  Pid = fork();
  if (Pid == 0) {
    for (auto& e : env) putenv(e.data());
    dup2(out[1], 1);
    dup2(out[1], 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ::close(out[1]);
  Reader = std::thread([this, fd = out[0]] {
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
      std::lock_guard<std::mutex> lock(Lock);
      if (n > 0) Text.append(buffer, static_cast<std::size_t>(n));
      Changed.notify_all();
    }
    ::close(fd);
    std::lock_guard<std::mutex> lock(Lock);
    Ended = true;
    Changed.notify_all();
  });
}

Program::~Program() {
  if (Pid > 0) {
    kill(Pid, SIGKILL);
    Wait();
  }
  Reader.join();
}

bool Program::WaitFor(const std::string& text) {
  std::unique_lock<std::mutex> lock(Lock);
  return Changed.wait_for(lock, std::chrono::milliseconds(EventTimeoutMs),
                          [&] { return Text.find(text) != std::string::npos; });
}

int Program::Wait() {
  int status = 0;
  while (waitpid(Pid, &status, 0) < 0 && errno == EINTR) {
  }
  Pid = 0;
  // The reader may not have taken the last bytes yet; a process the program
  // left behind may hold the output open, so this wait has a bound.
  std::unique_lock<std::mutex> lock(Lock);
  Changed.wait_for(lock, std::chrono::milliseconds(EventTimeoutMs), [&] { return Ended; });
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Program::Output() {
  std::lock_guard<std::mutex> lock(Lock);
  return Text;
}

Game AgainstGnuGoGmp(const Launch& launch, const std::vector<std::string>& engine, bool engineBlack,
                     const std::vector<std::string>& options) {
  TempFolder folder;
  auto wire = std::make_unique<simworld::NullModem>();
  std::string error;
  EXPECT_TRUE(wire->Open(error)) << error;
  std::vector<std::string> command = launch.Command;
  for (const std::string& a :
       {std::string("--port"), launch.Port(wire->Port(0)), std::string("--colour"),
        std::string(engineBlack ? "black" : "white"), std::string("--sgf"),
        launch.Folder(folder.Path())})
    command.push_back(a);
  command.insert(command.end(), options.begin(), options.end());
  command.push_back("--");
  command.insert(command.end(), engine.begin(), engine.end());
  Program program(command, launch.Environment);
  Game game;
  // GNU Go playing black sends its request at once: the line is opened first.
  EXPECT_TRUE(program.WaitFor("line open")) << program.Output();
  simworld::GnuGoPartner gnugo(1);
  using Colour = simworld::GnuGoPartner::Colour;
  EXPECT_TRUE(gnugo.StartOn(wire->Port(1), engineBlack ? Colour::White : Colour::Black,
                            (folder.Path() / "gnugo.sgf").string(), error))
      << error;
  EXPECT_EQ(program.Wait(), 0) << program.Output();
  game.Output = program.Output();
  wire.reset();  // GNU Go ends when its line goes
  gnugo.Finish();
  game.OurSgf = Slurp(folder.Path() / "game-1.sgf");
  game.Ours = SgfMoves(game.OurSgf);
  game.Theirs = SgfMoves(Slurp(folder.Path() / "gnugo.sgf"));
  return game;
}

void ExpectSameGame(const Game& game) {
  ASSERT_GE(game.Ours.size(), 4u) << game.Output;
  ASSERT_GE(game.Theirs.size(), game.Ours.size());
  EXPECT_EQ(game.Ours,
            std::vector<SgfMove>(game.Theirs.begin(), game.Theirs.begin() + game.Ours.size()));
  // Two passes ended it.
  EXPECT_EQ(game.Ours[game.Ours.size() - 1].Point, "");
  EXPECT_EQ(game.Ours[game.Ours.size() - 2].Point, "");
}

}  // namespace gtptest
