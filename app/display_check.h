#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// Whether there is plainly no display for the windows: no Qt platform is named (by
// -platform or QT_QPA_PLATFORM) and neither DISPLAY nor WAYLAND_DISPLAY is set.
bool LacksDisplay(const std::vector<std::string>& arguments, std::string_view qtPlatform,
                  std::string_view display, std::string_view waylandDisplay);

// The one line said when no display can be opened; it points to --batch, which needs none.
std::string NoDisplayLine(bool japanese);

// Called before the QApplication is made: when there is plainly no display, or when Qt
// then finds none it can open (a DISPLAY nobody answers on), writes NoDisplayLine to
// standard error and ends the program with status 1, instead of Qt's abort.
void ExitUnlessDisplayCanOpen(const std::vector<std::string>& arguments, bool japanese);

// Gives Qt's message handling back once the QApplication stands.
void StopWatchingForDisplayFailure();

}  // namespace lumio
