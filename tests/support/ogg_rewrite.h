#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/ogg/ogg_comment_packet.h"

namespace lumio::test {

// The bytes of `spans` one after another, as a file written from them holds them.
inline std::string Joined(const std::vector<std::string_view>& spans) {
  std::string joined;
  for (const std::string_view span : spans) joined += span;
  return joined;
}

// `file` with `packet` as its comment packet, as ReplaceOggComment lays it out; nullopt,
// with the reason in `error`, when it refuses the file. The comment packet the edit was
// given goes to `given`.
inline std::optional<std::string> WithComment(std::string_view file, const std::string& packet,
                                              std::string& error, std::string& given) {
  const CommentPartsEdit replace = [&](std::string_view old, PacketParts& parts, std::string&) {
    given = old;
    parts.emplace_back(packet);
    return true;
  };
  OggPageSpans pages;
  if (!ReplaceOggComment(file, replace, pages, error)) return std::nullopt;
  return Joined(pages.Spans());
}

}  // namespace lumio::test
