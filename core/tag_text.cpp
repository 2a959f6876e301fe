#include "core/tag_text.h"

#include "platform/text_encoding.h"

namespace lumio {

std::string Utf8(const TagLib::String& text) {
  std::string bytes = text.to8Bit(true);
  return IsValidUtf8(bytes) ? bytes : ToValidUtf8(bytes);
}

std::string WithRecordLineEnds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      result += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      result += "\r\n";
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace lumio
