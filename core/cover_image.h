#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/carried_tags.h"

namespace lumio {

// A folder's cover image, and the image files before it that may not stand in.
struct FolderCover {
  std::optional<CarriedPicture> picture;
  std::vector<std::string> refused;  // LeftOutPictureText of each
};

// The image file that stands in as the front cover of a source without pictures of its
// own: in the source's folder `folder`, the first of cover, folder, front and album
// with the extension .jpg, .jpeg or .png, names compared without regard to case, that
// is a real image of the type its name says (ImageFileRefusal); those before it that
// are not are listed with the reason. Threads may call this at once; a folder is listed
// again only when it has changed.
FolderCover FindCoverImage(const std::string& folder);

// Gives `carried`, when it holds no picture, the cover image of the folder of the source
// at `sourcePath` (see FindCoverImage), if there is one; image files refused on the way
// go to its PicturesLeftOut.
void AddFolderCoverWhenNone(const std::string& sourcePath, CarriedTags& carried);

}  // namespace lumio
