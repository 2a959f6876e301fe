#include "core/source_tags.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <optional>

#include "core/aiff_reader.h"
#include "core/chunk_walk.h"
#include "core/cover_image.h"
#include "core/flac_reader.h"
#include "core/image_file.h"
#include "core/property_map_tags.h"
#include "core/tag_byte_stream.h"
#include "core/tag_text.h"
#include "core/vorbis_comment.h"
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

void FillEmpty(std::string& field, const std::string& text) {
  if (field.empty()) field = text;
}

// The values of the field `name`, joined: several values of one field (two artists,
// say) all reach the output.
std::string JoinedField(const std::vector<CarriedField>& fields, std::string_view name,
                        std::string_view separator) {
  std::string joined;
  bool first = true;
  for (const CarriedField& field : fields) {
    if (field.Name != name) continue;
    if (!first) joined += separator;
    joined += field.Value;
    first = false;
  }
  return joined;
}

void ReadFlacComment(std::string_view body, SourceTags& tags) {
  const VorbisComment comment = ParseVorbisComment(body, FieldNames::Upper);
  const std::vector<CarriedField>& fields = comment.Fields;
  tags.Title = JoinedField(fields, "TITLE", "; ");
  tags.Artist = JoinedField(fields, "ARTIST", "; ");
  tags.Album = JoinedField(fields, "ALBUM", "; ");
  tags.Date = JoinedField(fields, "DATE", "; ");
  tags.TrackNumber = JoinedField(fields, "TRACKNUMBER", "; ");
  tags.Comment = JoinedField(fields, "COMMENT", "\n");
  if (tags.Comment.empty()) tags.Comment = JoinedField(fields, "DESCRIPTION", "\n");
  for (const CarriedField& field : fields) {
    if (!IsEditedFieldName(field.Name)) {
      tags.Carried.Fields.push_back(field);
    } else if (std::count_if(fields.begin(), fields.end(), [&](const CarriedField& other) {
                 return other.Name == field.Name;
               }) > 1) {
      tags.Carried.SeveralValues.push_back(field);
    }
  }
}

// TagLib names each ID3v2 frame's fields only inside its whole-tag map, which is sorted
// by name; the frame's own mapping keeps the tag's order. It is protected, so it is
// reached through a pointer to the member, which a derived class may take.
struct FrameFields : TagLib::ID3v2::Frame {
  static TagLib::PropertyMap Of(const TagLib::ID3v2::Frame& frame) {
    constexpr auto fields = &FrameFields::asProperties;
    return (frame.*fields)();
  }
};

void ReadId3Carried(const TagLib::ID3v2::Tag& tag, CarriedTags& carried) {
  std::int32_t pictures = 0;
  for (const TagLib::ID3v2::Frame* frame : tag.frameList()) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (picture == nullptr) {
      AddProperties(FrameFields::Of(*frame), carried);
      continue;
    }
    CarriedPicture carriedPicture;
    carriedPicture.Type = static_cast<std::int32_t>(picture->type());
    carriedPicture.Mime = Utf8(picture->mimeType());
    carriedPicture.Description = Utf8(picture->description());
    carriedPicture.Size = picture->picture().size();
    carriedPicture.SourceIndex = pictures++;
    carried.Pictures.push_back(std::move(carriedPicture));
  }
}

// Fields of a tag read after the ID3v2 tag, for names the ID3v2 tag lacks.
void AddMissingProperties(const TagLib::PropertyMap& properties, CarriedTags& carried) {
  CarriedTags more;
  AddProperties(properties, more);
  for (CarriedField& field : more.Fields) {
    const bool known = std::any_of(carried.Fields.begin(), carried.Fields.end(),
                                   [&](const CarriedField& had) { return had.Name == field.Name; });
    if (!known) carried.Fields.push_back(std::move(field));
  }
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
  ReadId3Carried(tag, tags.Carried);
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
  AddMissingProperties(tag.properties(), tags.Carried);
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

// The id3 chunk needs TagLib's file reader, which sees only the chunks walked here; only
// files that have one pay for it.
bool IsId3Chunk(const Chunk& chunk) { return IsChunk(chunk, "id3 ") || IsChunk(chunk, "ID3 "); }

// Whether `chunk` is an id3 chunk. TagLib reads no more than 16 MB of it (TagByteStream):
// frames past that, a large picture say, are lost, and an id3 chunk that long is listed.
bool IsId3ChunkNotingLength(const Chunk& chunk, CarriedTags& carried) {
  if (!IsId3Chunk(chunk)) return false;
  if (chunk.size > kLargestTagBody) {
    carried.PicturesLeftOut.push_back(
        LeftOutPictureText("ID3 タグの 16 MB より後ろ", "読み込む上限を超えています"));
  }
  return true;
}

void ReadWaveTags(ByteSource& source, const std::string& path, SourceTags& tags) {
  bool hasId3 = false;
  std::string info;  // empty unless the file has an INFO list
  const auto walked = ForEachChunk(source, ChunkSizeOrder::LittleEndian, [&](const Chunk& chunk) {
    if (IsId3ChunkNotingLength(chunk, tags.Carried)) {
      hasId3 = true;
    } else if (IsChunk(chunk, "LIST") && info.empty() && chunk.size <= kLargestTagBody) {
      std::string list = ReadBody(source, chunk.bodyPosition, chunk.size);
      if (list.starts_with("INFO")) info = std::move(list);
    }
    return true;
  });
  if (hasId3) {
    TagByteStream stream(source, walked, path);
    TagLib::RIFF::WAV::File file(&stream, false);
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
  const auto walked = ForEachChunk(source, ChunkSizeOrder::BigEndian, [&](const Chunk& chunk) {
    hasId3 = IsId3ChunkNotingLength(chunk, tags.Carried) || hasId3;
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
    TagByteStream stream(source, walked, path);
    TagLib::RIFF::AIFF::File file(&stream, false);
    if (file.isValid() && file.hasID3v2Tag()) ReadId3(*file.tag(), tags);
  }
  FillEmpty(tags.Title, name);
  FillEmpty(tags.Artist, author);
  FillEmpty(tags.Comment, annotation);
}

// The head of a picture fits in this; the picture's bytes are read only when an output
// is finished.
constexpr std::uint32_t kLargestPictureHead = 64 << 10;

void ReadFlacPictures(ByteSource& source, CarriedTags& carried) {
  std::int32_t index = 0;
  for (const FlacBlock& block : FindFlacPictureBlocks(source)) {
    const std::string head =
        ReadBody(source, block.bodyPosition, std::min(block.size, kLargestPictureHead));
    const std::optional<PictureHead> parsed = ParsePictureHead(head);
    const std::int32_t sourceIndex = index++;
    if (!parsed) {
      carried.PicturesLeftOut.push_back(LeftOutPictureText(
          "画像 " + std::to_string(sourceIndex + 1), "画像のブロックが壊れています"));
      continue;
    }
    CarriedPicture picture;
    picture.Type = parsed->type;
    picture.Mime = parsed->mime;
    picture.Description = parsed->description;
    picture.Size = parsed->dataSize;
    picture.SourceIndex = sourceIndex;
    carried.Pictures.push_back(std::move(picture));
  }
}

void ReadFlacTags(ByteSource& source, SourceTags& tags) {
  const std::optional<FlacBlock> block = FindFlacCommentBlock(source);
  if (block && block->size <= kLargestTagBody) {
    ReadFlacComment(ReadBody(source, block->bodyPosition, block->size), tags);
  }
  ReadFlacPictures(source, tags.Carried);
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
    case AudioKind::CueSheet:
    case AudioKind::Unsupported:
      break;
  }
  tags.Comment = WithRecordLineEnds(tags.Comment);
  AddFolderCoverWhenNone(path, tags.Carried);
  return tags;
}

}  // namespace

SourceTags ReadSourceTags(ByteSource& source, const std::string& path, AudioKind kind) {
  try {
    return ReadTags(source, path, kind);
  } catch (const std::exception&) {
    return {};  // the header was read already; tags the file hides are no reason to fail
  }
}

}  // namespace lumio
