#include "core/source_tags.h"

#include <taglib/aifffile.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <initializer_list>
#include <optional>

#include "core/aiff_reader.h"
#include "core/chunk_walk.h"
#include "core/flac_reader.h"
#include "core/property_map_tags.h"
#include "platform/text_encoding.h"

namespace lumio {

namespace {

// INFO chunk text declares no encoding: it is decoded from its original bytes by the
// UTF-8-or-CP932 rule, where TagLib would take every chunk as UTF-8.
class RawInfoText : public TagLib::RIFF::Info::StringHandler {
 public:
  TagLib::String parse(const TagLib::ByteVector& data) const override {
    // Writers end each text with a NUL, and some pad it with more.
    std::string_view text(data.data(), data.size());
    text = text.substr(0, text.find('\0'));
    return TagLib::String(Utf8OrCp932ToUtf8(text), TagLib::String::UTF8);
  }
};

void UseRawInfoText() {
  static const RawInfoText handler;
  static const bool installed = [] {
    TagLib::RIFF::Info::Tag::setStringHandler(&handler);
    return true;
  }();
  (void)installed;
}

std::string Utf8(const TagLib::String& text) {
  std::string bytes = text.to8Bit(true);
  return IsValidUtf8(bytes) ? bytes : ToValidUtf8(bytes);
}

// Line feeds and lone carriage returns become CR LF.
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

void FillEmpty(std::string& field, const std::string& text) {
  if (field.empty()) field = text;
}

// The values of the first of `keys` that the comment holds, joined: several values of
// one field (two artists, say) all reach the output.
std::string XiphField(const TagLib::Ogg::FieldListMap& fields,
                      std::initializer_list<const TagLib::String*> keys,
                      const TagLib::String& separator) {
  for (const TagLib::String* key : keys) {
    const auto found = fields.find(*key);
    if (found != fields.end() && !found->second.isEmpty()) {
      return Utf8(found->second.toString(separator));
    }
  }
  return {};
}

void ReadXiph(const TagLib::Ogg::XiphComment& comment, SourceTags& tags) {
  // Made once: every file added looks these up.
  static const TagLib::String title("TITLE"), artist("ARTIST"), album("ALBUM"), date("DATE"),
      track("TRACKNUMBER"), note("COMMENT"), description("DESCRIPTION"), values("; "), lines("\n");
  const TagLib::Ogg::FieldListMap& fields = comment.fieldListMap();
  tags.Title = XiphField(fields, {&title}, values);
  tags.Artist = XiphField(fields, {&artist}, values);
  tags.Album = XiphField(fields, {&album}, values);
  tags.Date = XiphField(fields, {&date}, values);
  tags.TrackNumber = XiphField(fields, {&track}, values);
  tags.Comment = XiphField(fields, {&note, &description}, lines);
}

std::string Id3Frame(const TagLib::ID3v2::Tag& tag, const char* id) {
  const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
  return frames.isEmpty() ? std::string() : Utf8(frames.front()->toString());
}

void ReadId3(const TagLib::ID3v2::Tag& tag, SourceTags& tags) {
  FillEmpty(tags.Title, Utf8(tag.title()));
  FillEmpty(tags.Artist, Utf8(tag.artist()));
  FillEmpty(tags.Album, Utf8(tag.album()));
  // Version 2.3 years are read as 2.4 recording times.
  FillEmpty(tags.Date, Id3Frame(tag, "TDRC"));
  FillEmpty(tags.TrackNumber, Id3Frame(tag, "TRCK"));
  FillEmpty(tags.Comment, Utf8(tag.comment()));
}

void ReadInfo(const TagLib::RIFF::Info::Tag& tag, SourceTags& tags) {
  const auto field = [&](const char* id) { return Utf8(tag.fieldText(id)); };
  FillEmpty(tags.Title, field("INAM"));
  FillEmpty(tags.Artist, field("IART"));
  FillEmpty(tags.Album, field("IPRD"));
  FillEmpty(tags.Date, field("ICRD"));
  FillEmpty(tags.TrackNumber, field("ITRK"));
  FillEmpty(tags.TrackNumber, field("IPRT"));
  FillEmpty(tags.Comment, field("ICMT"));
}

// Chunk and block bodies larger than this hold no tags worth reading (a cover picture,
// or a damaged size) and are passed over.
constexpr std::uint32_t kLargestTagBody = 16 << 20;

std::string ReadBody(ByteSource& source, std::uint64_t position, std::uint32_t size) {
  std::string body(size, '\0');
  body.resize(source.ReadAt(position, body.data(), size));
  return body;
}

TagLib::ByteVector ToByteVector(const std::string& bytes) {
  return TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size()));
}

// The id3 chunk needs TagLib's whole-file reader; only files that have one pay for it.
bool IsId3Chunk(const Chunk& chunk) { return IsChunk(chunk, "id3 ") || IsChunk(chunk, "ID3 "); }

void ReadWaveTags(ByteSource& source, const std::string& path, SourceTags& tags) {
  bool hasId3 = false;
  std::string info;  // empty unless the file has an INFO list
  ForEachChunk(source, ChunkSizeOrder::LittleEndian, [&](const Chunk& chunk) {
    if (IsId3Chunk(chunk)) {
      hasId3 = true;
    } else if (IsChunk(chunk, "LIST") && info.empty() && chunk.size <= kLargestTagBody) {
      std::string list = ReadBody(source, chunk.bodyPosition, chunk.size);
      if (list.starts_with("INFO")) info = std::move(list);
    }
    return true;
  });
  if (hasId3) {
    TagLib::RIFF::WAV::File file(path.c_str(), false);
    if (file.isValid() && file.hasID3v2Tag()) ReadId3(*file.ID3v2Tag(), tags);
  }
  if (!info.empty()) {
    UseRawInfoText();
    ReadInfo(TagLib::RIFF::Info::Tag(ToByteVector(info)), tags);
  }
}

// The ID3 chunk, then NAME, AUTH and ANNO, the AIFF file's own text chunks; several ANNO
// chunks are joined as lines.
void ReadAiffTags(ByteSource& source, const std::string& path, SourceTags& tags) {
  if (ReadAiffForm(source) == AiffForm::NotAiff) return;
  bool hasId3 = false;
  std::string name, author, annotation;
  ForEachChunk(source, ChunkSizeOrder::BigEndian, [&](const Chunk& chunk) {
    hasId3 = hasId3 || IsId3Chunk(chunk);
    std::string* target = IsChunk(chunk, "NAME")   ? &name
                          : IsChunk(chunk, "AUTH") ? &author
                          : IsChunk(chunk, "ANNO") ? &annotation
                                                   : nullptr;
    if (target == nullptr || chunk.size > kLargestTagBody) return true;
    const std::string body = ReadBody(source, chunk.bodyPosition, chunk.size);
    std::string_view text = body;
    const std::string converted = Utf8OrCp932ToUtf8(text.substr(0, text.find('\0')));
    if (!target->empty() && !converted.empty()) *target += '\n';
    *target += converted;
    return true;
  });
  if (hasId3) {
    TagLib::RIFF::AIFF::File file(path.c_str(), false);
    if (file.isValid() && file.hasID3v2Tag()) ReadId3(*file.tag(), tags);
  }
  FillEmpty(tags.Title, name);
  FillEmpty(tags.Artist, author);
  FillEmpty(tags.Comment, annotation);
}

void ReadFlacTags(ByteSource& source, SourceTags& tags) {
  const std::optional<FlacBlock> block = FindFlacCommentBlock(source);
  if (!block || block->size > kLargestTagBody) return;
  const std::string body = ReadBody(source, block->bodyPosition, block->size);
  ReadXiph(TagLib::Ogg::XiphComment(ToByteVector(body)), tags);
}

SourceTags ReadTags(ByteSource& source, const std::string& path, AudioKind kind) {
  SourceTags tags;
  switch (kind) {
    case AudioKind::Flac:
      ReadFlacTags(source, tags);
      break;
    case AudioKind::Wave:
      ReadWaveTags(source, path, tags);
      break;
    case AudioKind::Aiff:
      ReadAiffTags(source, path, tags);
      break;
    case AudioKind::Decoded:  // read with the file's properties, in ReadDecodedSource
    case AudioKind::Unsupported:
      break;
  }
  tags.Comment = WithRecordLineEnds(tags.Comment);
  return tags;
}

}  // namespace

SourceTags TagsFromPropertyMap(const TagLib::PropertyMap& properties) {
  const auto field = [&](const char* key, const char* separator) {
    const auto found = properties.find(key);
    return found == properties.end() ? std::string() : Utf8(found->second.toString(separator));
  };
  SourceTags tags;
  tags.Title = field("TITLE", "; ");
  tags.Artist = field("ARTIST", "; ");
  tags.Album = field("ALBUM", "; ");
  tags.Date = field("DATE", "; ");
  tags.TrackNumber = field("TRACKNUMBER", "; ");
  tags.Comment = WithRecordLineEnds(field("COMMENT", "\n"));
  return tags;
}

SourceTags ReadSourceTags(ByteSource& source, const std::string& path, AudioKind kind) {
  try {
    return ReadTags(source, path, kind);
  } catch (const std::exception&) {
    return {};  // the header was read already; tags the file hides are no reason to fail
  }
}

}  // namespace lumio
