// The far end of a link under test: a protocol engine on a pseudo-terminal's
// master end. (Joined pairs of lines are simworld::NullModem's.)
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "duelcom/engine.h"
#include "sim/Pty.h"

namespace duelcom::testing {

// The simulated line's pseudo-terminal: a library opens the slave end by
// path, the test talks on the master end.
using Pty = simworld::Pty;

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

// The Wine prefix that the Windows checks of the link library and of its
// partner program share, in the build folder: made on first use by
// wine_prefix.sh, its COM1 mapped to Com1, a path that each run links to a line
// of its own. Ready is false when it could not be made.
struct WinePrefix {
  std::string Prefix;
  std::string Com1;
  bool Ready = false;
};
WinePrefix DuelcomWinePrefix();

// Writes all bytes to a descriptor.
void WriteAll(int fd, const std::uint8_t* data, std::size_t size);
inline void WriteAll(int fd, const Packet& p) { WriteAll(fd, p.data(), p.size()); }

}  // namespace duelcom::testing
