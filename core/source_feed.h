#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/source_reading.h"
#include "core/source_walk.h"
#include "platform/path_rules.h"

namespace lumio {

// One request to add: the paths, how given files are taken (see SourceWalk::Append), and
// whether a FLAC image's own cue sheet gives one entry for each of its tracks. The
// request carries its choices as values, so that nothing a feed thread reads belongs to
// the one who asked, which may be gone before a stuck read returns.
struct AddRequest {
  std::vector<std::string> paths;
  bool takeAnyFile = false;
  bool splitEmbeddedCue = true;
};

// Reads one file as ReadSource does, with the request's choice for embedded cue sheets;
// tests put a reader of their own in its place.
using FeedReadFunction =
    std::function<SourceReading(const std::string& path, bool splitEmbeddedCue)>;

// One item of the walk (a file, or a folder that could not be listed) with what reading
// the file gave; an unreadable folder has an empty reading.
struct FedSource {
  SourceWalk::Item item;
  SourceReading reading;
};

// Walks the paths given (see SourceWalk) and reads the files found, in batches, on
// threads of its own; the caller takes each batch when it is ready, in walk order.
// Nothing the caller does waits for a file: a file stuck in a read (a hung network
// mount, a device) holds up only the feed's threads, and abandoning the feed lets them
// go: they end once the read returns, and what they read is dropped.
class SourceFeed {
 public:
  // `ready` is called on one of the feed's threads whenever a batch is ready and when
  // the walk has ended; never once Abandon has returned. It must return quickly (post an
  // event, say) and must not call the feed. Without `read`, files are read with
  // ReadSource.
  SourceFeed(PathRules rules, FeedReadFunction read, std::function<void()> ready);
  ~SourceFeed();  // abandons
  SourceFeed(const SourceFeed&) = delete;
  SourceFeed& operator=(const SourceFeed&) = delete;

  // Queues the request behind everything queued so far. Throws std::system_error when no
  // thread can be started.
  void Append(AddRequest request);
  // The next batch in walk order, if it is ready.
  std::optional<std::vector<FedSource>> Take();
  // Whether everything appended has been walked, read and taken.
  bool Done() const;
  // Drops every batch and stops the threads as soon as their reads return.
  void Abandon();

 private:
  struct State;
  static void Run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
};

}  // namespace lumio
