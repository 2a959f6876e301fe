#include "core/source_feed.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <thread>

namespace lumio {

namespace {

// Batches ready but not yet taken: reading stays this far ahead of the caller, so that
// memory stays bounded whatever the number of files.
constexpr std::size_t kMostWaitingBatches = 2;
// Files read at once: batches grow while they are read quickly and shrink when one takes
// long (a network folder), so that each batch arrives soon and cancel wastes little.
constexpr std::size_t kFirstBatch = 8;
constexpr std::size_t kLargestBatch = 1024;
constexpr auto kQuickBatch = std::chrono::milliseconds(25);
constexpr auto kSlowBatch = std::chrono::milliseconds(100);

}  // namespace

struct SourceFeed::State {
  State(PathRules rules, FeedReadFunction readFile, std::function<void()> readyCall)
      : read(std::move(readFile)), ready(std::move(readyCall)), walk(rules) {
    if (!read) {
      read = [rules](const std::string& path, bool split) {
        return ReadSource(path, rules, split);
      };
    }
  }

  mutable std::mutex lock;
  std::condition_variable taken;  // a batch was taken, or the feed abandoned
  std::deque<AddRequest> appended;
  std::deque<std::vector<FedSource>> batches;
  bool walking = false;  // a feed thread runs
  bool abandoned = false;
  std::stop_source stop;
  FeedReadFunction read;  // set before the first thread starts
  std::function<void()> ready;
  // Used only by the one feed thread running.
  // Each request is walked to its end before the next is begun, so that every file is
  // read with the choice of the request it came with.
  SourceWalk walk;
  bool splitEmbeddedCue = true;  // the request being walked
  std::size_t batchSize = kFirstBatch;
};

SourceFeed::SourceFeed(PathRules rules, FeedReadFunction read, std::function<void()> ready)
    : state_(std::make_shared<State>(rules, std::move(read), std::move(ready))) {}

SourceFeed::~SourceFeed() { Abandon(); }

void SourceFeed::Append(AddRequest request) {
  const std::lock_guard lock(state_->lock);
  state_->appended.push_back(std::move(request));
  if (state_->walking || state_->abandoned) return;
  // The thread holds the state, so that it may outlive the feed when a read is stuck.
  std::thread(Run, state_).detach();
  state_->walking = true;
}

std::optional<std::vector<FedSource>> SourceFeed::Take() {
  const std::lock_guard lock(state_->lock);
  if (state_->batches.empty()) return std::nullopt;
  std::vector<FedSource> batch = std::move(state_->batches.front());
  state_->batches.pop_front();
  state_->taken.notify_all();
  return batch;
}

bool SourceFeed::Done() const {
  const std::lock_guard lock(state_->lock);
  return !state_->walking && state_->appended.empty() && state_->batches.empty();
}

void SourceFeed::Abandon() {
  const std::lock_guard lock(state_->lock);
  state_->abandoned = true;
  state_->ready = nullptr;
  state_->batches.clear();
  state_->stop.request_stop();
  state_->taken.notify_all();
}

void SourceFeed::Run(const std::shared_ptr<State>& state) {
  for (;;) {
    std::optional<AddRequest> request;
    {
      std::unique_lock lock(state->lock);
      state->taken.wait(
          lock, [&] { return state->abandoned || state->batches.size() < kMostWaitingBatches; });
      if (state->abandoned) return;
      if (state->walk.Done() && !state->appended.empty()) {
        request = std::move(state->appended.front());
        state->appended.pop_front();
      }
    }
    // Walking and reading touch the disk: no lock is held meanwhile.
    if (request) {
      state->walk.Append(request->paths, request->takeAnyFile);
      state->splitEmbeddedCue = request->splitEmbeddedCue;
    }
    std::vector<FedSource> batch;
    std::vector<std::string> files;
    while (batch.size() < state->batchSize) {
      std::optional<SourceWalk::Item> item = state->walk.Next();
      if (!item) break;
      if (!item->unreadableFolder) files.push_back(item->path);
      batch.push_back({std::move(*item), {}});
    }
    if (batch.empty()) {
      const std::lock_guard lock(state->lock);
      if (!state->appended.empty()) continue;  // the next request, or one queued meanwhile
      state->walking = false;
      if (state->ready) state->ready();
      return;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<SourceReading> readings;
    try {
      const bool split = state->splitEmbeddedCue;
      readings = ReadSources(
          files, [&](const std::string& path) { return state->read(path, split); },
          SourceReaderCount(), state->stop.get_token());
    } catch (...) {
      readings.assign(files.size(), {});  // out of memory, say: these files are not added
    }
    const auto took = std::chrono::steady_clock::now() - start;
    if (took < kQuickBatch) {
      state->batchSize = std::min(state->batchSize * 2, kLargestBatch);
    } else if (took > kSlowBatch) {
      state->batchSize = std::max<std::size_t>(state->batchSize / 2, 1);
    }
    std::size_t next = 0;
    for (FedSource& fed : batch) {
      if (!fed.item.unreadableFolder) fed.reading = std::move(readings[next++]);
    }
    const std::lock_guard lock(state->lock);
    if (state->abandoned) return;
    state->batches.push_back(std::move(batch));
    if (state->ready) state->ready();
  }
}

}  // namespace lumio
