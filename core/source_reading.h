#pragma once

#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/file_data.h"
#include "core/sample_range.h"
#include "core/source_tags.h"
#include "platform/path_rules.h"

namespace lumio {

struct TrackSource;

// What adding a sound file takes from the file itself: its header and its tags.
// Reading touches nothing but that file (and, for a CUE sheet, the images it names), so
// several files can be read at once.
struct SourceReading {
  bool readable = false;  // false when the file could not be read: it is not added
  AudioFigures audio;
  SourceTags tags;
  // A track of an image: the part of the file the entry encodes and its output name.
  std::optional<SampleRange> range;
  std::string outputFileName;  // empty: the file's own name with ".ogg"
  // A CUE sheet is no entry itself: it adds one entry for each of its tracks.
  std::vector<TrackSource> tracks;
  // Why the file cannot be added, when there is more to say than its name.
  std::string failure;
};

// One entry that a file read adds: the sound file it encodes, with what was read.
struct TrackSource {
  std::string path;
  SourceReading reading;
};

// Adds the entries that reading `path` gives, each with `add`: one for each track of a
// CUE sheet, else the file itself, which `add` refuses when it could not be read. What cannot be
// added is named in `failed`, with the reason when there is one. Returns how many entries were
// added.
using AddEntryFunction = std::function<bool(const std::string& path, SourceReading reading)>;
std::size_t AddEntries(const std::string& path, SourceReading reading, const AddEntryFunction& add,
                       std::vector<std::string>& failed);

// Reads the file at `path` as the kind its extension names (AudioKindOf): a WAVE, FLAC or
// AIFF file with one opening of the file for the header and the tags, a file the decoder
// reads through ReadDecodedSource, a CUE sheet as the tracks of its images
// (ReadCueSource). With `splitEmbeddedCue`, a FLAC image holding a cue sheet gives one
// entry for each of its tracks.
SourceReading ReadSource(const std::string& path, const PathRules& rules,
                         bool splitEmbeddedCue = true);

// Reads one file as ReadSource does; tests put a reader of their own in its place.
using SourceReadFunction = std::function<SourceReading(const std::string& path)>;

// How many threads read the files being added: one per core, at most eight (beyond that
// the disk, not the parse, sets the pace).
unsigned SourceReaderCount();

// Reads every file of `paths` with `read`, the files shared out among up to `threads`
// threads (the calling one among them); the readings come in the order of `paths`. Once
// `stop` is requested, files not yet begun are left unread (not readable). Most of adding
// a file is this reading, half of it TagLib's parse of the tags, which this spreads over
// the machine's cores.
std::vector<SourceReading> ReadSources(const std::vector<std::string>& paths,
                                       const SourceReadFunction& read, unsigned threads,
                                       std::stop_token stop = {});

}  // namespace lumio
