#pragma once
// A pseudo-terminal as the programs on the simulated line use it: the slave end
// is a serial port (a program opens it by its path), the master end is the far
// side of that port. The line is raw with echo off before anybody writes (a
// cooked line would echo a program's packets back to it), and the slave end is
// held open here too, so that the master never sees a hang-up while a program
// closes and reopens the port.
#include <string>

namespace simworld {

class Pty {
 public:
  enum class Mode { NonBlocking, Blocking };

  // On failure Error() says why; the object is then empty (Master < 0).
  explicit Pty(Mode mode = Mode::NonBlocking);
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool IsOpen() const { return Master >= 0; }
  const std::string& Error() const { return Error_; }
  // The master end goes: the slave end sees a hang-up once nobody else holds it.
  void CloseMaster();
  // Gives up the held slave end, as when a program of its own now holds it.
  void ReleaseSlave();

  int Master = -1;
  int Slave = -1;
  std::string SlavePath;

 private:
  std::string Error_;
};

}  // namespace simworld
