#include "encode/comment_fields_writer.h"

#include <taglib/tstring.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace lumio {

namespace {

TagLib::String Utf8(const std::string& text) { return TagLib::String(text, TagLib::String::UTF8); }

}  // namespace

bool ReplaceCommentFields(const std::string& path, const std::vector<std::string>& replaced,
                          const std::vector<CommentField>& added, std::string& error) {
  TagLib::Ogg::Vorbis::File file(path.c_str(), false);
  TagLib::Ogg::XiphComment* comment = file.isValid() ? file.tag() : nullptr;
  if (comment == nullptr) {
    error = "出力ファイルのタグを読めません";
    return false;
  }
  for (const std::string& name : replaced) comment->removeFields(Utf8(name));
  for (const auto& [name, value] : added) comment->addField(Utf8(name), Utf8(value), false);
  if (!file.save()) {
    error = "出力ファイルにタグを書き込めません";
    return false;
  }
  return true;
}

}  // namespace lumio
