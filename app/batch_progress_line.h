#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// Columns that UTF-8 `text` takes on a terminal: East Asian wide characters two, others
// one (combining marks are counted as one, which errs on the short side of the width).
std::size_t TerminalColumns(std::string_view text);

// `text` cut at whole characters to at most `columns` columns, ending with "…" when it
// was cut.
std::string FitToColumns(std::string_view text, std::size_t columns);

// What the redrawn progress line shows.
struct ProgressLineState {
  std::size_t finished = 0;  // jobs ended or skipped
  std::size_t total = 0;
  double fraction = 0;  // of the whole batch, 0 to 1
  std::optional<std::int64_t> remainingMs;
  std::vector<std::string> running;  // file names of the jobs running now
};

// One line of at most `width` columns: files done and all, the batch percentage and a
// bar, the time left when it is known, and the running files' names, shortened to fit.
std::string ProgressLine(const ProgressLineState& state, std::size_t width, bool japanese);

}  // namespace lumio
