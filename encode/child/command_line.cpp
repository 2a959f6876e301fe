#include "encode/child/command_line.h"

#include <algorithm>

#include "core/audio_kind.h"
#include "core/settings_schema.h"
#include "encode/child/opusenc_options.h"
#include "platform/program_location.h"

namespace lumio {

namespace {

// The kbps text of a bit-rate item, or empty for "no setting" and out-of-range items.
std::string BitrateText(std::int32_t index) {
  if (index < 1 || index > static_cast<std::int32_t>(BitrateTable.size())) return {};
  return std::to_string(BitrateTable[static_cast<std::size_t>(index - 1)]);
}

// Whether `byte`, standing alone before a quote, would pair with a backslash written
// after it into one double-byte character.
bool TakesBackslashAsTrail(char byte, CodePage codePage) {
  const char pair[] = {byte, '\\'};
  return CharacterLength(std::string_view(pair, 2), 0, codePage) == 2;
}

void AppendQuoted(std::string& line, std::string_view prefix, std::string_view text,
                  CodePage codePage) {
  line += ' ';
  line += prefix;
  line += '"';
  line += EscapeQuotes(text, codePage);
  line += '"';
}

// The comment with each CR LF line break (as the records keep them) turned into a line
// feed alone: the Vorbis comment takes the text as it is, and a CR there would stay at
// the end of every line.
std::string WithLineFeeds(std::string_view comment) {
  std::string text;
  text.reserve(comment.size());
  for (std::size_t pos = 0; pos < comment.size(); ++pos) {
    if (comment[pos] == '\r' && pos + 1 < comment.size() && comment[pos + 1] == '\n') continue;
    text += comment[pos];
  }
  return text;
}

// One non-empty tag as the encoder takes it: its option, the text after the option, and
// the comment field the encoder makes of it.
struct TagArgument {
  std::string_view option;      // oggenc's, joined to the text
  std::string_view longOption;  // opusenc's, an argument of its own before the text
  std::string text;
  CommentField field;
};

// The job's non-empty tags in the order of the command line.
std::vector<TagArgument> TagArguments(const std::string& title, const std::string& artist,
                                      const std::string& album, const std::string& date,
                                      const std::string& trackNumber, const std::string& comment) {
  std::vector<TagArgument> tags;
  const auto add = [&tags](std::string_view option, std::string_view longOption,
                           std::string_view name, std::string value,
                           std::string_view textPrefix = {}) {
    if (value.empty()) return;
    tags.push_back(
        {option, longOption, std::string(textPrefix) + value, {std::string(name), value}});
  };
  add("-t", "--title", "title", title);
  add("-a", "--artist", "artist", artist);
  add("-l", "--album", "album", album);
  add("-d", "--date", "date", date);
  add("-N", "--tracknumber", "tracknumber", trackNumber);
  if (!comment.empty()) add("-c", "--comment", "comment", WithLineFeeds(comment), "comment=");
  return tags;
}

bool FitsOneArgument(const TagArgument& tag) {
  return tag.option.size() + tag.text.size() <= kLongestTagArgument;
}

// The encoder copies a FLAC file's own comments into its output; the tags given take
// their place, so that no tag is written twice.
bool DiscardsSourceComments(const std::string& inputPath, CodePage codePage) {
  return AudioKindOf(inputPath, {NativePathRules().style, codePage}) == AudioKind::Flac;
}

}  // namespace

std::string ResolveEncoderPath(const SettingsStore& settings, const std::string& programFolder,
                               const PathRules& rules) {
  // The stored place is oggenc's; opusenc is always looked for.
  const bool opus = ReadOutputFormat(settings) == OutputFormat::Opus;
  EncoderLocation location = ReadEncoderLocation(settings);
  if (location.setEncoderPlace && !opus) return std::move(location.encoderPlace);
  const std::string folder = WithTrailingSeparator(programFolder, rules);
  const std::string name = opus ? "opusenc" : "oggenc";
  if (rules.style == PathStyle::Windows) return folder + name + ".exe";

  std::string found = FindHelperProgram(folder, name);
  return found.empty() ? folder + name : found;
}

std::string BuildOptionText(const SettingsStore& settings) {
  if (ReadOutputFormat(settings) == OutputFormat::Opus) return OpusOptionText(settings);
  const EncodeOptions options = ReadEncodeOptions(settings, EncodeOptionsReader::Encoder);
  std::string text;
  if (options.mode == EncodeOptionMode::Bitrates) {
    struct Option {
      std::int32_t item;
      std::string_view prefix;
    };
    const Option bitrates[] = {{options.maximumBitrate, " -M "},
                               {options.nominalBitrate, " -b "},
                               {options.minimumBitrate, " -m "}};
    for (const Option& option : bitrates) {
      const std::string kbps = BitrateText(option.item);
      if (!kbps.empty()) {
        text += option.prefix;
        text += kbps;
      }
    }
  } else if (options.mode == EncodeOptionMode::Quality) {
    const std::int32_t quality = options.quality;
    if (quality >= 0 && quality <= 100) {
      text = " -q " + std::to_string(quality / 10) + "." + std::to_string(quality % 10);
    }
  }
  return text;
}

std::string EscapeQuotes(std::string_view text, CodePage codePage) {
  std::string result;
  result.reserve(text.size() + 8);
  std::size_t pendingBackslashes = 0;  // the run of backslashes just copied
  bool afterSingleByte = false;        // the character just copied is one byte long
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharacterLength(text, pos, codePage);
    if (length == 1 && text[pos] == '\\') {
      ++pendingBackslashes;
    } else if (length == 1 && text[pos] == '"') {
      if (afterSingleByte && TakesBackslashAsTrail(text[pos - 1], codePage)) {
        // A backslash here would become the second byte of the stray lead byte before it
        // and leave the quote unescaped; inside quotes a doubled quote is a literal one.
        result += '"';
      } else {
        // Doubling the run keeps its backslashes literal in front of the escaped quote.
        result.append(pendingBackslashes + 1, '\\');
      }
      pendingBackslashes = 0;
    } else {
      pendingBackslashes = 0;
    }
    result.append(text.substr(pos, length));
    afterSingleByte = length == 1;
    pos += length;
  }
  // The closing quote follows the text, so a trailing run must not escape it.
  result.append(pendingBackslashes, '\\');
  return result;
}

std::string BuildCommandLine(const std::string& encoderPath, const std::string& optionText,
                             const std::string& title, const std::string& artist,
                             const std::string& album, const std::string& date,
                             const std::string& trackNumber, const std::string& comment,
                             const std::string& outputFileName, const std::string& inputPath,
                             CodePage codePage) {
  // The program path is cut by other rules (no escapes), so it is quoted as it is.
  std::string line = "\"" + encoderPath + "\"" + optionText;
  if (DiscardsSourceComments(inputPath, codePage)) line += " --discard-comments";
  for (const TagArgument& tag : TagArguments(title, artist, album, date, trackNumber, comment)) {
    AppendQuoted(line, tag.option, tag.text, codePage);
  }
  AppendQuoted(line, "-o", outputFileName, codePage);
  AppendQuoted(line, "", inputPath, codePage);
  return line;
}

std::vector<std::string> BuildEncoderArguments(
    const std::string& encoderPath, const std::string& optionText, const std::string& title,
    const std::string& artist, const std::string& album, const std::string& date,
    const std::string& trackNumber, const std::string& comment, const std::string& outputFileName,
    const std::string& inputPath, CodePage codePage, OutputFormat format) {
  std::vector<std::string> arguments{encoderPath};
  // The option text is options and numbers between single spaces, none of them quoted.
  for (std::size_t start = 0; start < optionText.size();) {
    const std::size_t end = std::min(optionText.find(' ', start), optionText.size());
    if (end > start) arguments.push_back(optionText.substr(start, end - start));
    start = end + 1;
  }
  const std::vector<TagArgument> tags =
      TagArguments(title, artist, album, date, trackNumber, comment);
  if (format == OutputFormat::Opus) {
    // opusenc copies the comments and pictures of every source it reads itself; the
    // tags given, and those the finishing carries, take their place.
    arguments.insert(arguments.end(), {"--discard-comments", "--discard-pictures"});
    for (const TagArgument& tag : tags) {
      if (!FitsOneArgument(tag)) continue;
      arguments.emplace_back(tag.longOption);
      arguments.push_back(tag.text);
    }
    arguments.push_back(inputPath);
    arguments.push_back(outputFileName);
    return arguments;
  }
  if (DiscardsSourceComments(inputPath, codePage)) arguments.push_back("--discard-comments");
  for (const TagArgument& tag : tags) {
    if (FitsOneArgument(tag)) arguments.push_back(std::string(tag.option) + tag.text);
  }
  arguments.push_back("-o" + outputFileName);
  arguments.push_back(inputPath);
  return arguments;
}

std::vector<CommentField> TagsTooLongForArguments(const std::string& title,
                                                  const std::string& artist,
                                                  const std::string& album, const std::string& date,
                                                  const std::string& trackNumber,
                                                  const std::string& comment) {
  std::vector<CommentField> fields;
  for (TagArgument& tag : TagArguments(title, artist, album, date, trackNumber, comment)) {
    if (!FitsOneArgument(tag)) fields.push_back(std::move(tag.field));
  }
  return fields;
}

}  // namespace lumio
