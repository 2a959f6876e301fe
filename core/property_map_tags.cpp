#include "core/property_map_tags.h"

#include "core/tag_text.h"

namespace lumio {

SourceTags TagsFromPropertyMap(const TagLib::PropertyMap& properties) {
  const auto field = [&](const char* key, const char* separator) {
    const auto found = properties.find(key);
    return found == properties.end() ? std::string() : Utf8(found->second.toString(separator));
  };
  SourceTags tags;
  tags.Title = field("TITLE", "; ");
  tags.Artist = field("ARTIST", "; ");
  tags.Album = field("ALBUM", "; ");
  tags.Date = field("DATE", "; ");
  tags.TrackNumber = field("TRACKNUMBER", "; ");
  tags.Comment = WithRecordLineEnds(field("COMMENT", "\n"));
  AddProperties(properties, tags.Carried);
  return tags;
}

void AddProperties(const TagLib::PropertyMap& properties, CarriedTags& carried) {
  for (const auto& [key, values] : properties) {
    const std::string name = Utf8(key);
    if (IsEditedFieldName(name)) continue;
    for (const TagLib::String& value : values) carried.Fields.push_back({name, Utf8(value)});
  }
  for (const TagLib::String& unsupported : properties.unsupportedData()) {
    carried.LeftOut.push_back(Utf8(unsupported));
  }
}

}  // namespace lumio
