#include "core/cue_source.h"

#include <optional>
#include <set>

#include "core/audio_kind.h"
#include "core/byte_source.h"
#include "core/cover_image.h"
#include "core/cue_sheet.h"
#include "core/file_data_list.h"
#include "core/info_line.h"
#include "core/tag_pattern.h"
#include "core/wave_reader.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

constexpr std::string_view kTrackNamePattern = "%n %t";

// The sheet's bytes, or why there are none.
std::optional<std::string> ReadSheetBytes(const std::string& path, std::string& failure) {
  try {
    FileByteSource source(path);
    const std::uint64_t length = source.Length();
    if (length > kLargestCueSheet) {
      failure = "CUE シートが大きすぎます";
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    bytes.resize(source.ReadAt(0, bytes.data(), bytes.size()));
    return bytes;
  } catch (const SourceReadError&) {
    failure = "CUE シートを読み込めません";
    return std::nullopt;
  }
}

std::optional<CueSheet> ReadSheet(const std::string& path, std::string& failure) {
  const std::optional<std::string> bytes = ReadSheetBytes(path, failure);
  if (!bytes) return std::nullopt;
  return ParseCueSheet(*bytes);
}

// An image named by the sheet, found from the sheet's folder unless the name is a full
// path.
std::string ImagePath(const std::string& sheetPath, const CueFile& file, const PathRules& rules) {
  if (rules.style == PathStyle::Posix && file.name.front() == '/') return file.name;
  return FolderPart(sheetPath, rules) + file.name;
}

const std::string& TrackOrDisc(const std::string& track, const std::string& disc) {
  return track.empty() ? disc : track;
}

// The part of `image` from frame `first` to `end` (0: to its end) as its own figures,
// so that the entry's information line and playing time are the track's.
AudioFigures TrackFigures(const AudioFigures& image, std::uint64_t first, std::uint64_t end) {
  const std::uint64_t frameBytes = std::uint64_t{image.Channels} * ((image.Bits + 7u) / 8u);
  // The length of a decoded image is known to the millisecond only.
  const bool exactLength = image.SampleFrames > 0;
  const std::uint64_t fileFrames =
      exactLength ? image.SampleFrames
                  : static_cast<std::uint64_t>(image.PlayTime) * image.SampleRate / 1000;
  const std::uint64_t last = end != 0 ? end : fileFrames;
  const std::uint64_t frames = last > first ? last - first : 0;
  AudioFigures figures;
  FillAudioFigures({frames * frameBytes, image.SampleRate * frameBytes, image.SampleRate,
                    image.Bits, image.Channels, frameBytes},
                   figures);
  // Without the image's exact length the output of its last track cannot be checked.
  if (end == 0 && !exactLength) figures.SampleFrames = 0;
  return figures;
}

class SheetSplit {
 public:
  SheetSplit(const std::string& path, const PathRules& rules) : path_(path), rules_(rules) {}

  SourceReading Read() {
    SourceReading result;
    std::optional<CueSheet> sheet = ReadSheet(path_, result.failure);
    if (!sheet) {
      if (result.failure.empty()) result.failure = "CUE シートが大きすぎます";
      return result;
    }
    sheet_ = std::move(*sheet);
    if (std::optional<std::string> failure = Split(result.tracks)) {
      result.tracks.clear();
      result.failure = std::move(*failure);
    }
    return result;
  }

 private:
  // Fills `tracks`; the reason when the sheet cannot be split.
  std::optional<std::string> Split(std::vector<TrackSource>& tracks) {
    if (sheet_.overLimit) {
      return "CUE シートの TRACK か FILE が多すぎます (" + std::to_string(kMostCueTracks) +
             " 個まで)";
    }
    std::vector<const CueTrack*> audio;
    for (const CueTrack& track : sheet_.tracks) {
      if (!track.audio) continue;
      if (!track.start) {
        return "TRACK " + TwoDigitTrackNumber(track.number) + " に INDEX 01 がありません";
      }
      audio.push_back(&track);
    }
    if (audio.empty()) return "CUE シートに TRACK がありません";
    images_.assign(sheet_.files.size(), std::nullopt);
    imageStarted_.assign(sheet_.files.size(), false);
    for (std::size_t i = 0; i < sheet_.tracks.size(); ++i) {
      const CueTrack& track = sheet_.tracks[i];
      if (!track.audio) continue;
      if (std::optional<std::string> failure = ReadImage(track.file)) return failure;
      const AudioFigures& image = images_[track.file]->reading.audio;
      // The first track of an image starts at its beginning: what lies before its
      // INDEX 01 has no earlier track in that image to go to, and would be lost.
      const bool firstInImage = !imageStarted_[track.file];
      imageStarted_[track.file] = true;
      const std::uint64_t indexed = CdFramesToSamples(*track.start, image.SampleRate);
      const std::uint64_t first = firstInImage ? 0 : indexed;
      std::uint64_t end = 0;
      // The next track that starts in the same image ends this one, data track or not.
      for (std::size_t j = i + 1; j < sheet_.tracks.size(); ++j) {
        const CueTrack& next = sheet_.tracks[j];
        if (!next.start) continue;
        if (next.file == track.file) end = CdFramesToSamples(*next.start, image.SampleRate);
        break;
      }
      const std::string number = TwoDigitTrackNumber(track.number);
      if ((end != 0 && end <= indexed) ||
          (image.SampleFrames > 0 && indexed >= image.SampleFrames)) {
        return "TRACK " + number + " の位置がファイルの中にありません";
      }
      tracks.push_back({images_[track.file]->path, Entry(track, image, first, end)});
    }
    return std::nullopt;
  }

  // Reads image `file` once; the reason when it cannot be.
  std::optional<std::string> ReadImage(std::size_t file) {
    if (images_[file]) return std::nullopt;
    const CueFile& named = sheet_.files[file];
    const std::string path = ImagePath(path_, named, rules_);
    const AudioKind kind = AudioKindOf(path, rules_);
    if (!FileExists(path)) return "CUE シートの音声ファイルがありません: " + named.name;
    if (kind == AudioKind::Unsupported || kind == AudioKind::CueSheet) {
      return "CUE シートの音声ファイルは読めない形式です: " + named.name;
    }
    // An image is never split again by a sheet of its own.
    SourceReading reading = ReadSource(path, rules_, false);
    if (!reading.readable || reading.audio.SampleRate == 0 || reading.audio.Channels == 0) {
      return "CUE シートの音声ファイルを読み込めません: " + named.name;
    }
    images_[file] = TrackSource{path, std::move(reading)};
    return std::nullopt;
  }

  SourceReading Entry(const CueTrack& track, const AudioFigures& image, std::uint64_t first,
                      std::uint64_t end) const {
    return TrackEntry(images_[track.file]->path, image,
                      TrackPlan{track.number, first, end, CueTrackTags(sheet_, track)}, path_,
                      rules_);
  }

  const std::string& path_;
  const PathRules& rules_;
  CueSheet sheet_;
  // Each image read once, however many tracks it holds.
  std::vector<std::optional<TrackSource>> images_;
  std::vector<bool> imageStarted_;
};

}  // namespace

std::string TwoDigitTrackNumber(int number) {
  std::string text = std::to_string(number);
  if (text.size() < 2) text.insert(0, 1, '0');
  return text;
}

SourceTags CueTrackTags(const CueSheet& sheet, const CueTrack& track) {
  const CueFields& disc = sheet.disc;
  SourceTags tags;
  tags.Title = track.fields.title;
  tags.Artist = TrackOrDisc(track.fields.performer, disc.performer);
  tags.Album = disc.title;
  tags.Date = TrackOrDisc(track.fields.date, disc.date);
  tags.Comment = TrackOrDisc(track.fields.comment, disc.comment);
  const std::string& genre = TrackOrDisc(track.fields.genre, disc.genre);
  if (!genre.empty()) tags.Carried.Fields.push_back({"GENRE", genre});
  return tags;
}

SourceReading TrackEntry(const std::string& imagePath, const AudioFigures& image,
                         const TrackPlan& plan, const std::string& namePath,
                         const PathRules& rules) {
  const std::string number = TwoDigitTrackNumber(plan.number);
  SourceReading entry;
  entry.readable = true;
  entry.range = SampleRange{plan.first, plan.end, image.SampleFrames};
  entry.audio = TrackFigures(image, plan.first, plan.end);
  entry.tags = plan.tags;
  entry.tags.TrackNumber = number;
  AddFolderCoverWhenNone(imagePath, entry.tags.Carried);
  FileData named;
  named.Title = entry.tags.Title;
  named.TrackNumber = number;
  entry.outputFileName = OutputNameFromTags(
      kTrackNamePattern, named, FileNameWithoutExtension(namePath, rules), rules.codePage);
  return entry;
}

SourceReading ReadCueSource(const std::string& path, const PathRules& rules) {
  return SheetSplit(path, rules).Read();
}

std::vector<std::string> CueImagePaths(const std::string& path, const PathRules& rules) {
  std::string failure;
  const std::optional<CueSheet> sheet = ReadSheet(path, failure);
  if (!sheet) return {};
  std::set<std::size_t> files;
  for (const CueTrack& track : sheet->tracks) {
    if (track.audio && track.start) files.insert(track.file);
  }
  std::vector<std::string> paths;
  for (const std::size_t file : files) paths.push_back(ImagePath(path, sheet->files[file], rules));
  return paths;
}

}  // namespace lumio
