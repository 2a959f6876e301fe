#pragma once

#include <optional>
#include <string>

#include "core/carried_tags.h"

namespace lumio {

// The image file that stands in as the front cover of a source without pictures of its
// own: in the source's folder `folder`, the first of cover, folder, front and album
// with the extension .jpg, .jpeg or .png, names compared without regard to case.
// Threads may call this at once; a folder is listed again only when it has changed.
std::optional<CarriedPicture> FindCoverImage(const std::string& folder);

// Gives `carried`, when it holds no picture, the cover image of the folder of the source
// at `sourcePath` (see FindCoverImage), if there is one.
void AddFolderCoverWhenNone(const std::string& sourcePath, CarriedTags& carried);

// "image/png" for a .png name, "image/jpeg" otherwise.
std::string ImageMimeType(const std::string& path);

}  // namespace lumio
