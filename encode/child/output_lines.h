#pragma once

#include <string>
#include <string_view>

namespace lumio {

// Cuts a child's output, given in pieces of any size, into lines ended by a carriage
// return or a line feed (progress lines end in a carriage return). A line longer than
// 4096 bytes is no line a helper program writes: the rest is dropped rather than kept
// growing, so that endless output without line ends costs no memory.
class OutputLines {
 public:
  // Calls `line` with each line that `bytes` completes, without its line end.
  template <typename LineFunction>
  void Feed(std::string_view bytes, LineFunction line) {
    for (const char c : bytes) {
      if (c == '\r' || c == '\n') {
        line(std::string_view(pending_));
        pending_.clear();
      } else if (pending_.size() < kLongestLine) {
        pending_ += c;
      }
    }
  }

  // The output has ended: a line left without a line end is complete.
  template <typename LineFunction>
  void Finish(LineFunction line) {
    line(std::string_view(pending_));
    pending_.clear();
  }

 private:
  static constexpr std::size_t kLongestLine = 4096;
  std::string pending_;
};

}  // namespace lumio
