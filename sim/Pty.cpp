#include "sim/Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace simworld {

Pty::Pty(Mode mode) {
  auto fail = [this](const char* call) {
    Error_ = std::string(call) + ": " + std::strerror(errno);
    CloseMaster();
    ReleaseSlave();
  };
  Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0 ||
      ptsname_r(Master, name, sizeof name) != 0) {
    fail("posix_openpt");
    return;
  }
  SlavePath = name;
  Slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (Slave < 0 || tcgetattr(Slave, &tio) != 0) {
    fail("open the line");
    return;
  }
  cfmakeraw(&tio);
  if (tcsetattr(Slave, TCSANOW, &tio) != 0) {
    fail("tcsetattr");
    return;
  }
  if (mode == Mode::NonBlocking && fcntl(Master, F_SETFL, O_NONBLOCK) != 0) fail("fcntl");
}

Pty::~Pty() {
  CloseMaster();
  ReleaseSlave();
}

void Pty::CloseMaster() {
  if (Master >= 0) ::close(Master);
  Master = -1;
}

void Pty::ReleaseSlave() {
  if (Slave >= 0) ::close(Slave);
  Slave = -1;
}

}  // namespace simworld
