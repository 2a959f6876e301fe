#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_system.h"
#include "support/current_folder_guard.h"
#include "support/fake_clock.h"
#include "support/scoped_environment.h"
#include "support/scripted_dialogs.h"
#include "support/temporary_folder.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"

namespace lumio {
namespace {

// Lumio built in a checkout and started from it, as scripts/run.sh does: with no saved
// folders, the add-files dialog and the output folder start in the music folder; saved
// folders are kept.
class FirstFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder :
         {"checkout/.git", "checkout/build/app", "home/Music", "config", "saved/in", "saved/out"}) {
      std::filesystem::create_directories(root_.PathOf(folder));
    }
    environment_.Set("HOME", root_.PathOf("home")).Set("XDG_CONFIG_HOME", root_.PathOf("config"));
    ASSERT_TRUE(test::SetCurrentFolder(root_.PathOf("checkout")));
  }
  std::unique_ptr<LumioWindows> Start(const std::string& settings) {
    const std::string path = root_.Write("lumio.ini", settings);
    return CreateLumioWindows(dialogs_, path, clock_, root_.PathOf("checkout/build/app/"));
  }

  test::TemporaryFolder root_;
  test::ScopedEnvironment environment_;
  test::CurrentFolderGuard currentFolder_;
  test::ScriptedDialogs dialogs_;
  test::ScriptedClock clock_;
};

TEST_F(FirstFoldersTest, NothingSavedStartsBothInTheMusicFolder) {
  const auto windows = Start("");
  EXPECT_EQ(windows->MainWindow->OpenDir(), root_.PathOf("home/Music/"));
  EXPECT_EQ(windows->MainWindow->DefDir(), root_.PathOf("home/Music/"));
}

TEST_F(FirstFoldersTest, SavedFoldersAreUsedAsTheyAre) {
  const auto windows = Start("[General]\nOpenDir=" + root_.PathOf("saved/in/") +
                             "\nDefDir=" + root_.PathOf("saved/out/") + "\n");
  EXPECT_EQ(windows->MainWindow->OpenDir(), root_.PathOf("saved/in/"));
  EXPECT_EQ(windows->MainWindow->DefDir(), root_.PathOf("saved/out/"));
}

}  // namespace
}  // namespace lumio
