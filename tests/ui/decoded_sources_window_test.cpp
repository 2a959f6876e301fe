#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "encode/child/decoder_lookup.h"
#include "platform/file_system.h"
#include "support/current_folder_guard.h"
#include "support/decoded_sources.h"
#include "support/fake_clock.h"
#include "support/find_control.h"
#include "support/scoped_environment.h"
#include "support/scripted_dialogs.h"
#include "support/temporary_folder.h"
#include "support/wait_for_adding.h"
#include "support/wave_bytes.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/text_conversion.h"

namespace lumio {
namespace {

using test::ScriptedDialogs;

class DecodedSourcesWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ffmpeg_ = FindOnSearchPath("ffmpeg");
    if (ffmpeg_.empty()) GTEST_SKIP() << "ffmpeg is not installed";
    root_ = temp_.path().toStdString() + "/";
    std::filesystem::create_directories(root_ + "program");
  }

  std::string Mp3(const std::string& name) {
    const std::string path = root_ + name;
    EXPECT_TRUE(test::MakeDecodedSource(path, test::DecodedFormats().front(), 0.5));
    return path;
  }

  TMainWindow& Open() {
    windows_ = CreateLumioWindows(dialogs_, root_ + "lumio.ini", clock_, root_ + "program/");
    return *windows_->MainWindow;
  }

  QTemporaryDir temp_;
  std::string root_;
  // The add-files dialog moves the process into its folder, which the test removes.
  test::CurrentFolderGuard folderGuard_;
  std::string ffmpeg_;
  ScriptedDialogs dialogs_;
  test::ScriptedClock clock_;
  std::unique_ptr<LumioWindows> windows_;
};

TEST_F(DecodedSourcesWindowTest, AddDialogOffersEveryKindFirstThenThoseTheEncoderReads) {
  TMainWindow& window = Open();
  const std::string song = Mp3("song.MP3");
  dialogs_.Queue(ScriptedDialogs::FilesAnswer{QStringList{ToQString(song)}});
  test::Control<QPushButton>(window, "InputFileOpen").click();
  const QStringList filters = dialogs_.Prompts().front().filter.split(";;");
  ASSERT_GE(filters.size(), 3);
  for (const char* pattern : {"*.wav", "*.flac", "*.aifc", "*.mp3", "*.m4a", "*.opus", "*.ogg",
                              "*.wv", "*.ape", "*.dsf", "*.caf", "*.cue"}) {
    EXPECT_TRUE(filters[0].contains(QString::fromLatin1(pattern))) << pattern;
  }
  EXPECT_EQ(filters[1], QStringLiteral("WAVE・FLAC・AIFF (*.wav *.flac *.aif *.aiff *.aifc)"));
  EXPECT_EQ(filters[2], QStringLiteral("WAVEファイル (*.wav)"));
  ASSERT_TRUE(test::WaitForAdding(window));
  ASSERT_EQ(window.Jobs().Count(), 1u);
  EXPECT_EQ(window.Jobs().Record(0).OutputFileName, "song.ogg");
  EXPECT_EQ(window.Jobs().Record(0).Title, test::kFixtureTitle);
}

TEST_F(DecodedSourcesWindowTest, MissingDecoderIsSaidOnceAndOnlyForFilesThatNeedIt) {
  const std::string first = Mp3("first.mp3");
  const std::string second = Mp3("second.MP3");
  ASSERT_TRUE(test::WriteToneWave(root_ + "plain.wav", 0.1));
  test::ScopedEnvironment environment;
  environment.Set("PATH", root_ + "program");  // no decoder anywhere

  TMainWindow& window = Open();
  window.FormDropFiles({ToQString(root_ + "plain.wav")});
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_TRUE(dialogs_.Prompts().empty());  // WAVE never needs it
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  window.FormDropFiles({ToQString(first)});
  ASSERT_TRUE(test::WaitForAdding(window));
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(dialogs_.Prompts().front().text, ToQString("\n" + DecoderMissingMessage()));
  window.FormDropFiles({ToQString(second)});  // an unexpected prompt fails the test
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(window.Jobs().Count(), 3u);  // the files are listed all the same

  // Beside the program the decoder is found: nothing to say.
  std::filesystem::create_symlink(ffmpeg_, root_ + "program/ffmpeg");
  TMainWindow& another = Open();
  another.FormDropFiles({ToQString(first)});
  ASSERT_TRUE(test::WaitForAdding(another));
  EXPECT_EQ(dialogs_.Prompts().size(), 1u);
}

TEST_F(DecodedSourcesWindowTest, TheTracksOfACueImageNeedTheDecoderToo) {
  ASSERT_TRUE(test::WriteToneWave(root_ + "image.wav", 0.5));
  ASSERT_TRUE(test::WriteFile(root_ + "image.cue",
                              "FILE \"image.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    INDEX 01 00:00:20\n"));
  test::ScopedEnvironment environment;
  environment.Set("PATH", root_ + "program");  // no decoder anywhere

  TMainWindow& window = Open();
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  window.FormDropFiles({ToQString(root_ + "image.cue")});
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_EQ(window.Jobs().Count(), 2u);
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(dialogs_.Prompts().front().text, ToQString("\n" + DecoderMissingMessage()));
}

}  // namespace
}  // namespace lumio
