#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// Outcome of writing the store back to its file. On failure `errorMessage` holds the
// text to show the user ("ファイル <path> を作成できません").
struct SaveResult {
  bool ok = true;
  std::string errorMessage;
};

// The one in-memory copy of the INI-style settings file. Sections and keys compare
// without regard to letter case; the last section and the last key of a name win;
// duplicates and lines without '=' are kept and written back.
class SettingsStore {
 public:
  // Loads `fileName`; a missing file gives an empty store.
  explicit SettingsStore(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  // True when the file exists but could not be read: every reader then gets its
  // default, and the unreadable file is never silently replaced by a file of defaults.
  bool LoadFailed() const { return loadFailed_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Writes the whole store to its file, atomically: on failure the file on disk is
  // untouched and the store keeps every value.
  [[nodiscard]] SaveResult UpdateFile();

 private:
  struct Section {
    std::string name;
    std::vector<std::string> lines;
  };

  std::string fileName_;
  bool loadFailed_ = false;
  std::vector<Section> sections_;
};

}  // namespace lumio
