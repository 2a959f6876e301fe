#include "core/first_folder.h"

#include <array>
#include <string_view>

#include "platform/file_system.h"

namespace lumio {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

bool IsInside(const std::string& path, const std::string& folder) {
  if (folder == "/") {
    return true;
  }
  return path == folder || (path.starts_with(folder) && path[folder.size()] == '/');
}

bool IsSystemFolder(const std::string& path) {
  constexpr std::array<std::string_view, 17> kSystemFolders{
      "/usr", "/bin",  "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/etc", "/opt",
      "/var", "/boot", "/proc", "/sys", "/dev",   "/run",   "/snap",   "/srv"};
  for (const std::string_view folder : kSystemFolders) {
    if (IsInside(path, std::string(folder))) {
      return true;
    }
  }
  return path == "/";
}

// The nearest folder at or above `folder` that holds a `.git` (a folder, or the file a
// git worktree has); empty when there is none.
std::string CheckoutAround(std::string folder) {
  while (!folder.empty()) {
    const std::string git = (folder == "/" ? "" : folder) + "/.git";
    if (FolderExists(git) || FileExists(git)) {
      return folder;
    }
    if (folder == "/") {
      return {};
    }
    const std::size_t slash = folder.rfind('/');
    folder = slash == 0 ? "/" : folder.substr(0, slash);
  }
  return {};
}

std::string WithSlash(const std::string& folder) {
  return folder.ends_with('/') ? folder : folder + "/";
}

}  // namespace

std::string FirstFolder(const std::string& fallback, const FirstFolderPlaces& places) {
  const std::string candidate = WithoutTrailingSlashes(fallback);
  const std::string checkout = CheckoutAround(WithoutTrailingSlashes(places.programFolder));
  const bool unfit = !candidate.starts_with('/') || !FolderWritable(candidate) ||
                     IsSystemFolder(candidate) ||
                     (!checkout.empty() && IsInside(candidate, checkout));
  if (!unfit) {
    return WithSlash(candidate);
  }
  if (!places.musicFolder.empty() && FolderExists(places.musicFolder)) {
    return WithSlash(WithoutTrailingSlashes(places.musicFolder));
  }
  return WithSlash(WithoutTrailingSlashes(places.homeFolder));
}

}  // namespace lumio
