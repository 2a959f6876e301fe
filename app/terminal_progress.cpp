#include "app/terminal_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace lumio {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kDefaultColumns = 80;

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, bool redraw, std::size_t width, bool japanese,
                                   std::vector<bool> skipped)
    : out_(out), redraw_(redraw), width_(width), japanese_(japanese), skipped_(std::move(skipped)) {
  state_.total = skipped_.size();
}

void TerminalProgress::CountSkippedBefore(std::size_t job) {
  for (; skippedCounted_ < std::min(job, skipped_.size()); ++skippedCounted_) {
    if (skipped_[skippedCounted_]) ++ended_;
  }
  state_.finished = ended_;
}

void TerminalProgress::JobStarted(std::size_t job, int lane, const std::string& inputPath,
                                  const std::string& fileName) {
  CountSkippedBefore(job);
  const auto index = static_cast<std::size_t>(lane);
  if (laneNames_.size() <= index) laneNames_.resize(index + 1);
  laneNames_[index] = fileName;
  const std::string counter = std::to_string(job + 1) + "/" + std::to_string(skipped_.size());
  PlainLine((japanese_ ? "開始 " : "start ") + counter + ": " + inputPath);
  Redraw(true);
}

void TerminalProgress::JobEnded(std::size_t job, int lane, const JobOutcome& outcome) {
  ++ended_;
  CountSkippedBefore(job + 1);
  const auto index = static_cast<std::size_t>(lane);
  if (index < laneNames_.size()) laneNames_[index].clear();
  const std::string counter = std::to_string(job + 1) + "/" + std::to_string(skipped_.size());
  const std::string word =
      outcome.succeeded ? (japanese_ ? "終了 " : "done ") : (japanese_ ? "中止 " : "stopped ");
  std::string line = word + counter + ": " + outcome.outputPath;
  if (!outcome.reason.empty()) line += ": " + outcome.reason;
  if (!redraw_) {
    PlainLine(line);
  } else if (!outcome.succeeded) {
    // A failure stays on the screen above the redrawn line.
    ClearLine();
    std::fprintf(out_, "%s\n", line.c_str());
  }
  Redraw(true);
}

void TerminalProgress::BatchProgressed(double fraction, std::optional<std::int64_t> remainingMs) {
  state_.fraction = fraction;
  state_.remainingMs = remainingMs;
  Redraw(false);
}

void TerminalProgress::Finish() {
  if (redraw_) ClearLine();
  std::fflush(out_);
}

void TerminalProgress::Redraw(bool now) {
  if (!redraw_) return;
  const auto time = std::chrono::steady_clock::now();
  if (!now && time - lastDrawn_ < kRedrawInterval) return;
  lastDrawn_ = time;
  state_.running.clear();
  for (const std::string& name : laneNames_) {
    if (!name.empty()) state_.running.push_back(name);
  }
  // One column stays free, so that a terminal never wraps the line.
  const std::string line = ProgressLine(state_, width_ > 1 ? width_ - 1 : 1, japanese_);
  std::fprintf(out_, "\r%s\x1b[K", line.c_str());
  std::fflush(out_);
  lineShown_ = true;
}

void TerminalProgress::ClearLine() {
  if (!lineShown_) return;
  std::fputs("\r\x1b[K", out_);
  lineShown_ = false;
}

void TerminalProgress::PlainLine(const std::string& line) {
  if (redraw_) return;
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::size_t StandardErrorColumns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    const long value = std::strtol(columns, nullptr, 10);
    if (value > 0) return static_cast<std::size_t>(value);
  }
  return kDefaultColumns;
}

}  // namespace lumio
