#include "encode/ogg_comment_packet.h"

#include <fcntl.h>
#include <ogg/ogg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

namespace lumio {

namespace {

constexpr std::size_t kPageHeaderSize = 27;  // before the lacing values
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

// Frees what ogg_stream_init took.
struct OggStream {
  ogg_stream_state state{};
  explicit OggStream(std::uint32_t serial) { ogg_stream_init(&state, static_cast<int>(serial)); }
  ~OggStream() { ogg_stream_clear(&state); }
  OggStream(const OggStream&) = delete;
  OggStream& operator=(const OggStream&) = delete;
};

// The header packets as pages of stream `serial`, as the encoder lays them out: the
// identification packet alone on the first page, the other two flushed after it.
void AppendHeaderPages(std::uint32_t serial, const OggVorbisHeaders& headers, std::string& pages,
                       std::uint32_t& pageCount) {
  OggStream stream(serial);
  const auto put = [&](const std::string& packet, long number) {
    ogg_packet ogg{reinterpret_cast<unsigned char*>(const_cast<char*>(packet.data())),
                   static_cast<long>(packet.size()),
                   number == 0,
                   0,
                   0,
                   number};
    ogg_stream_packetin(&stream.state, &ogg);
  };
  ogg_page page;
  const auto flush = [&] {
    while (ogg_stream_flush(&stream.state, &page) != 0) {
      pages.append(reinterpret_cast<const char*>(page.header),
                   static_cast<std::size_t>(page.header_len));
      pages.append(reinterpret_cast<const char*>(page.body),
                   static_cast<std::size_t>(page.body_len));
    }
  };
  put(headers.identification, 0);
  flush();
  put(headers.comment, 1);
  put(headers.setup, 2);
  flush();
  pageCount = static_cast<std::uint32_t>(stream.state.pageno);
}

std::optional<std::string> WithHeaders(std::string_view file, const OggVorbisHeaders& headers,
                                       std::string& error);

struct FileCloser {
  int file;
  ~FileCloser() { ::close(file); }
};

}  // namespace

std::optional<OggVorbisHeaders> ReadOggVorbisHeaders(std::string_view file, std::string& error) {
  OggVorbisHeaders headers;
  std::string* const packets[] = {&headers.identification, &headers.comment, &headers.setup};
  std::size_t done = 0;
  std::size_t position = 0;
  std::optional<std::uint32_t> serial;
  while (done < 3) {
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
      if (done == 3) {
        error = "Ogg のヘッダーの後に余分なデータがあります";
        return std::nullopt;
      }
      const unsigned char lacing = page->Lacing(segment);
      packets[done]->append(page->body.substr(offset, lacing));
      offset += lacing;
      if (lacing < 255) ++done;
    }
    position += page->headerSize + page->body.size();
    ++headers.pageCount;
  }
  headers.audioStart = position;
  headers.serial = *serial;
  return headers;
}

std::optional<std::string> ReplaceOggComment(std::string_view file, std::string_view comment,
                                             std::string& error) {
  std::optional<OggVorbisHeaders> headers = ReadOggVorbisHeaders(file, error);
  if (!headers) return std::nullopt;
  headers->comment.assign(comment);
  return WithHeaders(file, *headers, error);
}

namespace {

std::optional<std::string> WithHeaders(std::string_view file, const OggVorbisHeaders& headers,
                                       std::string& error) {
  const std::uint32_t serial = headers.serial;
  std::uint32_t newPageCount = 0;
  // Reserved at once: the comment may hold pictures of megabytes. A page header of at
  // most 282 bytes comes with every 255 * 255 bytes of packet, and with the first of each.
  const std::size_t packets =
      headers.identification.size() + headers.comment.size() + headers.setup.size();
  std::string rewritten;
  rewritten.reserve(packets + (packets / (255 * 255) + 3) * 282 + file.size() - headers.audioStart);
  AppendHeaderPages(serial, headers, rewritten, newPageCount);
  // Shifted rather than counted anew, so that a page missing stays missing.
  const std::uint32_t shift = newPageCount - headers.pageCount;
  for (std::size_t position = headers.audioStart; position < file.size();) {
    std::optional<Page> page = PageAt(file, position, error);
    if (!page) return std::nullopt;
    if (page->Serial() != serial) {
      error = "Ogg のストリームが一つではありません";
      return std::nullopt;
    }
    WriteLittleEndian32(&page->header[18], page->Sequence() + shift);
    page->SetChecksum();
    rewritten.append(reinterpret_cast<const char*>(page->header.data()), page->headerSize);
    rewritten.append(page->body);
    position += page->headerSize + page->body.size();
  }
  return rewritten;
}

}  // namespace

bool EditOggCommentInFile(const std::string& path, const CommentEdit& edit, std::string& error) {
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
  std::optional<OggVorbisHeaders> headers = ReadOggVorbisHeaders(bytes, error);
  if (!headers || !edit(headers->comment, error)) return false;
  const std::optional<std::string> rewritten = WithHeaders(bytes, *headers, error);
  if (!rewritten) return false;
  for (done = 0; done < rewritten->size();) {
    const ssize_t written = ::pwrite(opened, rewritten->data() + done, rewritten->size() - done,
                                     static_cast<off_t>(done));
    if (written <= 0) {
      error = written < 0 ? std::strerror(errno) : "出力ファイルに書き込めません";
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  if (::ftruncate(opened, static_cast<off_t>(rewritten->size())) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

namespace {

constexpr std::string_view kCommentPacketPrefix("\x03vorbis", 7);

}  // namespace

std::optional<VorbisComment> ParseCommentPacket(std::string_view packet) {
  if (!packet.starts_with(kCommentPacketPrefix)) return std::nullopt;
  return ParseVorbisComment(packet.substr(kCommentPacketPrefix.size()), FieldNames::AsWritten);
}

std::string RenderCommentPacket(const VorbisComment& comment) {
  std::string packet(kCommentPacketPrefix);
  packet += RenderVorbisComment(comment);
  packet += '\x01';  // the framing bit
  return packet;
}

}  // namespace lumio
