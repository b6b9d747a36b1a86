#pragma once
// GNU Go in its GMP mode as the partner at the far end of the line. For each game
// a fresh pseudo-terminal is made: its slave end, raw with echo off, becomes the
// port that Tovarin's link library opens, and its master end is GNU Go's standard
// input and output. GNU Go is started once the port is open, plays the other
// colour and writes its own record of the game; it ends when the port is closed.
#include <sys/types.h>

#include <memory>
#include <string>

#include "sim/Pty.h"

namespace simworld {

class GnuGoPartner {
 public:
  // The colour GNU Go is told to play; without one it takes the colour the
  // other side names.
  enum class Colour { Black, White, Unnamed };

  // `level` is GNU Go's strength.
  explicit GnuGoPartner(int level) : Level_(level) {}
  ~GnuGoPartner();  // no GNU Go is left running
  GnuGoPartner(const GnuGoPartner&) = delete;
  GnuGoPartner& operator=(const GnuGoPartner&) = delete;

  // A new pseudo-terminal for the next game; its slave's path is the port's
  // device. False with the reason in `error`.
  bool NewLine(std::string& port, std::string& error);
  // Starts GNU Go on the line, playing black or white, its record in `sgfPath`.
  bool Start(bool black, const std::string& sgfPath, std::string& error);
  // Starts GNU Go on a serial device of someone else's (a port of a null-modem
  // cable), which it opens itself. Its input does not end when the other side
  // closes its port: Stop ends it.
  bool StartOn(const std::string& device, Colour colour, const std::string& sgfPath,
               std::string& error);
  // Starts GNU Go reading `in` and writing `out`, descriptors of the caller's
  // (the ends of two pipes it relays); its input ends when the caller closes
  // the other end of `in`.
  bool StartOnPipes(int in, int out, Colour colour, const std::string& sgfPath, std::string& error);
  // The seed of GNU Go's random choices for the starts that follow (0: its own),
  // so that a test plays the same games every run.
  void SetSeed(int seed) { Seed_ = seed; }
  // Ends GNU Go at once.
  void Stop();
  // The port has been closed: GNU Go's input ends and it exits (it is stopped
  // after `waitMs` if it does not). True when it ended by itself.
  bool Finish(int waitMs = 2000);
  bool Running() const { return Pid_ > 0; }

 private:
  int Level_;
  std::unique_ptr<Pty> Line_;  // its master end becomes GNU Go's input and output
  int Seed_ = 0;
  pid_t Pid_ = 0;
  bool Launch(int in, int out, Colour colour, const std::string& sgfPath, std::string& error);
};

}  // namespace simworld
