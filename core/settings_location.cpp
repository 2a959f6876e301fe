#include "core/settings_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/program_location.h"

namespace lumio {

namespace {

// Lowers the single-byte letters A to Z; both bytes of a double-byte character stay,
// even when the trail byte looks like a capital letter.
std::string LowerCased(std::string_view text, CodePage codePage) {
  std::string result(text);
  for (std::size_t pos = 0; pos < result.size(); pos += CharacterLength(result, pos, codePage)) {
    if (CharacterLength(result, pos, codePage) == 1 && result[pos] >= 'A' && result[pos] <= 'Z') {
      result[pos] = static_cast<char>(result[pos] - 'A' + 'a');
    }
  }
  return result;
}

// The file name with its extension (from the last '.') replaced by ".ini", or ".ini"
// appended when it has none.
std::string IniFileName(std::string_view fileName, CodePage codePage) {
  const std::size_t dot = FindLastCharacter(fileName, ".", codePage);
  std::string result(fileName.substr(0, dot));
  result += ".ini";
  return result;
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = EnvironmentValue("HOME");
  if (!home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return (entry != nullptr && entry->pw_dir != nullptr) ? std::string(entry->pw_dir)
                                                        : std::string();
}

}  // namespace

std::string SettingsFilePathFor(const SettingsEnvironment& environment) {
  const PathRules rules = NativePathRules();
  // Lowering the whole path would name folders that do not exist on Linux, so only
  // the file name is lowered.
  const std::string beside =
      FolderPart(environment.programPath, rules) +
      LowerCased(IniFileName(FileNamePart(environment.programPath, rules), rules.codePage),
                 rules.codePage);
  if (FileExists(beside)) return beside;
  std::string configHome = environment.xdgConfigHome;
  if (configHome.empty() || configHome.front() != '/') {
    if (environment.home.empty()) return beside;
    configHome = WithTrailingSeparator(environment.home, rules) + ".config";
  }
  return WithTrailingSeparator(configHome, rules) + "lumio/lumio.ini";
}

std::string SettingsFilePath() {
  return SettingsFilePathFor(
      SettingsEnvironment{ProgramFilePath(), EnvironmentValue("XDG_CONFIG_HOME"), HomeFolder()});
}

}  // namespace lumio
