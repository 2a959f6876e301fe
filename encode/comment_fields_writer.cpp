#include "encode/comment_fields_writer.h"

#include <algorithm>
#include <optional>

#include "encode/ogg_comment_packet.h"
#include "platform/ascii_case.h"

namespace lumio {

bool ReplaceCommentFields(const std::string& path, const std::vector<std::string>& replaced,
                          const std::vector<CommentField>& added, std::string& error) {
  const auto replace = [&](std::string& packet, std::string& why) {
    std::optional<VorbisComment> comment = ParseCommentPacket(packet);
    if (!comment) {
      why = "出力ファイルのタグを読めません";
      return false;
    }
    std::erase_if(comment->Fields, [&replaced](const CarriedField& field) {
      return std::any_of(replaced.begin(), replaced.end(), [&field](const std::string& name) {
        return SameTextIgnoringAsciiCase(field.Name, name);
      });
    });
    for (const auto& [name, value] : added) comment->Fields.push_back({name, value});
    packet = RenderCommentPacket(*comment);
    return true;
  };
  if (EditOggCommentInFile(path, replace, error)) return true;
  if (error.empty()) error = "出力ファイルにタグを書き込めません";
  return false;
}

}  // namespace lumio
