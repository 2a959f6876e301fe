#pragma once

#include <string>
#include <string_view>

namespace lumio {

// An encoder process that is running now. RequestClose asks it to end (SIGTERM, and
// SIGKILL when asked again), and does nothing once that process has ended.
class RunningEncoder {
 public:
  virtual ~RunningEncoder() = default;
  virtual void RequestClose() = 0;
};

// Where one encoder's output goes while the console is to be shown.
class ConsoleSink {
 public:
  virtual ~ConsoleSink() = default;
  // The encoder has started; `title` names it; closing the console asks `encoder` to close.
  virtual void EncoderStarted(const std::string& title, RunningEncoder& encoder) = 0;
  // Output bytes, in the order the encoder wrote them (standard output and error).
  virtual void EncoderOutput(std::string_view bytes) = 0;
  virtual void EncoderEnded() = 0;
};

}  // namespace lumio
