#pragma once

#include <QProcess>
#include <optional>
#include <string>
#include <vector>

#include "encode/batch_host.h"

namespace lumio {

// The nice value the encoder is started with for an `Options`/`EncodePriority` item
// (0 idle, 1 normal, 2 high, 3 realtime); nullopt keeps the program's own.
std::optional<int> NiceValueForPriority(int encodePriority);

// The exit code reported for an encoder that was ended by a signal.
inline constexpr int kEncoderKilledExitCode = -1;

// One run of the encoder as a child process, started directly from its argument
// vector (never through a shell) with standard input from /dev/null.
class EncoderProcess final : public RunningEncoder {
 public:
  // `console` receives the encoder's standard output and error, merged, as they come;
  // nullptr sends both to /dev/null.
  explicit EncoderProcess(ConsoleSink* console);
  ~EncoderProcess() override;

  EncoderProcess(const EncoderProcess&) = delete;
  EncoderProcess& operator=(const EncoderProcess&) = delete;

  // `arguments[0]` is the program. False when it cannot be started (missing, not
  // executable); the console is then never told of it.
  bool Start(const std::vector<std::string>& arguments, int encodePriority);

  // Sleeps in a local event loop until the encoder has ended, so that timers, clicks
  // and repainting go on meanwhile without a busy wait. Returns the exit code, or
  // kEncoderKilledExitCode when a signal ended it.
  int WaitForExit();

  // SIGTERM the first time, SIGKILL on every later request; only while this process is
  // still our running child: until Qt reaps it, its pid cannot have been handed to
  // another process.
  void RequestClose() override;

 private:
  void ForwardOutput();

  QProcess process_;
  ConsoleSink* console_;
  bool started_ = false;
  bool ended_ = false;  // the console has been told of the end
  bool closeRequested_ = false;
};

}  // namespace lumio
