#include "platform/code_page.h"

#include <langinfo.h>

#include <algorithm>
#include <string>

namespace lumio {

namespace {

bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Bytes that can follow a lead byte inside a double-byte character. A lead byte before
// anything else (a quote, a blank, a '/', the end) stands alone, so that a stray lead byte
// in a file name never swallows the separator or quote after it.
bool IsShiftJisTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

bool IsUtf8ContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes a UTF-8 sequence announces by its lead byte; 1 for ASCII and for bytes that
// cannot start a sequence.
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

std::size_t Utf8CharacterLength(std::string_view text, std::size_t pos) {
  const std::size_t wanted = Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
  // A truncated or broken sequence counts as one byte, so that a separator or other
  // ASCII byte after a stray lead byte is never swallowed.
  if (pos + wanted > text.size()) return 1;
  for (std::size_t i = 1; i < wanted; ++i) {
    if (!IsUtf8ContinuationByte(static_cast<unsigned char>(text[pos + i]))) return 1;
  }
  return wanted;
}

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

CodePage SystemCodePage() {
  const std::string codeset = nl_langinfo(CODESET);
  std::string upper;
  for (char c : codeset) {
    upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  if (upper == "SHIFT_JIS" || upper == "SHIFT-JIS" || upper == "SJIS" || upper == "CP932") {
    return CodePage::ShiftJis;
  }
  return CodePage::Utf8;
}

std::size_t CharacterLength(std::string_view text, std::size_t pos, CodePage codePage) {
  if (pos >= text.size()) return 1;
  if (codePage == CodePage::ShiftJis) {
    const bool pair = IsShiftJisLeadByte(static_cast<unsigned char>(text[pos])) &&
                      pos + 1 < text.size() &&
                      IsShiftJisTrailByte(static_cast<unsigned char>(text[pos + 1]));
    return pair ? 2 : 1;
  }
  return Utf8CharacterLength(text, pos);
}

std::size_t FindCharacter(std::string_view text, char c, CodePage codePage, std::size_t from) {
  // In UTF-8 an ASCII byte is always a character of its own, never part of a sequence.
  if (codePage == CodePage::Utf8 && IsAscii(c)) {
    return from >= text.size() ? std::string_view::npos : text.find(c, from);
  }
  for (std::size_t pos = from; pos < text.size(); pos += CharacterLength(text, pos, codePage)) {
    if (text[pos] == c && CharacterLength(text, pos, codePage) == 1) return pos;
  }
  return std::string_view::npos;
}

std::size_t FindLastCharacter(std::string_view text, std::string_view anyOf, CodePage codePage) {
  if (codePage == CodePage::Utf8 && std::all_of(anyOf.begin(), anyOf.end(), IsAscii)) {
    return text.find_last_of(anyOf);
  }
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < text.size(); pos += CharacterLength(text, pos, codePage)) {
    if (CharacterLength(text, pos, codePage) == 1 && anyOf.find(text[pos]) != anyOf.npos) {
      found = pos;
    }
  }
  return found;
}

}  // namespace lumio
