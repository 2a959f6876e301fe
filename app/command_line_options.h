#pragma once

// The start-up layer. How it reports failures: before any window opens, a command line
// it cannot take is written to standard error with the usage and ends the program with
// status 2 (--help and --version print to standard output, status 0); a start that
// finds a Lumio running on the same settings file hands its paths over and ends with
// status 0, or writes why it could not to standard error and ends with status 1
// (app/one_instance.h); once the windows are open, every failure is the windows' to
// show, and the program ends with status 0 when its main window closes.

#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// What the program does after reading its command line.
enum class CommandLineAction {
  Run,            // open the windows; `paths` holds the FILE and FOLDER arguments
  PrintAndExit,   // write `text` to standard output and end with status 0
  RefuseAndExit,  // write `text` (the error and the usage) to standard error, status 2
};

struct CommandLineOutcome {
  CommandLineAction action = CommandLineAction::Run;
  std::string text;
  std::vector<std::string> paths;
};

// Reads the program's arguments, the first being the program's own name. Understands
// --help and --version, passes Qt's own options (-platform, -style, ...) on to
// QApplication, and keeps every other argument, byte for byte, as a path. Texts are in
// Japanese when `japanese` is set, in English otherwise. Needs no QCoreApplication, so
// it runs before any display is opened.
CommandLineOutcome ParseCommandLine(const std::vector<std::string>& arguments, bool japanese);

// Whether messages are to be Japanese: the first non-empty one of LC_ALL, LC_MESSAGES and
// LANG decides, as for any program's messages, and "ja" or "ja_*" means Japanese.
bool IsJapaneseLocale(std::string_view lcAll, std::string_view lcMessages, std::string_view lang);

// IsJapaneseLocale for this process's environment.
bool IsJapaneseLocaleInEnvironment();

// Writes the outcome's text where it belongs and returns the exit status for it.
int PrintCommandLineOutcome(const CommandLineOutcome& outcome);

}  // namespace lumio
