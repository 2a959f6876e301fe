#include "core/cover_image.h"

#include <array>
#include <filesystem>
#include <map>
#include <mutex>
#include <string_view>

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

std::optional<CarriedPicture> ListCoverImage(const std::filesystem::path& folder) {
  std::error_code error;
  std::optional<std::size_t> bestRank;
  std::filesystem::path best;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::optional<std::size_t> rank = CoverRank(it->path().filename());
    // Of names that differ only in case, the first in byte order wins, whatever the
    // order the folder lists them in.
    if (rank && it->is_regular_file(error) &&
        (!bestRank || *rank < *bestRank || (*rank == *bestRank && it->path() < best))) {
      bestRank = rank;
      best = it->path();
    }
  }
  if (!bestRank) return std::nullopt;
  CarriedPicture picture;
  picture.ImagePath = best.string();
  picture.Mime = ImageMimeType(picture.ImagePath);
  picture.Size = std::filesystem::file_size(best, error);
  return picture;
}

struct ListedFolder {
  std::filesystem::file_time_type changed;
  std::optional<CarriedPicture> cover;
};

}  // namespace

std::string ImageMimeType(const std::string& path) {
  return LowerAscii(std::filesystem::path(path).extension().string()) == ".png" ? "image/png"
                                                                                : "image/jpeg";
}

std::optional<CarriedPicture> FindCoverImage(const std::string& folder) {
  // Adding a folder of many files asks about the same folder once per file.
  static std::mutex mutex;
  static std::map<std::string, ListedFolder> listed;
  std::error_code error;
  const std::filesystem::file_time_type changed =
      std::filesystem::last_write_time(folder.empty() ? "." : folder, error);
  if (error) return std::nullopt;
  {
    const std::lock_guard lock(mutex);
    const auto found = listed.find(folder);
    if (found != listed.end() && found->second.changed == changed) return found->second.cover;
  }
  std::optional<CarriedPicture> cover = ListCoverImage(folder.empty() ? "." : folder);
  const std::lock_guard lock(mutex);
  listed[folder] = ListedFolder{changed, cover};
  return cover;
}

void AddFolderCoverWhenNone(const std::string& sourcePath, CarriedTags& carried) {
  if (!carried.Pictures.empty()) return;
  const std::size_t slash = sourcePath.find_last_of('/');
  std::optional<CarriedPicture> cover =
      FindCoverImage(slash == std::string::npos ? std::string() : sourcePath.substr(0, slash + 1));
  if (cover) carried.Pictures.push_back(std::move(*cover));
}

}  // namespace lumio
