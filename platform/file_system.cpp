#include "platform/file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace lumio {

namespace {

bool StatPath(const std::string& path, struct stat& info) {
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool PathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool FolderWritable(const std::string& path) {
  return FolderExists(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

bool CreateFolder(const std::string& path) {
  return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool CreateFolderTree(const std::string& path) {
  if (path.empty()) return false;
  // '/' never occurs inside a multibyte character of UTF-8 or Shift-JIS, so the
  // byte search finds only real separators.
  for (std::size_t pos = path.find('/', 1); pos != std::string::npos;
       pos = path.find('/', pos + 1)) {
    const std::string prefix = path.substr(0, pos);
    if (!FolderExists(prefix) && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
      return false;
    }
  }
  if (!FolderExists(path)) ::mkdir(path.c_str(), 0777);
  return FolderExists(path);
}

bool CreateFoldersInside(const std::string& base, const std::string& subfolders, std::string& error,
                         std::vector<std::string>* made) {
  if (!FolderExists(base)) {
    error = base + ": " + std::strerror(ENOENT);
    return false;
  }
  std::string folder = base;
  std::size_t start = 0;
  while (start < subfolders.size()) {
    std::size_t end = subfolders.find('/', start);
    if (end == std::string::npos) end = subfolders.size();
    folder.append(subfolders, start, end - start).push_back('/');
    start = end + 1;
    if (::mkdir(folder.c_str(), 0777) == 0) {
      if (made != nullptr) made->push_back(folder);
      continue;
    }
    if (errno == EEXIST && FolderExists(folder)) continue;
    // A file where the folder should be reports EEXIST, which would say nothing useful.
    error = folder + ": " + std::strerror(errno == EEXIST ? ENOTDIR : errno);
    return false;
  }
  return true;
}

void RemoveFoldersLeftEmpty(const std::vector<std::string>& folders) {
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    ::rmdir(folder->c_str());
  }
}

std::optional<std::uint64_t> FreeBytesAt(const std::string& path) {
  struct statvfs info {};
  if (path.empty() || ::statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

bool IsWriteProtectedFile(const std::string& path) {
  struct stat info {};
  if (!StatPath(path, info) || !S_ISREG(info.st_mode)) return false;
  if (::geteuid() == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

bool IsOtherUsersFileInStickyFolder(const std::string& path) {
  struct stat file {};
  struct stat folder {};
  const std::size_t slash = path.rfind('/');
  const std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const uid_t user = ::geteuid();
  return user != 0 && StatPath(path, file) && StatPath(folderPath, folder) &&
         (folder.st_mode & S_ISVTX) != 0 && file.st_uid != user && folder.st_uid != user;
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

std::string FindOnSearchPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const char* searchPath = std::getenv("PATH");
  if (searchPath == nullptr) return {};
  std::string_view folders(searchPath);
  while (true) {
    const std::size_t colon = folders.find(':');
    const std::string_view entry = folders.substr(0, colon);
    // An empty entry in $PATH stands for the current folder.
    const std::string candidate =
        (entry.empty() ? std::string(".") : std::string(entry)) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return {};
    folders.remove_prefix(colon + 1);
  }
}

}  // namespace lumio
