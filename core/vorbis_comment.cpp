#include "core/vorbis_comment.h"

#include "core/byte_order.h"
#include "platform/text_encoding.h"

namespace lumio {

namespace {

// Steps through bytes of a comment or picture block; a read past the end fails and
// leaves the reader at the end.
class BlockReader {
 public:
  explicit BlockReader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<std::uint32_t> Number(bool bigEndian) {
    if (bytes_.size() < 4) return std::nullopt;
    const auto* raw = reinterpret_cast<const unsigned char*>(bytes_.data());
    bytes_.remove_prefix(4);
    return bigEndian ? Be32(raw) : Le32(raw);
  }

  std::optional<std::string_view> Text(std::uint32_t size) {
    if (bytes_.size() < size) return std::nullopt;
    const std::string_view text = bytes_.substr(0, size);
    bytes_.remove_prefix(size);
    return text;
  }

  std::optional<std::string_view> SizedText(bool bigEndian) {
    const std::optional<std::uint32_t> size = Number(bigEndian);
    return size ? Text(*size) : std::nullopt;
  }

 private:
  std::string_view bytes_;
};

void AppendLe32(std::string& out, std::size_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

VorbisComment ParseVorbisComment(std::string_view body, FieldNames names) {
  VorbisComment comment;
  BlockReader reader(body);
  const std::optional<std::string_view> vendor = reader.SizedText(false);
  if (!vendor) return comment;
  comment.Vendor = Utf8OrCp932ToUtf8(*vendor);
  const std::optional<std::uint32_t> count = reader.Number(false);
  for (std::uint32_t i = 0; count && i < *count; ++i) {
    const std::optional<std::string_view> entry = reader.SizedText(false);
    if (!entry) break;
    const std::size_t equals = entry->find('=');
    if (equals == std::string_view::npos || equals == 0) continue;
    std::string name = Utf8OrCp932ToUtf8(entry->substr(0, equals));
    if (names == FieldNames::Upper) name = UpperAscii(name);
    comment.Fields.push_back({std::move(name), Utf8OrCp932ToUtf8(entry->substr(equals + 1))});
  }
  return comment;
}

std::string RenderVorbisComment(const VorbisComment& comment) {
  // Reserved at once: a field may hold a picture of megabytes.
  std::size_t size = 8 + comment.Vendor.size();
  for (const CarriedField& field : comment.Fields)
    size += 5 + field.Name.size() + field.Value.size();
  std::string body;
  body.reserve(size + 1);  // and the caller's framing bit
  AppendLe32(body, comment.Vendor.size());
  body += comment.Vendor;
  AppendLe32(body, comment.Fields.size());
  for (const CarriedField& field : comment.Fields) {
    AppendLe32(body, field.Name.size() + 1 + field.Value.size());
    body += field.Name;
    body += '=';
    body += field.Value;
  }
  return body;
}

bool IsValidFieldName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (c < 0x20 || c > 0x7D || c == '=') return false;
  }
  return true;
}

std::optional<PictureHead> ParsePictureHead(std::string_view bytes) {
  BlockReader reader(bytes);
  PictureHead head;
  const std::optional<std::uint32_t> type = reader.Number(true);
  const std::optional<std::string_view> mime = reader.SizedText(true);
  const std::optional<std::string_view> description = reader.SizedText(true);
  const std::optional<std::uint32_t> width = reader.Number(true);
  const std::optional<std::uint32_t> height = reader.Number(true);
  const std::optional<std::uint32_t> depth = reader.Number(true);
  const std::optional<std::uint32_t> colors = reader.Number(true);
  const std::optional<std::uint32_t> dataSize = reader.Number(true);
  if (!type || !mime || !description || !width || !height || !depth || !colors || !dataSize) {
    return std::nullopt;
  }
  head.type = static_cast<std::int32_t>(*type);
  head.mime = ToValidUtf8(*mime);
  head.description = Utf8OrCp932ToUtf8(*description);
  head.width = *width;
  head.height = *height;
  head.dataSize = *dataSize;
  return head;
}

}  // namespace lumio
