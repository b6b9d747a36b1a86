// The line through the link library's Link: a serial port by number (1 or 2,
// the library's COM1 and COM2) or by device name.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "duelcom/engine.h"
#include "duelcom/link.h"
#include "gtp/Line.h"

namespace gtp {

class DuelcomLine final : public GmpLine {
 public:
  // `port` is "1", "2", or a device: a path on Linux, a port name on Windows.
  // `monitor`, if given, sees every packet sent and received and every
  // protocol warning, on the thread that handles it.
  explicit DuelcomLine(std::string port, duelcom::LinkContext::TextSink monitor = nullptr);
  ~DuelcomLine() override;

  bool Open(std::string& error) override;
  void Close() override;
  bool NewGame(int colour) override;
  bool SendMove(int x, int y) override;
  bool MoveDenied() override { return Link && Link->MoveDenied(); }
  bool WaitMove(int& x, int& y, std::uint32_t timeoutMs) override;
  bool Lost() override { return Link && Link->IsLost(); }
  bool DeniedMove(int& colour, int& x, int& y) override;
  std::string Name() const override;
  std::uint32_t WaitMs() const override { return duelcom::LinkTiming{}.TimeoutMs; }

 private:
  std::string Port;
  duelcom::LinkContext::TextSink Monitor;
  std::unique_ptr<duelcom::Link> Link;
  // The last denied move, set on the link's reader thread.
  std::mutex DeniedLock;
  int Denied[3] = {0, 0, 0};  // colour (0: none), x, y
};

}  // namespace gtp
