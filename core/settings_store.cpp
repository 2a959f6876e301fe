#include "core/settings_store.h"

#include <limits>
#include <optional>
#include <utility>

#include "platform/file_contents.h"

namespace lumio {

namespace {

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

// Drops bytes 0 to 32 (blanks and control characters) at both ends.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlankByte(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankByte(text.back())) text.remove_suffix(1);
  return text;
}

// Splits at CR LF, lone LF and lone CR; text after a NUL byte is ignored.
std::vector<std::string_view> SplitLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] != '\r' && text[pos] != '\n') continue;
    lines.push_back(text.substr(start, pos - start));
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
    start = pos + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Whether two names are equal with single-byte letters compared without regard to
// case; double-byte characters (whose trail byte may look like a letter) must match
// exactly.
bool SameName(std::string_view a, std::string_view b, CodePage codePage) {
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t lengthA = CharacterLength(a, i, codePage);
    const std::size_t lengthB = CharacterLength(b, j, codePage);
    if (lengthA != lengthB) return false;
    if (lengthA == 1) {
      if (upper(a[i]) != upper(b[j])) return false;
    } else if (a.substr(i, lengthA) != b.substr(j, lengthB)) {
      return false;
    }
    i += lengthA;
    j += lengthB;
  }
  return i == a.size() && j == b.size();
}

// The key of an entry line (text before the first '='); nullopt for a line without '='.
std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return line.substr(0, equals);
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "$" followed by hex digits. A value of up to 32 bits is taken as the bit pattern of a
// signed 32-bit integer ($FFFFFFFF is -1, as in the classic reading); wider values fail.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::int64_t{std::numeric_limits<std::int32_t>::max()};
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<std::int32_t> ParseInteger(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.replace(0, 2, "$");
  }
  if (!text.empty() && text.front() == '$') return ParseHex(std::string_view(text).substr(1));
  return ParseDecimal(text);
}

}  // namespace

SettingsStore::SettingsStore(std::string fileName)
    : SettingsStore(std::move(fileName), SystemCodePage()) {}

SettingsStore::SettingsStore(std::string fileName, CodePage codePage)
    : fileName_(std::move(fileName)), codePage_(codePage) {
  Load();
}

void SettingsStore::Load() {
  const FileContents contents = ReadWholeFile(fileName_);
  if (contents.outcome != ReadOutcome::Read) {
    loadFailed_ = contents.outcome == ReadOutcome::Unreadable;
    if (loadFailed_) keptAsideName_ = FreeMoveAsideName(UnreadableBaseName());
    return;
  }
  for (std::string_view rawLine : SplitLines(contents.bytes)) {
    const std::string_view line = Trimmed(rawLine);
    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections_.push_back(Section{std::string(Trimmed(line.substr(1, line.size() - 2))), {}});
      continue;
    }
    if (sections_.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      sections_.back().lines.emplace_back(line);
    } else {
      std::string entry(Trimmed(line.substr(0, equals)));
      entry += '=';
      entry += Trimmed(line.substr(equals + 1));
      sections_.back().lines.push_back(std::move(entry));
    }
  }
}

std::string SettingsStore::UnreadableBaseName() const { return fileName_ + ".unreadable"; }

std::string SettingsStore::LoadFailureMessage() const {
  if (!loadFailed_) return {};
  return "設定ファイル " + fileName_ +
         " を読み込めません。\n既定の設定で続けます。元のファイルは保存時に " + keptAsideName_ +
         " として残します。";
}

const SettingsStore::Section* SettingsStore::FindSection(std::string_view name) const {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (SameName(it->name, name, codePage_)) return &*it;
  }
  return nullptr;
}

SettingsStore::Section* SettingsStore::FindSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::string(defaultValue);
  for (auto it = found->lines.rbegin(); it != found->lines.rend(); ++it) {
    const auto lineKey = KeyOf(*it);
    if (lineKey && SameName(*lineKey, key, codePage_)) return it->substr(lineKey->size() + 1);
  }
  return std::string(defaultValue);
}

std::int32_t SettingsStore::ReadInteger(std::string_view section, std::string_view key,
                                        std::int32_t defaultValue) const {
  return ParseInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool SettingsStore::ReadBool(std::string_view section, std::string_view key,
                             bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsStore::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
  // A line break or NUL would end the entry early in the file, and the rest would stay
  // behind as a stray line; such a value (a folder named with a line feed) is not kept.
  if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return;
  Section* found = FindSection(section);
  if (found == nullptr) {
    sections_.push_back(Section{std::string(section), {}});
    found = &sections_.back();
  }
  std::string line(key);
  line += '=';
  line += value;
  for (auto it = found->lines.rbegin(); it != found->lines.rend(); ++it) {
    const auto lineKey = KeyOf(*it);
    if (lineKey && SameName(*lineKey, key, codePage_)) {
      *it = std::move(line);
      return;
    }
  }
  found->lines.push_back(std::move(line));
}

void SettingsStore::WriteInteger(std::string_view section, std::string_view key,
                                 std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void SettingsStore::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

SaveResult SettingsStore::UpdateFile() {
  std::string text;
  for (const Section& section : sections_) {
    text += "[" + section.name + "]\r\n";
    for (const std::string& line : section.lines) text += line + "\r\n";
    text += "\r\n";
  }
  const std::string moveAsideTo = loadFailed_ ? UnreadableBaseName() : std::string();
  if (!ReplaceFileAtomically(fileName_, text, moveAsideTo)) {
    return SaveResult{false, "ファイル " + fileName_ + " を作成できません"};
  }
  loadFailed_ = false;
  return SaveResult{};
}

}  // namespace lumio
