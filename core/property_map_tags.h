#pragma once

#include <taglib/tpropertymap.h>

#include "core/source_tags.h"

namespace lumio {

// The six fields of a file's tags as TagLib gives them for any format (ID3, MP4, APE,
// ASF, Xiph): several values of one field joined as ReadSourceTags joins them.
SourceTags TagsFromPropertyMap(const TagLib::PropertyMap& properties);

}  // namespace lumio
