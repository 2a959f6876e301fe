#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace lumio {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // the range of the second byte, narrowed for some leads
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (pos + length > text.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// An iconv conversion descriptor, closed when done.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (IsOpen()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Handle() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string ToValidUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, pos);
    if (length == 0) {
      result += kReplacement;
      ++pos;
    } else {
      result.append(text.substr(pos, length));
      pos += length;
    }
  }
  return result;
}

std::string Utf8OrCp932ToUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  const Converter converter("UTF-8", "CP932");
  if (!converter.IsOpen()) return ToValidUtf8(text);
  std::string result;
  char buffer[256];
  char* in = const_cast<char*>(text.data());  // iconv's signature; it never writes there
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = iconv(converter.Handle(), &in, &inLeft, &out, &outLeft);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A byte that starts no CP932 character (or a lead byte cut off by the end).
      result += kReplacement;
      ++in;
      --inLeft;
    }
  }
  // CP932 converts to valid UTF-8 only, but a converter that kept a stray byte must not
  // pass it on.
  return ToValidUtf8(result);
}

}  // namespace lumio
