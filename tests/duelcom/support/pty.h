// Pseudo-terminals for the link tests: a library opens the slave end by path,
// the test talks on the master end.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/engine.h"

namespace duelcom::testing {

// A pseudo-terminal in raw mode with echo off. The test keeps its own slave
// descriptor open, so the master never sees a hang-up while a library closes
// and reopens the slave.
struct Pty {
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  void CloseMaster();

  int Master = -1;
  int Slave = -1;
  std::string SlavePath;
};

// Relays bytes between the masters of two pseudo-terminals, so that what is
// written to one slave is read from the other, and keeps what went each way.
class Bridge {
 public:
  Bridge(int masterA, int masterB);
  ~Bridge();
  std::vector<std::uint8_t> FromA();
  std::vector<std::uint8_t> FromB();

 private:
  void Run();
  int Masters[2];
  int Wake[2] = {-1, -1};
  std::mutex Lock;
  std::vector<std::uint8_t> Seen[2];
  std::thread Relay;
};

// A protocol engine speaking on a master descriptor from its own thread: the
// partner at the far end of a link under test.
class Partner {
 public:
  explicit Partner(int master);
  ~Partner();
  template <typename F>
  auto With(F&& f) {
    std::lock_guard<std::mutex> lock(Lock);
    return f(Context);
  }
  // Waits until pred(context) holds, up to timeoutMs.
  template <typename F>
  bool WaitFor(F&& pred, int timeoutMs = 5000) {
    std::unique_lock<std::mutex> lock(Lock);
    return Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return pred(Context); });
  }
  std::vector<std::uint8_t> Received();

 private:
  void Run();
  int Master;
  int Wake[2] = {-1, -1};
  std::mutex Lock;
  std::condition_variable Changed;
  LinkContext Context;
  std::vector<std::uint8_t> Bytes;
  std::thread Reader;
};

// Writes all bytes to a descriptor.
void WriteAll(int fd, const std::uint8_t* data, std::size_t size);
inline void WriteAll(int fd, const Packet& p) { WriteAll(fd, p.data(), p.size()); }

}  // namespace duelcom::testing
