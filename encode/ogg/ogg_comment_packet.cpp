#include "encode/ogg/ogg_comment_packet.h"

#include <fcntl.h>
#include <ogg/ogg.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "encode/ogg/ogg_page_spans.h"

namespace lumio {

namespace {

constexpr std::size_t kPageHeaderSize = 27;  // before the lacing values
constexpr std::string_view kOpusHeadMagic = "OpusHead";
constexpr unsigned char kFirstPageOfStream = 0x02;

std::uint32_t ReadLittleEndian32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteLittleEndian32(unsigned char* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// One page of the file: its header (lacing values included), copied so that its
// checksum can be computed, and its body, where it lies in the file.
struct Page {
  std::array<unsigned char, kPageHeaderSize + 255> header{};
  std::size_t headerSize = 0;
  std::string_view body;

  unsigned char Flags() const { return header[5]; }
  std::uint32_t Serial() const { return ReadLittleEndian32(&header[14]); }
  std::uint32_t Sequence() const { return ReadLittleEndian32(&header[18]); }
  int Segments() const { return header[26]; }
  unsigned char Lacing(int segment) const { return header[kPageHeaderSize + segment]; }

  // Writes the page's checksum into its header; libogg reads the body without changing it.
  void SetChecksum() {
    ogg_page page{header.data(), static_cast<long>(headerSize),
                  reinterpret_cast<unsigned char*>(const_cast<char*>(body.data())),
                  static_cast<long>(body.size())};
    ogg_page_checksum_set(&page);
  }
};

// The page at `position`, with its checksum checked; nullopt with the reason in `error`.
std::optional<Page> PageAt(std::string_view file, std::size_t position, std::string& error) {
  Page page;
  const std::size_t left = file.size() - position;
  if (left < kPageHeaderSize || file.substr(position, 4) != "OggS" || file[position + 4] != 0) {
    error = "Ogg のページではありません";
    return std::nullopt;
  }
  const std::size_t segments = static_cast<unsigned char>(file[position + 26]);
  page.headerSize = kPageHeaderSize + segments;
  if (left < page.headerSize) {
    error = "Ogg のページが途中で切れています";
    return std::nullopt;
  }
  std::memcpy(page.header.data(), file.data() + position, page.headerSize);
  std::size_t bodySize = 0;
  for (int segment = 0; segment < page.Segments(); ++segment) bodySize += page.Lacing(segment);
  if (left - page.headerSize < bodySize) {
    error = "Ogg のページが途中で切れています";
    return std::nullopt;
  }
  page.body = file.substr(position + page.headerSize, bodySize);
  const std::array<unsigned char, 4> stored{page.header[22], page.header[23], page.header[24],
                                            page.header[25]};
  page.SetChecksum();
  if (std::memcmp(stored.data(), &page.header[22], 4) != 0) {
    error = "Ogg のページが壊れています";
    return std::nullopt;
  }
  return page;
}

struct FileCloser {
  int file;
  ~FileCloser() { ::close(file); }
};

}  // namespace

std::optional<OggVorbisHeaders> ReadOggVorbisHeaders(std::string_view file, std::string& error) {
  OggVorbisHeaders headers;
  std::string* const packets[] = {&headers.identification, &headers.comment, &headers.setup};
  std::size_t done = 0;
  std::size_t headerPackets = 3;  // two once the first is known as Opus's
  std::size_t position = 0;
  std::optional<std::uint32_t> serial;
  while (done < headerPackets) {
    std::optional<Page> page = PageAt(file, position, error);
    if (!page) return std::nullopt;
    if (!serial) {
      if ((page->Flags() & kFirstPageOfStream) == 0) {
        error = "Ogg の最初のページではありません";
        return std::nullopt;
      }
      serial = page->Serial();
    } else if (page->Serial() != *serial) {
      error = "Ogg のストリームが一つではありません";
      return std::nullopt;
    }
    std::size_t offset = 0;
    for (int segment = 0; segment < page->Segments(); ++segment) {
      // Audio must start on a page of its own: a header packet that shares its page with
      // anything after it is no output of the encoder's.
      if (done == headerPackets) {
        error = "Ogg のヘッダーの後に余分なデータがあります";
        return std::nullopt;
      }
      const unsigned char lacing = page->Lacing(segment);
      packets[done]->append(page->body.substr(offset, lacing));
      offset += lacing;
      if (lacing < 255 && ++done == 1 && headers.identification.starts_with(kOpusHeadMagic)) {
        headers.kind = CommentPacketKind::Opus;
        headerPackets = 2;
      }
    }
    position += page->headerSize + page->body.size();
    ++headers.pageCount;
  }
  headers.audioStart = position;
  headers.serial = *serial;
  return headers;
}

namespace {

// The pages of `file` with `comment` as its comment packet (see ReplaceOggComment). The
// audio pages' bodies are spans of `file`.
bool WithHeaders(std::string_view file, const OggVorbisHeaders& headers, PacketParts comment,
                 OggPageSpans& pages, std::string& error) {
  const std::uint32_t serial = headers.serial;
  const auto partsOf = [](const std::string& packet) {
    PacketParts parts;
    parts.emplace_back(packet);
    return parts;
  };
  // As the encoder lays them out: the identification packet alone on the first page,
  // the other two flushed after it.
  std::vector<PacketParts> first;
  first.push_back(partsOf(headers.identification));
  pages.AppendPackets(serial, std::move(first));
  std::vector<PacketParts> rest;
  rest.push_back(std::move(comment));
  if (headers.kind == CommentPacketKind::Vorbis) rest.push_back(partsOf(headers.setup));
  pages.AppendPackets(serial, std::move(rest));
  // Shifted rather than counted anew, so that a page missing stays missing.
  const std::uint32_t shift = pages.PageCount() - headers.pageCount;
  for (std::size_t position = headers.audioStart; position < file.size();) {
    std::optional<Page> page = PageAt(file, position, error);
    if (!page) return false;
    if (page->Serial() != serial) {
      error = "Ogg のストリームが一つではありません";
      return false;
    }
    WriteLittleEndian32(&page->header[18], page->Sequence() + shift);
    page->SetChecksum();
    pages.AppendPage(
        std::string_view(reinterpret_cast<const char*>(page->header.data()), page->headerSize),
        page->body);
    position += page->headerSize + page->body.size();
  }
  return true;
}

// Writes `spans` one after another from the start of `file`, as few calls as it takes.
bool WriteSpans(int file, const std::vector<std::string_view>& spans, std::size_t& written,
                std::string& error) {
  std::vector<iovec> pieces;
  pieces.reserve(spans.size());
  for (const std::string_view span : spans) {
    if (!span.empty()) pieces.push_back({const_cast<char*>(span.data()), span.size()});
  }
  written = 0;
  std::size_t next = 0;
  while (next < pieces.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(pieces.size() - next, IOV_MAX));
    const ssize_t done = ::pwritev(file, &pieces[next], count, static_cast<off_t>(written));
    if (done <= 0) {
      error = done < 0 ? std::strerror(errno) : "出力ファイルに書き込めません";
      return false;
    }
    written += static_cast<std::size_t>(done);
    // Past the pieces written whole, and into the one written in part.
    for (std::size_t left = static_cast<std::size_t>(done); left > 0;) {
      iovec& piece = pieces[next];
      const std::size_t step = std::min(left, piece.iov_len);
      piece.iov_base = static_cast<char*>(piece.iov_base) + step;
      piece.iov_len -= step;
      left -= step;
      if (piece.iov_len == 0) ++next;
    }
  }
  return true;
}

}  // namespace

bool ReplaceOggComment(std::string_view file, const CommentPartsEdit& edit, OggPageSpans& pages,
                       std::string& error) {
  const std::optional<OggVorbisHeaders> headers = ReadOggVorbisHeaders(file, error);
  if (!headers) return false;
  PacketParts comment;
  if (!edit(headers->comment, comment, error)) return false;
  return WithHeaders(file, *headers, std::move(comment), pages, error);
}

bool EditOggCommentInFile(const std::string& path, const CommentEdit& edit, std::string& error) {
  const CommentPartsEdit asParts = [&edit](std::string_view comment, PacketParts& parts,
                                           std::string& why) {
    std::string packet(comment);
    if (!edit(packet, why)) return false;
    parts.emplace_back(std::move(packet));
    return true;
  };
  return EditOggCommentPartsInFile(path, asParts, error);
}

bool EditOggCommentPartsInFile(const std::string& path, const CommentPartsEdit& edit,
                               std::string& error) {
  const int opened = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (opened < 0) {
    error = std::strerror(errno);
    return false;
  }
  const FileCloser closer{opened};
  struct stat status {};
  if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
    error = "出力ファイルを読めません";
    return false;
  }
  std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t read =
        ::pread(opened, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (read <= 0) {
      error = read < 0 ? std::strerror(errno) : "出力ファイルを読めません";
      return false;
    }
    done += static_cast<std::size_t>(read);
  }
  OggPageSpans pages;
  if (!ReplaceOggComment(bytes, edit, pages, error)) return false;
  // Every byte of the new file is in memory before the first one is written over.
  if (!WriteSpans(opened, pages.Spans(), done, error)) return false;
  if (::ftruncate(opened, static_cast<off_t>(done)) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

namespace {

constexpr std::string_view kVorbisCommentPrefix("\x03vorbis", 7);
constexpr std::string_view kOpusCommentPrefix = "OpusTags";

std::string_view PrefixOf(CommentPacketKind kind) {
  return kind == CommentPacketKind::Opus ? kOpusCommentPrefix : kVorbisCommentPrefix;
}

// Vorbis ends its comment packet with a framing bit; Opus has none.
void EndPacket(std::string& packet, CommentPacketKind kind) {
  if (kind == CommentPacketKind::Vorbis) packet += '\x01';
}

}  // namespace

std::optional<CommentPacketKind> CommentPacketKindOf(std::string_view packet) {
  if (packet.starts_with(kVorbisCommentPrefix)) return CommentPacketKind::Vorbis;
  if (packet.starts_with(kOpusCommentPrefix)) return CommentPacketKind::Opus;
  return std::nullopt;
}

std::optional<VorbisComment> ParseCommentPacket(std::string_view packet) {
  const std::optional<CommentPacketKind> kind = CommentPacketKindOf(packet);
  if (!kind) return std::nullopt;
  return ParseVorbisComment(packet.substr(PrefixOf(*kind).size()), FieldNames::AsWritten);
}

std::string RenderCommentPacket(const VorbisComment& comment, CommentPacketKind kind) {
  std::string packet(PrefixOf(kind));
  packet += RenderVorbisComment(comment);
  EndPacket(packet, kind);
  return packet;
}

PacketParts RenderCommentPacketParts(const VorbisComment& comment,
                                     const std::vector<std::shared_ptr<const SharedText>>& pictures,
                                     CommentPacketKind kind) {
  static constexpr std::string_view kPictureField = "METADATA_BLOCK_PICTURE=";
  const std::string_view prefix = PrefixOf(kind);
  std::string head(prefix);
  head += RenderVorbisComment(comment);
  // The count of fields, after the vendor's length and name, takes in the pictures.
  const std::size_t countAt = prefix.size() + 4 + comment.Vendor.size();
  const auto fields = static_cast<std::uint32_t>(comment.Fields.size() + pictures.size());
  for (int i = 0; i < 4; ++i) head[countAt + i] = static_cast<char>(fields >> (8 * i));
  PacketParts parts;
  for (const std::shared_ptr<const SharedText>& picture : pictures) {
    const auto length = static_cast<std::uint32_t>(kPictureField.size() + picture->Text().size());
    for (int i = 0; i < 4; ++i) head += static_cast<char>(length >> (8 * i));
    head += kPictureField;
    parts.emplace_back(std::exchange(head, {}));
    parts.emplace_back(picture);
  }
  EndPacket(head, kind);
  parts.emplace_back(std::move(head));
  return parts;
}

}  // namespace lumio
