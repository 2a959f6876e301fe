#include "encode/ogg/ogg_comment_reader.h"

#include <algorithm>
#include <cstdint>

#include "encode/ogg/ogg_comment_packet.h"
#include "platform/file_contents.h"

namespace lumio {

namespace {

// Enough for the headers the encoder writes without pictures; a longer header is read
// again with a bound sixteen times as large, up to the last.
constexpr std::uint64_t kFirstBound = 16 * 1024;
constexpr std::uint64_t kLastBound = 64 * 1024 * 1024;

}  // namespace

std::optional<VorbisComment> ReadOggComment(const std::string& path, std::string& error) {
  for (std::uint64_t bound = kFirstBound;; bound = std::min(bound * 16, kLastBound)) {
    const FileContents contents = ReadRegularFile(path, bound);
    if (contents.outcome != ReadOutcome::Read) {
      error = "出力ファイルを読めません";
      return std::nullopt;
    }
    if (const std::optional<OggVorbisHeaders> headers =
            ReadOggVorbisHeaders(contents.bytes, error)) {
      std::optional<VorbisComment> comment = ParseCommentPacket(headers->comment);
      if (!comment) error = "出力ファイルのタグを読めません";
      return comment;
    }
    // Cut short by the bound, the headers may yet be whole further on.
    if (contents.bytes.size() >= contents.size || bound == kLastBound) return std::nullopt;
  }
}

}  // namespace lumio
