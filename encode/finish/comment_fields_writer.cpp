#include "encode/finish/comment_fields_writer.h"

#include <algorithm>
#include <optional>

#include "encode/ogg/ogg_comment_packet.h"
#include "platform/ascii_case.h"

namespace lumio {

namespace {

// Rewrites the comment header of the file at `path` with `edit` applied to its fields.
template <typename Edit>
bool EditCommentFields(const std::string& path, Edit edit, std::string& error) {
  const auto apply = [&edit](std::string& packet, std::string& why) {
    std::optional<VorbisComment> comment = ParseCommentPacket(packet);
    if (!comment) {
      why = "出力ファイルのタグを読めません";
      return false;
    }
    edit(comment->Fields);
    packet = RenderCommentPacket(*comment, *CommentPacketKindOf(packet));
    return true;
  };
  if (EditOggCommentInFile(path, apply, error)) return true;
  if (error.empty()) error = "出力ファイルにタグを書き込めません";
  return false;
}

}  // namespace

bool ReplaceCommentFields(const std::string& path, const std::vector<std::string>& replaced,
                          const std::vector<CommentField>& added, std::string& error) {
  const auto replace = [&](std::vector<CarriedField>& fields) {
    std::erase_if(fields, [&replaced](const CarriedField& field) {
      return std::any_of(replaced.begin(), replaced.end(), [&field](const std::string& name) {
        return SameTextIgnoringAsciiCase(field.Name, name);
      });
    });
    for (const auto& [name, value] : added) fields.push_back({name, value});
  };
  return EditCommentFields(path, replace, error);
}

bool PlaceCommentFields(const std::string& path, const std::vector<CommentField>& placed,
                        const std::vector<std::string_view>& order, std::string& error) {
  const auto rank = [&order](std::string_view name) {
    return std::find_if(
               order.begin(), order.end(),
               [name](std::string_view named) { return SameTextIgnoringAsciiCase(named, name); }) -
           order.begin();
  };
  const auto place = [&](std::vector<CarriedField>& fields) {
    for (const CommentField& field : placed) {
      const auto placedRank = rank(field.first);
      const auto later = std::find_if(fields.begin(), fields.end(), [&](const CarriedField& held) {
        return rank(held.Name) > placedRank;
      });
      fields.insert(later, {field.first, field.second});
    }
  };
  return EditCommentFields(path, place, error);
}

}  // namespace lumio
