#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "core/settings_store.h"
#include "support/current_folder_guard.h"
#include "support/fake_clock.h"
#include "support/flac_cue_bytes.h"
#include "support/scripted_dialogs.h"
#include "support/temporary_folder.h"
#include "support/wait_for_adding.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/text_conversion.h"

namespace lumio {
namespace {

// Each drop reads the setting as it stands then, though the files are read on other
// threads: the tracks, or the FLAC whole once the setting is off.
TEST(EmbeddedCueWindowTest, EachDropFollowsTheSettingAsItStandsThen) {
  QTemporaryDir temp;
  const std::string root = temp.path().toStdString() + "/";
  const test::CurrentFolderGuard folderGuard;
  test::ScriptedDialogs dialogs;
  test::ScriptedClock clock;
  const std::string image = root + "image.flac";
  ASSERT_TRUE(test::WriteFile(image, test::FlacWithBlocks({{5, test::ThreeTrackCueBlock()}})));
  const std::unique_ptr<LumioWindows> windows =
      CreateLumioWindows(dialogs, root + "lumio.ini", clock, root);
  TMainWindow& window = *windows->MainWindow;
  const struct {
    bool split;
    std::size_t added;
  } drops[] = {{true, 3}, {false, 1}, {true, 3}};
  std::size_t count = 0;
  for (const auto& drop : drops) {
    windows->Settings->WriteBool("Options", "SplitEmbeddedCue", drop.split);
    window.FormDropFiles({ToQString(image)});
    ASSERT_TRUE(test::WaitForAdding(window));
    count += drop.added;
    EXPECT_EQ(window.Jobs().Count(), count) << drop.split;
  }
}

}  // namespace
}  // namespace lumio
