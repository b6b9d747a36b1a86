// The Go Text Protocol (version 2) seen from the controller's side: one command
// line out, one reply in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace gtp {

struct GtpReply {
  enum class Status {
    Success,  // "= ..."
    Failure,  // "? ..."
    Lost,     // the engine's output ended before a whole reply
    Late,     // no whole reply within the command's time limit
  };
  Status State = Status::Lost;
  // The reply's text without its status character and id; the lines of a
  // multi-line reply joined by '\n', trailing blanks removed.
  std::string Text;

  bool Ok() const { return State == Status::Success; }
};

// An engine that answers GTP commands.
class GtpEngine {
 public:
  virtual ~GtpEngine() = default;
  // The whole reply must come within `limitMs` (0: no limit).
  virtual GtpReply Ask(const std::string& command, std::uint32_t limitMs) = 0;
  GtpReply Ask(const std::string& command) { return Ask(command, 0); }
};

// Lines of text to and from an engine: its standard input and output.
class TextChannel {
 public:
  enum class Read { Line, End, Late };

  virtual ~TextChannel() = default;
  // False when the engine no longer reads.
  virtual bool WriteLine(const std::string& line) = 0;
  // The reads from now on give up `limitMs` after this call (0: never).
  virtual void LimitReads(std::uint32_t limitMs) = 0;
  // The next line without its line end; End at the end of the output, Late
  // once the time given by LimitReads has run out.
  virtual Read ReadLine(std::string& line) = 0;
};

// Speaks GTP over a text channel. Commands go without ids; a reply is read up
// to its closing empty line. Lines before a reply that do not start one
// (anything an engine prints on its output besides replies) are skipped.
class GtpClient final : public GtpEngine {
 public:
  using Monitor = std::function<void(const std::string& line)>;

  // `monitor`, if given, sees every command sent ("> ...") and every reply
  // line read ("< ...").
  explicit GtpClient(TextChannel& channel, Monitor monitor = nullptr)
      : Channel(channel), Watch(std::move(monitor)) {}

  GtpReply Ask(const std::string& command, std::uint32_t limitMs) override;
  using GtpEngine::Ask;

 private:
  TextChannel& Channel;
  Monitor Watch;
};

}  // namespace gtp
