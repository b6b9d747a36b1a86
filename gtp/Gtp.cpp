#include "gtp/Gtp.h"

#include <cctype>

namespace gtp {

namespace {

void TrimRight(std::string& s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
}

}  // namespace

GtpReply GtpClient::Ask(const std::string& command, std::uint32_t limitMs) {
  if (Watch) Watch("> " + command);
  GtpReply reply;
  Channel.LimitReads(limitMs);
  if (!Channel.WriteLine(command)) return reply;

  std::string line;
  bool started = false;
  for (;;) {
    const TextChannel::Read read = Channel.ReadLine(line);
    if (read == TextChannel::Read::End) break;
    if (read == TextChannel::Read::Late) {
      reply.State = GtpReply::Status::Late;
      return reply;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Watch && (started || !line.empty())) Watch("< " + line);
    if (!started) {
      if (line.empty() || (line[0] != '=' && line[0] != '?')) continue;
      started = true;
      reply.State = line[0] == '=' ? GtpReply::Status::Success : GtpReply::Status::Failure;
      std::size_t at = 1;
      while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) ++at;
      while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
      reply.Text = line.substr(at);
      continue;
    }
    if (line.empty()) {
      TrimRight(reply.Text);
      return reply;
    }
    reply.Text += '\n' + line;
  }
  reply.State = GtpReply::Status::Lost;
  return reply;
}

}  // namespace gtp
