#include "gtp/DuelcomLine.h"

namespace gtp {

DuelcomLine::DuelcomLine(std::string port, duelcom::LinkContext::TextSink monitor)
    : Port(std::move(port)), Monitor(std::move(monitor)) {}

DuelcomLine::~DuelcomLine() { Close(); }

std::string DuelcomLine::Name() const {
  if (Port == "1" || Port == "2") return "COM" + Port;
  return Port;
}

bool DuelcomLine::Open(std::string& error) {
  Close();
  // A new link each time: a fresh protocol engine, both sequence bits at 0.
  Link = std::make_unique<duelcom::Link>();
  if (Monitor) Link->SetMonitor(Monitor);
  {
    std::lock_guard<std::mutex> lock(DeniedLock);
    Denied[0] = 0;
  }
  Link->SetDeniedMoveSink([this](int colour, int x, int y) {
    std::lock_guard<std::mutex> lock(DeniedLock);
    Denied[0] = colour;
    Denied[1] = x;
    Denied[2] = y;
  });
  const bool opened =
      Port == "1" || Port == "2" ? Link->Open(Port == "1" ? 1 : 2) : Link->OpenDevice(Port);
  if (!opened) {
    Link.reset();
    // The library has printed the system's reason on standard output.
    error = "the port could not be opened";
    return false;
  }
  return true;
}

void DuelcomLine::Close() {
  if (!Link) return;
  Link->Close();
  Link.reset();
}

bool DuelcomLine::NewGame(int colour) { return Link && Link->NewGame(colour); }

bool DuelcomLine::SendMove(int x, int y) { return Link && Link->SendMove(x, y); }

bool DuelcomLine::WaitMove(int& x, int& y, std::uint32_t timeoutMs) {
  if (!Link || !Link->WaitMove(x, y, timeoutMs)) return false;
  std::lock_guard<std::mutex> lock(DeniedLock);
  Denied[0] = 0;
  return true;
}

bool DuelcomLine::DeniedMove(int& colour, int& x, int& y) {
  std::lock_guard<std::mutex> lock(DeniedLock);
  if (Denied[0] == 0) return false;
  colour = Denied[0];
  x = Denied[1];
  y = Denied[2];
  return true;
}

}  // namespace gtp
