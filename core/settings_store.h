#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

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
  // As above, with the code page whose double-byte characters the case-insensitive
  // comparison of names leaves untouched (the system's code page by default).
  SettingsStore(std::string fileName, CodePage codePage);

  const std::string& FileName() const { return fileName_; }

  // True when the file exists but could not be read: every reader then gets its
  // default, and the unreadable file is never silently replaced by a file of defaults.
  bool LoadFailed() const { return loadFailed_; }

  // The text to show the user when LoadFailed() is true: the store goes on with
  // defaults and the unreadable file is kept as "<path>.unreadable" (or, when that name
  // is taken by an earlier one, "<path>.unreadable.1", …) at the next save. Empty when
  // the load did not fail.
  std::string LoadFailureMessage() const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // A value holding CR, LF or NUL cannot be stored in the file: it is not written, and
  // the entry keeps its former value.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Writes the whole store to its file, atomically: on failure the file on disk is
  // untouched and the store keeps every value. A file the user may not write to is not
  // replaced: that save fails.
  [[nodiscard]] SaveResult UpdateFile();

 private:
  struct Section {
    std::string name;
    std::vector<std::string> lines;
  };

  void Load();
  std::string UnreadableBaseName() const;
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::string fileName_;
  CodePage codePage_;
  bool loadFailed_ = false;
  std::string keptAsideName_;
  std::vector<Section> sections_;
};

}  // namespace lumio
