#include "core/source_reading.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/audio_info_reader.h"
#include "core/audio_kind.h"
#include "core/byte_source.h"
#include "core/cue_source.h"
#include "core/decoded_source_reader.h"
#include "core/embedded_cue.h"
#include "core/wave_reader.h"

namespace lumio {

namespace {

// Whether `path` names something there that is no regular file (a pipe or a device named
// like a sound file): reading it could wait for ever, or never end.
bool IsThereButNotRegular(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

}  // namespace

SourceReading ReadSource(const std::string& path, const PathRules& rules, bool splitEmbeddedCue) {
  SourceReading reading;
  if (IsThereButNotRegular(path)) {
    reading.failure = "not a regular file";
    return reading;
  }
  const AudioKind kind = AudioKindOf(path, rules);
  if (kind == AudioKind::CueSheet) return ReadCueSource(path, rules);
  if (kind == AudioKind::Decoded) {
    reading.readable = ReadDecodedSource(path, reading.audio, reading.tags);
    return reading;
  }
  try {
    FileByteSource source(path);
    ReadAudioInfo(source, kind, reading.audio);
    reading.tags = ReadSourceTags(source, path, kind);
    reading.readable = true;
    if (kind == AudioKind::Flac && splitEmbeddedCue) SplitEmbeddedCue(source, path, rules, reading);
  } catch (const SourceReadError&) {
    reading = SourceReading();
  }
  return reading;
}

std::size_t AddEntries(const std::string& path, SourceReading reading, const AddEntryFunction& add,
                       std::vector<std::string>& failed) {
  if (reading.tracks.empty()) {
    std::string failedName = reading.failure.empty() ? path : path + "（" + reading.failure + "）";
    if (add(path, std::move(reading))) return 1;
    failed.push_back(std::move(failedName));
    return 0;
  }
  std::size_t added = 0;
  for (TrackSource& track : reading.tracks) {
    if (add(track.path, std::move(track.reading))) {
      ++added;
    } else {
      failed.push_back(track.path);
    }
  }
  return added;
}

unsigned SourceReaderCount() {
  constexpr unsigned kMostReaders = 8;
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMostReaders);
}

std::vector<SourceReading> ReadSources(const std::vector<std::string>& paths,
                                       const SourceReadFunction& read, unsigned threads,
                                       std::stop_token stop) {
  std::vector<SourceReading> readings(paths.size());
  // Each thread takes the next file still unread, so a slow file holds up no other.
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto readRemaining = [&] {
    try {
      for (std::size_t i = next++; i < paths.size() && !stop.stop_requested(); i = next++) {
        readings[i] = read(paths[i]);
      }
    } catch (...) {
      // Running out of memory, say: the first failure reaches the caller once every
      // thread has stopped.
      const std::lock_guard lock(failureLock);
      if (!failure) failure = std::current_exception();
      next = paths.size();
    }
  };
  const std::size_t helpers = std::min<std::size_t>(std::max(threads, 1u), paths.size());
  std::vector<std::jthread> others;
  try {
    for (std::size_t i = 1; i < helpers; ++i) others.emplace_back(readRemaining);
  } catch (const std::system_error&) {
    // No more threads to be had: those there are read everything.
  }
  readRemaining();
  others.clear();  // joins
  if (failure) std::rethrow_exception(failure);
  return readings;
}

}  // namespace lumio
