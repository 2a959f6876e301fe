#include "encode/finish/carried_tags_writer.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "core/byte_source.h"
#include "core/embedded_pictures.h"
#include "core/flac_reader.h"
#include "core/image_file.h"
#include "core/tag_byte_stream.h"
#include "core/vorbis_comment.h"
#include "encode/finish/replaygain_fields.h"
#include "encode/ogg/ogg_comment_packet.h"
#include "platform/ascii_case.h"
#include "platform/text_encoding.h"

namespace lumio {

namespace {

TagLib::ByteVector ToByteVector(std::string_view bytes) {
  return TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size()));
}

// A picture's PICTURE block, or (in `leftOut`) why the picture is left out.
struct PictureRead {
  std::optional<std::string> block;
  std::string leftOut;
};

// The source's picture number `index` as the body of a FLAC PICTURE block, or nullopt.
std::optional<std::string> FlacPictureBlock(const std::string& sourcePath, std::int32_t index) {
  FileByteSource source(sourcePath);
  const std::vector<FlacBlock> blocks = FindFlacPictureBlocks(source);
  if (index < 0 || static_cast<std::size_t>(index) >= blocks.size()) return std::nullopt;
  const FlacBlock& block = blocks[static_cast<std::size_t>(index)];
  std::string body(block.size, '\0');
  if (source.ReadAt(block.bodyPosition, body.data(), body.size()) != body.size()) {
    return std::nullopt;
  }
  return body;
}

// The ID3v2 tag of a WAVE or an AIFF file, told apart by their first four bytes; null
// for any other file. TagLib reads the file through `stream`, so no read is unbounded.
TagLib::ID3v2::Tag* Id3TagOf(FileByteSource& source, TagByteStream& stream,
                             std::unique_ptr<TagLib::File>& file) {
  char magic[4] = {};
  source.ReadAt(0, magic, sizeof magic);
  if (std::string_view(magic, 4) == "RIFF") {
    auto wave = std::make_unique<TagLib::RIFF::WAV::File>(&stream, false);
    TagLib::ID3v2::Tag* tag = wave->isValid() && wave->hasID3v2Tag() ? wave->ID3v2Tag() : nullptr;
    file = std::move(wave);
    return tag;
  }
  if (std::string_view(magic, 4) != "FORM") return nullptr;
  auto aiff = std::make_unique<TagLib::RIFF::AIFF::File>(&stream, false);
  TagLib::ID3v2::Tag* tag = aiff->isValid() && aiff->hasID3v2Tag() ? aiff->tag() : nullptr;
  file = std::move(aiff);
  return tag;
}

std::optional<TagLib::ByteVector> Id3PictureData(const std::string& sourcePath,
                                                 std::int32_t index) {
  FileByteSource source(sourcePath);
  TagByteStream stream(source, source.Length(), sourcePath);
  std::unique_ptr<TagLib::File> file;
  const TagLib::ID3v2::Tag* tag = Id3TagOf(source, stream, file);
  if (tag == nullptr) return std::nullopt;
  std::int32_t seen = 0;
  for (const TagLib::ID3v2::Frame* frame : tag->frameList()) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (picture != nullptr && seen++ == index) return picture->picture();
  }
  return std::nullopt;
}

std::string PictureBlock(const CarriedPicture& picture, const TagLib::ByteVector& data) {
  TagLib::FLAC::Picture block;
  block.setType(static_cast<TagLib::FLAC::Picture::Type>(picture.Type));
  block.setMimeType(TagLib::String(picture.Mime, TagLib::String::UTF8));
  block.setDescription(TagLib::String(picture.Description, TagLib::String::UTF8));
  block.setData(data);
  const TagLib::ByteVector rendered = block.render();
  return std::string(rendered.data(), rendered.size());
}

// `block` with the MIME type its image's bytes show, where they show one and the block
// names another: a player goes by the type named.
std::string WithTypeFromBytes(std::string block) {
  TagLib::FLAC::Picture parsed(ToByteVector(block));
  const std::string shown =
      ImageTypeOfBytes(std::string_view(parsed.data().data(), parsed.data().size()));
  if (shown.empty() || shown == parsed.mimeType().to8Bit()) return block;
  parsed.setMimeType(TagLib::String(shown, TagLib::String::UTF8));
  const TagLib::ByteVector rendered = parsed.render();
  return std::string(rendered.data(), rendered.size());
}

// The source's picture number `index` as a PICTURE block, nullopt when it cannot be
// read. FLAC blocks go out as the source holds them; so do the pictures of decoded
// sources, made into blocks as they are read.
std::optional<std::string> SourcePictureBlock(const CarriedPicture& picture,
                                              const std::string& sourcePath) {
  if (std::optional<std::string> block = FlacPictureBlock(sourcePath, picture.SourceIndex)) {
    return block;
  }
  const std::optional<TagLib::ByteVector> data = Id3PictureData(sourcePath, picture.SourceIndex);
  if (data) return PictureBlock(picture, *data);
  // Neither FLAC nor WAVE or AIFF: a source the decoder reads.
  return ReadEmbeddedPictureBlock(sourcePath, picture.SourceIndex);
}

// The PICTURE block for `picture`, or why it is left out. An image file is read only
// when it is what its name says (ReadImageFile), no larger than `limit`; otherwise it
// is left out. A source's own picture that cannot be read gives neither: the source
// has changed since it was added.
PictureRead ReadPictureBlock(const CarriedPicture& picture, const std::string& sourcePath,
                             std::uint64_t limit) {
  if (picture.ImagePath.empty()) {
    std::optional<std::string> block = SourcePictureBlock(picture, sourcePath);
    if (block) block = WithTypeFromBytes(std::move(*block));
    return {std::move(block), {}};
  }
  const ImageFile image = ReadImageFile(picture.ImagePath, limit);
  if (!image.refusal.empty()) {
    return {std::nullopt, LeftOutPictureText(picture.ImagePath, image.refusal)};
  }
  return {PictureBlock(picture, ToByteVector(image.bytes)), {}};
}

// The encoder's fields, with each one whose value is still the join of the source's
// several values of that name given as those values again.
std::vector<CarriedField> WithSeveralValues(const std::vector<CarriedField>& written,
                                            const std::vector<CarriedField>& several) {
  std::vector<CarriedField> fields;
  for (const CarriedField& field : written) {
    std::vector<CarriedField> values;
    std::string joined;
    for (const CarriedField& value : several) {
      if (!SameTextIgnoringAsciiCase(value.Name, field.Name)) continue;
      if (!values.empty()) joined += "; ";
      joined += value.Value;
      values.push_back(value);
    }
    if (!values.empty() && joined == field.Value) {
      fields.insert(fields.end(), values.begin(), values.end());
    } else {
      fields.push_back(field);
    }
  }
  return fields;
}

}  // namespace

std::optional<std::string> ReadPictureData(const CarriedPicture& picture,
                                           const std::string& sourcePath) {
  const std::optional<std::string> block =
      ReadPictureBlock(picture, sourcePath, kLargestImageFile).block;
  if (!block) return std::nullopt;
  const TagLib::FLAC::Picture parsed(ToByteVector(*block));
  return std::string(parsed.data().data(), parsed.data().size());
}

bool WriteCarriedTags(const std::string& path, const std::string& sourcePath,
                      const CarriedTags& carried, const CarryOptions& options,
                      PictureTexts& pictureTexts, std::vector<std::string>& leftOut,
                      std::string& error) {
  const auto carry = [&](std::string_view packet, PacketParts& parts, std::string& why) {
    std::optional<VorbisComment> read = ParseCommentPacket(packet);
    if (!read) {
      why = "出力ファイルのコメントを読めません";
      return false;
    }
    VorbisComment& comment = *read;
    const CommentPacketKind kind = *CommentPacketKindOf(packet);
    comment.Fields = WithSeveralValues(comment.Fields, carried.SeveralValues);
    for (const CarriedField& field : carried.Fields) {
      if (!IsValidFieldName(field.Name)) continue;
      if (kind == CommentPacketKind::Opus && IsReplayGainField(field.Name)) continue;
      comment.Fields.push_back({field.Name, ToValidUtf8(field.Value)});
    }
    // A limit below zero, typed into the settings file, lets no picture through.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::max<std::int32_t>(options.pictureLimitKB, 0)) * 1024;
    std::vector<std::shared_ptr<const SharedText>> pictures;
    for (const CarriedPicture& picture :
         options.pictures ? carried.Pictures : std::vector<CarriedPicture>()) {
      if (picture.Size > limit) continue;
      const PictureRead found = ReadPictureBlock(picture, sourcePath, limit);
      if (!found.leftOut.empty()) {
        leftOut.push_back(found.leftOut);
      } else if (!found.block) {
        why = "画像を読めません: " + sourcePath;
        return false;
      } else {
        pictures.push_back(pictureTexts.TextOf(*found.block));
      }
    }
    parts = RenderCommentPacketParts(comment, pictures, kind);
    return true;
  };
  return EditOggCommentPartsInFile(path, carry, error);
}

}  // namespace lumio
