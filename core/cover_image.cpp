#include "core/cover_image.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>

#include "core/image_file.h"

namespace lumio {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The candidate's rank (lower is preferred), or nullopt when the name is none.
std::optional<std::size_t> CoverRank(const std::filesystem::path& name) {
  static constexpr std::array<std::string_view, 4> kStems{"cover", "folder", "front", "album"};
  static constexpr std::array<std::string_view, 3> kExtensions{".jpg", ".jpeg", ".png"};
  const std::string stem = LowerAscii(name.stem().string());
  const std::string extension = LowerAscii(name.extension().string());
  for (std::size_t s = 0; s < kStems.size(); ++s) {
    for (std::size_t e = 0; e < kExtensions.size(); ++e) {
      if (stem == kStems[s] && extension == kExtensions[e]) return s * kExtensions.size() + e;
    }
  }
  return std::nullopt;
}

FolderCover ListCoverImage(const std::filesystem::path& folder) {
  std::error_code error;
  std::vector<std::pair<std::size_t, std::filesystem::path>> candidates;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::optional<std::size_t> rank = CoverRank(it->path().filename());
    if (rank) candidates.emplace_back(*rank, it->path());
  }
  // Of names that differ only in case, the first in byte order comes first, whatever
  // the order the folder lists them in.
  std::sort(candidates.begin(), candidates.end());
  FolderCover cover;
  for (const auto& [rank, path] : candidates) {
    const std::string refusal = ImageFileRefusal(path.string());
    if (!refusal.empty()) {
      cover.refused.push_back(LeftOutPictureText(path.string(), refusal));
      continue;
    }
    CarriedPicture picture;
    picture.ImagePath = path.string();
    picture.Mime = ImageMimeType(picture.ImagePath);
    picture.Size = std::filesystem::file_size(path, error);
    cover.picture = std::move(picture);
    break;
  }
  return cover;
}

struct ListedFolder {
  std::filesystem::file_time_type changed;
  FolderCover cover;
};

}  // namespace

FolderCover FindCoverImage(const std::string& folder) {
  // Adding a folder of many files asks about the same folder once per file.
  static std::mutex mutex;
  static std::map<std::string, ListedFolder> listed;
  std::error_code error;
  const std::filesystem::file_time_type changed =
      std::filesystem::last_write_time(folder.empty() ? "." : folder, error);
  if (error) return {};
  {
    const std::lock_guard lock(mutex);
    const auto found = listed.find(folder);
    if (found != listed.end() && found->second.changed == changed) return found->second.cover;
  }
  FolderCover cover = ListCoverImage(folder.empty() ? "." : folder);
  const std::lock_guard lock(mutex);
  listed[folder] = ListedFolder{changed, cover};
  return cover;
}

void AddFolderCoverWhenNone(const std::string& sourcePath, CarriedTags& carried) {
  if (!carried.Pictures.empty()) return;
  const std::size_t slash = sourcePath.find_last_of('/');
  FolderCover cover =
      FindCoverImage(slash == std::string::npos ? std::string() : sourcePath.substr(0, slash + 1));
  if (cover.picture) carried.Pictures.push_back(std::move(*cover.picture));
  carried.PicturesLeftOut.insert(carried.PicturesLeftOut.end(), cover.refused.begin(),
                                 cover.refused.end());
}

}  // namespace lumio
