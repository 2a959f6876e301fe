#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/batch_progress_line.h"
#include "encode/report/run_report.h"

namespace lumio {

// Progress of a batch on standard error. On a terminal one line is redrawn in place
// (at most ten times a second); elsewhere (a log, a pipe) each job that starts or ends
// gets one plain line. A job that fails is told on a line of its own either way.
class TerminalProgress {
 public:
  // `skipped` marks the jobs whose outputs are up to date; they count as finished once
  // the run passes them.
  TerminalProgress(std::FILE* out, bool redraw, std::size_t width, bool japanese,
                   std::vector<bool> skipped);

  void JobStarted(std::size_t job, int lane, const std::string& inputPath,
                  const std::string& fileName);
  void JobEnded(std::size_t job, int lane, const JobOutcome& outcome);
  void BatchProgressed(double fraction, std::optional<std::int64_t> remainingMs);
  // Takes the redrawn line away, so that what follows starts on a clean line.
  void Finish();

 private:
  void CountSkippedBefore(std::size_t job);
  void Redraw(bool now);
  void ClearLine();
  void PlainLine(const std::string& line);

  std::FILE* out_;
  bool redraw_;
  std::size_t width_;
  bool japanese_;
  std::vector<bool> skipped_;
  std::size_t skippedCounted_ = 0;  // jobs before this index are counted when skipped
  std::size_t ended_ = 0;
  ProgressLineState state_;
  std::vector<std::string> laneNames_;
  bool lineShown_ = false;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

// Whether standard error is a terminal, and how many columns it has (80 when it cannot
// be told).
bool StandardErrorIsTerminal();
std::size_t StandardErrorColumns();

}  // namespace lumio
