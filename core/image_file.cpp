#include "core/image_file.h"

#include <algorithm>
#include <filesystem>

#include "platform/ascii_case.h"
#include "platform/file_contents.h"

namespace lumio {

namespace {

constexpr std::string_view kJpegStart = "\xFF\xD8\xFF";
constexpr std::string_view kPngStart = "\x89PNG\r\n\x1A\n";

std::string Refusal(const FileContents& contents, const std::string& mime, std::uint64_t limit) {
  if (contents.outcome == ReadOutcome::Missing) return "ファイルがありません";
  if (contents.outcome != ReadOutcome::Read) return "通常のファイルではありません";
  if (contents.size > limit) {
    return "大きさが上限 " + std::to_string(limit / 1024) + " KB を超えています";
  }
  if (ImageTypeOfBytes(contents.bytes) != mime) {
    return mime == "image/png" ? "PNG の画像ではありません" : "JPEG の画像ではありません";
  }
  return {};
}

}  // namespace

std::string ImageTypeOfBytes(std::string_view bytes) {
  if (bytes.starts_with(kJpegStart)) return "image/jpeg";
  if (bytes.starts_with(kPngStart)) return "image/png";
  if (bytes.starts_with("GIF8")) return "image/gif";
  if (bytes.starts_with("BM")) return "image/bmp";
  if (bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP") {
    return "image/webp";
  }
  return {};
}

std::string ImageMimeType(const std::string& path) {
  return SameIgnoringAsciiCase(std::filesystem::path(path).extension().string(), ".png")
             ? "image/png"
             : "image/jpeg";
}

ImageFile ReadImageFile(const std::string& path, std::uint64_t limit) {
  const std::uint64_t bound = std::min(limit, kLargestImageFile);
  // One byte past the bound tells a file that grew since it was opened.
  FileContents contents = ReadRegularFile(path, bound + 1);
  contents.size = std::max<std::uint64_t>(contents.size, contents.bytes.size());
  ImageFile image;
  image.refusal = Refusal(contents, ImageMimeType(path), bound);
  if (image.refusal.empty()) image.bytes = std::move(contents.bytes);
  return image;
}

std::string ImageFileRefusal(const std::string& path) {
  return Refusal(ReadRegularFile(path, kPngStart.size()), ImageMimeType(path), kLargestImageFile);
}

std::string LeftOutPictureText(const std::string& what, const std::string& reason) {
  return what + " (" + reason + ")";
}

}  // namespace lumio
