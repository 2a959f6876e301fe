#include "encode/command_line.h"

#include "core/audio_kind.h"
#include "core/settings_schema.h"
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

void AppendTag(std::string& line, std::string_view option, std::string_view text,
               CodePage codePage) {
  if (!text.empty()) AppendQuoted(line, option, text, codePage);
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

}  // namespace

std::string ResolveEncoderPath(const SettingsStore& settings, const std::string& programFolder,
                               const PathRules& rules) {
  EncoderLocation location = ReadEncoderLocation(settings);
  if (location.setEncoderPlace) return std::move(location.encoderPlace);
  const std::string folder = WithTrailingSeparator(programFolder, rules);
  if (rules.style == PathStyle::Windows) return folder + "oggenc.exe";

  std::string found = FindHelperProgram(folder, "oggenc");
  return found.empty() ? folder + "oggenc" : found;
}

std::string BuildOptionText(const SettingsStore& settings) {
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
  // The encoder copies a FLAC file's own comments into its output; the tags given
  // below take their place, so that no tag is written twice.
  if (AudioKindOf(inputPath, {NativePathRules().style, codePage}) == AudioKind::Flac) {
    line += " --discard-comments";
  }
  AppendTag(line, "-t", title, codePage);
  AppendTag(line, "-a", artist, codePage);
  AppendTag(line, "-l", album, codePage);
  AppendTag(line, "-d", date, codePage);
  AppendTag(line, "-N", trackNumber, codePage);
  if (!comment.empty()) AppendQuoted(line, "-c", "comment=" + WithLineFeeds(comment), codePage);
  AppendQuoted(line, "-o", outputFileName, codePage);
  AppendQuoted(line, "", inputPath, codePage);
  return line;
}

}  // namespace lumio
