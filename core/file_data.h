#pragma once

#include <optional>
#include <string>

#include "core/audio_figures.h"
#include "core/carried_tags.h"
#include "core/sample_range.h"

namespace lumio {

// One job: everything the encoder run needs for one listed sound file, apart from its
// input path, which the list keeps beside it.
struct FileData {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Comment;  // several lines separated by CR LF
  std::string Date;
  std::string TrackNumber;
  std::string OutputFileName;  // without folder
  std::string OutputDir;       // normally ends in a separator
  // Folders below OutputDir that the output goes to, each followed by a separator: the
  // place of a file inside a folder that was added whole, when the folder tree is kept.
  // Empty otherwise. Created when the job runs.
  std::string OutputSubfolder;
  AudioFigures Audio;
  // The source's other fields and its pictures, which the output carries as well.
  CarriedTags Carried;
  // The part of the input that this job encodes (a track of a CUE sheet's image); the
  // whole file when empty.
  std::optional<SampleRange> Range;
};

enum class TagField { Title, Artist, Album, Comment, Date, TrackNumber };

}  // namespace lumio
