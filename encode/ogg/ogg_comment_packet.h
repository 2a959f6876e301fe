#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/vorbis_comment.h"
#include "encode/ogg/ogg_page_spans.h"

namespace lumio {

// The codec whose comment packet a file holds: "\x03vorbis", the comment and a framing
// bit; or "OpusTags" and the comment, with no framing bit (RFC 7845 5.2).
enum class CommentPacketKind { Vorbis, Opus };

// The header packets at the start of an Ogg Vorbis file (three) or an Ogg Opus file
// (two: no setup packet), and where its audio pages begin.
struct OggVorbisHeaders {
  CommentPacketKind kind = CommentPacketKind::Vorbis;  // by the identification packet
  std::string identification;
  std::string comment;
  std::string setup;            // empty for Opus
  std::size_t audioStart = 0;   // the byte where the first page after the headers starts
  std::uint32_t serial = 0;     // of the stream
  std::uint32_t pageCount = 0;  // of the pages that hold the headers
};

// Reads the header packets of `file`, the bytes of an Ogg Vorbis or Ogg Opus file of one
// logical stream. Every length is checked against the bytes there are and every page's checksum
// is checked; nullopt, with the reason in `error`, for anything else.
std::optional<OggVorbisHeaders> ReadOggVorbisHeaders(std::string_view file, std::string& error);

// The codec of `packet` by its start; nullopt when it is no comment packet.
std::optional<CommentPacketKind> CommentPacketKindOf(std::string_view packet);

// The fields of `packet`, a comment packet of either kind, names as written; nullopt
// when it does not start as one. What follows an Opus comment (padding) is passed over.
std::optional<VorbisComment> ParseCommentPacket(std::string_view packet);

// The comment packet of `kind` that holds `comment`.
std::string RenderCommentPacket(const VorbisComment& comment,
                                CommentPacketKind kind = CommentPacketKind::Vorbis);

// The comment packet of `kind` that holds `comment` and then one METADATA_BLOCK_PICTURE
// field for each of `pictures`, the base64 of PICTURE blocks, which the parts share
// rather than copy.
PacketParts RenderCommentPacketParts(const VorbisComment& comment,
                                     const std::vector<std::shared_ptr<const SharedText>>& pictures,
                                     CommentPacketKind kind = CommentPacketKind::Vorbis);

// Changes `comment`, the comment packet of a file, or says in `error` why it cannot.
using CommentEdit = std::function<bool(std::string& comment, std::string& error)>;

// Gives, as `parts`, the comment packet that replaces `comment`, or says in `error` why
// it cannot.
using CommentPartsEdit =
    std::function<bool(std::string_view comment, PacketParts& parts, std::string& error)>;

// The pages of `file`, the bytes of an Ogg Vorbis file, with its comment packet replaced
// by the one `edit` gives: the identification and setup packets stay as they are, the
// header packets are paginated again and the audio pages follow as spans of `file`, byte
// for byte but for their sequence numbers (shifted by the change in the number of header
// pages) and checksums. False, with the reason in `error`, for a file
// ReadOggVorbisHeaders refuses, an edit that fails, a damaged page or a page of another
// stream after the headers.
bool ReplaceOggComment(std::string_view file, const CommentPartsEdit& edit, OggPageSpans& pages,
                       std::string& error);

// Reads the Ogg Vorbis file at `path` whole, lets `edit` give its new comment packet and
// writes the file back with it (ReplaceOggComment), straight from the parts and the
// bytes read. The file is rewritten in place, never made anew, so that a file removed
// meanwhile stays removed; false, with the reason in `error`, when reading, the edit or
// writing fails, and the file may then be half-written.
bool EditOggCommentPartsInFile(const std::string& path, const CommentPartsEdit& edit,
                               std::string& error);

// EditOggCommentPartsInFile for an edit that changes the packet in place.
bool EditOggCommentInFile(const std::string& path, const CommentEdit& edit, std::string& error);

}  // namespace lumio
