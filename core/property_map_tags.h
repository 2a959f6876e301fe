#pragma once

#include <taglib/tpropertymap.h>

#include "core/carried_tags.h"
#include "core/source_tags.h"

namespace lumio {

// The six fields of a file's tags as TagLib gives them for any format (ID3, MP4, APE,
// ASF, Xiph): several values of one field joined as ReadSourceTags joins them.
SourceTags TagsFromPropertyMap(const TagLib::PropertyMap& properties);

// Adds to `carried` every value of the fields of `properties` that are none of the six
// edited ones, in the map's order, and names in `LeftOut` what TagLib could not map.
void AddProperties(const TagLib::PropertyMap& properties, CarriedTags& carried);

}  // namespace lumio
