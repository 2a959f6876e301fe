#include "core/embedded_pictures.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/trueaudiofile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <array>
#include <memory>

#include "core/byte_source.h"
#include "core/image_file.h"
#include "core/tag_byte_stream.h"
#include "core/tag_text.h"

namespace lumio {

namespace {

using PictureBlocks = std::vector<std::unique_ptr<TagLib::FLAC::Picture>>;

bool SameAsciiName(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// APE items name the picture's type; their order is that of the ID3v2 picture types.
constexpr std::array<std::string_view, 21> kApeCoverNames{"Cover Art (Other)",
                                                          "Cover Art (Icon)",
                                                          "Cover Art (Other Icon)",
                                                          "Cover Art (Front)",
                                                          "Cover Art (Back)",
                                                          "Cover Art (Leaflet)",
                                                          "Cover Art (Media)",
                                                          "Cover Art (Lead Artist)",
                                                          "Cover Art (Artist)",
                                                          "Cover Art (Conductor)",
                                                          "Cover Art (Band)",
                                                          "Cover Art (Composer)",
                                                          "Cover Art (Lyricist)",
                                                          "Cover Art (Recording Location)",
                                                          "Cover Art (During Recording)",
                                                          "Cover Art (During Performance)",
                                                          "Cover Art (Video Capture)",
                                                          "Cover Art (Fish)",
                                                          "Cover Art (Illustration)",
                                                          "Cover Art (Band Logotype)",
                                                          "Cover Art (Publisher Logotype)"};

std::optional<int> ApeCoverType(std::string_view key) {
  for (std::size_t type = 0; type < kApeCoverNames.size(); ++type) {
    if (SameAsciiName(key, kApeCoverNames[type])) return static_cast<int>(type);
  }
  return std::nullopt;
}

// APE items and MP4 cover art do not name their image format: it is told by the
// image's first bytes.
std::string SniffedMimeType(const TagLib::ByteVector& data) {
  return ImageTypeOfBytes(std::string_view(data.data(), data.size()));
}

std::unique_ptr<TagLib::FLAC::Picture> Block(int type, const TagLib::String& mime,
                                             const TagLib::String& description,
                                             const TagLib::ByteVector& data) {
  auto block = std::make_unique<TagLib::FLAC::Picture>();
  block->setType(static_cast<TagLib::FLAC::Picture::Type>(type));
  block->setMimeType(mime);
  block->setDescription(description);
  block->setData(data);
  return block;
}

void AddId3Pictures(const TagLib::ID3v2::Tag* tag, PictureBlocks& blocks) {
  if (tag == nullptr) return;
  for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (picture == nullptr) continue;
    blocks.push_back(
        Block(picture->type(), picture->mimeType(), picture->description(), picture->picture()));
  }
}

// A cover item's value is its description (often the image's file name), a NUL, and
// the image.
void AddApePictures(const TagLib::APE::Tag* tag, PictureBlocks& blocks) {
  if (tag == nullptr) return;
  for (const auto& [key, item] : tag->itemListMap()) {
    const std::optional<int> type = ApeCoverType(key.to8Bit());
    if (!type || item.type() != TagLib::APE::Item::Binary) continue;
    const TagLib::ByteVector value = item.binaryData();
    const int nul = value.find('\0');
    if (nul < 0) continue;
    const TagLib::ByteVector image = value.mid(static_cast<unsigned>(nul) + 1);
    blocks.push_back(Block(
        *type, SniffedMimeType(image),
        TagLib::String(value.mid(0, static_cast<unsigned>(nul)), TagLib::String::UTF8), image));
  }
}

std::string Mp4MimeType(const TagLib::MP4::CoverArt& cover) {
  switch (cover.format()) {
    case TagLib::MP4::CoverArt::JPEG:
      return "image/jpeg";
    case TagLib::MP4::CoverArt::PNG:
      return "image/png";
    case TagLib::MP4::CoverArt::GIF:
      return "image/gif";
    case TagLib::MP4::CoverArt::BMP:
      return "image/bmp";
    default:
      return SniffedMimeType(cover.data());
  }
}

void AddMp4Pictures(const TagLib::MP4::Tag* tag, PictureBlocks& blocks) {
  if (tag == nullptr || !tag->contains("covr")) return;
  constexpr int kFrontCover = 3;  // the only picture an MP4 file holds
  for (const TagLib::MP4::CoverArt& cover : tag->item("covr").toCoverArtList()) {
    blocks.push_back(Block(kFrontCover, Mp4MimeType(cover), {}, cover.data()));
  }
}

void AddAsfPictures(const TagLib::ASF::Tag* tag, PictureBlocks& blocks) {
  // Asking for an attribute the tag lacks would add it, empty.
  if (tag == nullptr || !tag->contains("WM/Picture")) return;
  for (const TagLib::ASF::Attribute& attribute : tag->attribute("WM/Picture")) {
    const TagLib::ASF::Picture picture = attribute.toPicture();
    if (!picture.isValid()) continue;
    blocks.push_back(
        Block(picture.type(), picture.mimeType(), picture.description(), picture.picture()));
  }
}

// Xiph pictures are FLAC picture blocks already, pixel size and all.
void AddXiphPictures(TagLib::Ogg::XiphComment* tag, PictureBlocks& blocks) {
  if (tag == nullptr) return;
  for (const TagLib::FLAC::Picture* picture : tag->pictureList()) {
    blocks.push_back(std::make_unique<TagLib::FLAC::Picture>(picture->render()));
  }
}

PictureBlocks PicturesOf(TagLib::File& file) {
  PictureBlocks blocks;
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(&file)) {
    AddId3Pictures(mpeg->ID3v2Tag(), blocks);
    AddApePictures(mpeg->APETag(), blocks);
  } else if (auto* tta = dynamic_cast<TagLib::TrueAudio::File*>(&file)) {
    AddId3Pictures(tta->ID3v2Tag(), blocks);
  } else if (auto* wavPack = dynamic_cast<TagLib::WavPack::File*>(&file)) {
    AddApePictures(wavPack->APETag(), blocks);
  } else if (auto* ape = dynamic_cast<TagLib::APE::File*>(&file)) {
    AddApePictures(ape->APETag(), blocks);
  } else if (auto* mpc = dynamic_cast<TagLib::MPC::File*>(&file)) {
    AddApePictures(mpc->APETag(), blocks);
  } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) {
    AddMp4Pictures(mp4->tag(), blocks);
  } else if (auto* asf = dynamic_cast<TagLib::ASF::File*>(&file)) {
    AddAsfPictures(asf->tag(), blocks);
  } else {
    // Ogg Vorbis, Opus, Speex and Ogg FLAC files give their Xiph comment as their tag.
    AddXiphPictures(dynamic_cast<TagLib::Ogg::XiphComment*>(file.tag()), blocks);
  }
  return blocks;
}

}  // namespace

std::vector<CarriedPicture> ListEmbeddedPictures(TagLib::File& file) {
  std::vector<CarriedPicture> pictures;
  std::int32_t index = 0;
  for (const auto& block : PicturesOf(file)) {
    CarriedPicture picture;
    picture.Type = block->type();
    picture.Mime = Utf8(block->mimeType());
    picture.Description = Utf8(block->description());
    picture.Size = block->data().size();
    picture.SourceIndex = index++;
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

bool IsPictureItemName(std::string_view name) {
  return SameAsciiName(name, "APIC") || SameAsciiName(name, "covr") ||
         SameAsciiName(name, "WM/Picture") || ApeCoverType(name).has_value();
}

std::optional<std::string> ReadEmbeddedPictureBlock(const std::string& path, std::int32_t index) {
  try {
    FileByteSource source(path);
    TagByteStream stream(source, source.Length(), path);
    const TagLib::FileRef file(&stream, false);
    if (file.isNull() || index < 0) return std::nullopt;
    const PictureBlocks blocks = PicturesOf(*file.file());
    if (static_cast<std::size_t>(index) >= blocks.size()) return std::nullopt;
    const TagLib::ByteVector rendered = blocks[static_cast<std::size_t>(index)]->render();
    return std::string(rendered.data(), rendered.size());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace lumio
