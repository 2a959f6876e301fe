#include "app/display_check.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace lumio {

namespace {

bool nextMessageJapanese = false;
QtMessageHandler qtHandler = nullptr;

// Qt ends the program with a fatal message when no platform plugin can start; that is
// a missing display, said in one line, not a crash.
void SayNoDisplayOnFatal(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (type == QtFatalMsg) {
    std::fputs(NoDisplayLine(nextMessageJapanese).c_str(), stderr);
    std::_Exit(1);
  }
  qtHandler(type, context, message);
}

const char* EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool NamesPlatform(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") {
      break;
    }
    for (const std::string_view option : {"-platform", "--platform"}) {
      if (argument == option || argument.starts_with(std::string(option) + "=")) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool LacksDisplay(const std::vector<std::string>& arguments, std::string_view qtPlatform,
                  std::string_view display, std::string_view waylandDisplay) {
  return qtPlatform.empty() && display.empty() && waylandDisplay.empty() &&
         !NamesPlatform(arguments);
}

std::string NoDisplayLine(bool japanese) {
  return japanese ? "lumio: ウィンドウを表示できるディスプレイがありません (DISPLAY と "
                    "WAYLAND_DISPLAY が未設定か、接続できません)。lumio --batch なら"
                    "ディスプレイなしで変換できます\n"
                  : "lumio: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY "
                    "are unset, or cannot be reached); lumio --batch encodes without one\n";
}

void ExitUnlessDisplayCanOpen(const std::vector<std::string>& arguments, bool japanese) {
  if (LacksDisplay(arguments, EnvironmentValue("QT_QPA_PLATFORM"), EnvironmentValue("DISPLAY"),
                   EnvironmentValue("WAYLAND_DISPLAY"))) {
    std::fputs(NoDisplayLine(japanese).c_str(), stderr);
    std::exit(1);
  }
  nextMessageJapanese = japanese;
  qtHandler = qInstallMessageHandler(SayNoDisplayOnFatal);
}

void StopWatchingForDisplayFailure() { qInstallMessageHandler(qtHandler); }

}  // namespace lumio
