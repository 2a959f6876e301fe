#include "core/cue_sheet.h"

#include "platform/ascii_case.h"
#include "platform/text_encoding.h"

namespace lumio {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Takes the next blank-separated word off the front of `rest`.
std::string_view NextWord(std::string_view& rest) {
  rest = TrimBlanks(rest);
  std::size_t end = 0;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

// A value: the text between double quotes (to the end of the line when the closing
// quote is missing), else the rest of the line as it stands.
std::string_view ValueOf(std::string_view rest, std::string_view* after = nullptr) {
  rest = TrimBlanks(rest);
  if (rest.empty() || rest.front() != '"') {
    if (after != nullptr) *after = {};
    return rest;
  }
  rest.remove_prefix(1);
  const std::size_t close = rest.find('"');
  if (after != nullptr) *after = close == std::string_view::npos ? "" : rest.substr(close + 1);
  return rest.substr(0, close);
}

std::optional<std::uint64_t> Digits(std::string_view text, std::size_t most) {
  if (text.empty() || text.size() > most) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

// FILE "name" TYPE, or FILE name with blanks TYPE: unquoted, the last word is the type.
std::optional<CueFile> ParseFileLine(std::string_view rest) {
  rest = TrimBlanks(rest);
  CueFile file;
  if (!rest.empty() && rest.front() == '"') {
    std::string_view after;
    file.name = ValueOf(rest, &after);
    file.type = NextWord(after);
  } else {
    const std::size_t lastBlank = rest.find_last_of(" \t");
    if (lastBlank == std::string_view::npos) {
      file.name = rest;
    } else {
      file.name = TrimBlanks(rest.substr(0, lastBlank));
      file.type = rest.substr(lastBlank + 1);
    }
  }
  if (file.name.empty()) return std::nullopt;
  return file;
}

class CueReader {
 public:
  // Reads one line; false once reading is to stop. Commands are taken in any letter
  // case: sheets written by hand do not always shout.
  bool Line(std::string_view line) {
    std::string_view rest = line;
    const std::string_view command = NextWord(rest);
    CueFields& fields = sheet_.tracks.empty() ? sheet_.disc : sheet_.tracks.back().fields;
    if (SameIgnoringAsciiCase(command, "file")) {
      if (sheet_.files.size() == kMostCueFiles) return Stop();
      if (std::optional<CueFile> file = ParseFileLine(rest))
        sheet_.files.push_back(std::move(*file));
    } else if (SameIgnoringAsciiCase(command, "track")) {
      if (sheet_.tracks.size() == kMostCueTracks) return Stop();
      Track(rest);
    } else if (SameIgnoringAsciiCase(command, "index")) {
      Index(rest);
    } else if (SameIgnoringAsciiCase(command, "title")) {
      fields.title = ValueOf(rest);
    } else if (SameIgnoringAsciiCase(command, "performer")) {
      fields.performer = ValueOf(rest);
    } else if (SameIgnoringAsciiCase(command, "rem")) {
      const std::string_view name = NextWord(rest);
      if (SameIgnoringAsciiCase(name, "date")) {
        fields.date = ValueOf(rest);
      } else if (SameIgnoringAsciiCase(name, "genre")) {
        fields.genre = ValueOf(rest);
      } else if (SameIgnoringAsciiCase(name, "comment")) {
        fields.comment = ValueOf(rest);
      }
    }
    return true;
  }

  CueSheet Take() { return std::move(sheet_); }

 private:
  bool Stop() {
    sheet_.overLimit = true;
    return false;
  }

  void Track(std::string_view rest) {
    CueTrack track;
    // A number that cannot be read follows the track before, so that the track still
    // gets its own entry.
    const std::optional<std::uint64_t> number = Digits(NextWord(rest), 3);
    track.number = number ? static_cast<int>(*number)
                          : (sheet_.tracks.empty() ? 1 : sheet_.tracks.back().number + 1);
    const std::string_view type = NextWord(rest);
    track.audio = type.empty() || SameIgnoringAsciiCase(type, "audio");
    sheet_.tracks.push_back(std::move(track));
  }

  void Index(std::string_view rest) {
    if (sheet_.tracks.empty() || sheet_.files.empty()) return;
    const std::optional<std::uint64_t> number = Digits(NextWord(rest), 2);
    const std::optional<std::uint64_t> time = ParseCueTime(NextWord(rest));
    CueTrack& track = sheet_.tracks.back();
    // Only the first INDEX 01 of a track counts; INDEX 00 (the pregap) and the others
    // belong to the track before's audio anyway.
    if (number != 1 || !time || track.start) return;
    track.start = time;
    track.file = sheet_.files.size() - 1;
  }

  CueSheet sheet_;
};

}  // namespace

std::optional<std::uint64_t> ParseCueTime(std::string_view text) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::optional<std::uint64_t> minutes = Digits(text.substr(0, first), 4);
  const std::optional<std::uint64_t> seconds =
      Digits(text.substr(first + 1, second - first - 1), 2);
  const std::optional<std::uint64_t> frames = Digits(text.substr(second + 1), 2);
  if (!minutes || !seconds || !frames || *seconds >= 60 || *frames >= 75) return std::nullopt;
  return (*minutes * 60 + *seconds) * 75 + *frames;
}

std::optional<CueSheet> ParseCueSheet(std::string_view bytes) {
  if (bytes.size() > kLargestCueSheet) return std::nullopt;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  const std::string text = Utf8OrCp932ToUtf8(bytes);
  CueReader reader;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\r\n");
    const std::string_view line = rest.substr(0, end);
    if (!reader.Line(line)) break;
    if (end == std::string_view::npos) break;
    // CR LF is one line end; a lone CR or LF is one too.
    const std::size_t next = rest.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    rest.remove_prefix(next);
  }
  return reader.Take();
}

}  // namespace lumio
