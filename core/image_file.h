#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumio {

// The largest image file that is read into an output: the same bound as any single read
// of a tag.
constexpr std::uint64_t kLargestImageFile = 16 << 20;

// The image type that `bytes` begin with ("image/jpeg", "image/png", "image/gif",
// "image/bmp", "image/webp"), or empty when they begin like none of them.
std::string ImageTypeOfBytes(std::string_view bytes);

// "image/png" for a .png name, "image/jpeg" otherwise.
std::string ImageMimeType(const std::string& path);

// An image file as read for an output: its bytes, or why it is left out.
struct ImageFile {
  std::string bytes;
  std::string refusal;  // empty when the file was read
};

// Reads the image file at `path` when it may go into an output: a regular file (links
// followed) no larger than `limit` bytes or kLargestImageFile, whose first bytes are
// those of the type its name says (ImageMimeType). Anything else, a private key or a
// pipe named cover.jpg, is refused with the reason. Neither opening nor reading waits
// on a pipe or a device.
ImageFile ReadImageFile(const std::string& path, std::uint64_t limit);

// Why the file at `path` may not go into an output (see ReadImageFile), or empty when it
// may; only the file's first bytes are read.
std::string ImageFileRefusal(const std::string& path);

// How an image left out is listed: what it is, and in brackets why.
std::string LeftOutPictureText(const std::string& what, const std::string& reason);

}  // namespace lumio
