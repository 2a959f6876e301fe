#include "ui/source_adder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>

namespace lumio {
namespace {

TEST(SourceAdder, LargeFolderIsAddedInSlicesWhileTheEventLoopRuns) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const std::string folder = temp.path().toStdString() + "/many";
  std::filesystem::create_directory(folder);
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) {
    std::ofstream(folder + "/" + std::to_string(i) + ".flac") << "x";
  }

  QWidget window;
  std::vector<std::string> added;
  SourceAdder adder(
      window, {PathStyle::Posix, CodePage::Utf8},
      [&](const std::string& path, const std::string&, SourceReading) {
        added.push_back(path);
        return path.size() % 7 != 0;  // some files "cannot be read"
      },
      std::chrono::milliseconds(1));
  std::vector<std::string> failed;
  bool finished = false;
  QObject::connect(&adder, &SourceAdder::Finished, [&](const std::vector<std::string>& f) {
    failed = f;
    finished = true;
  });
  int ticks = 0;  // events the loop handled while the files were being added
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(0);

  adder.Add({folder}, false);
  EXPECT_TRUE(adder.Running());
  EXPECT_FALSE(finished);
  while (!finished) QCoreApplication::processEvents();

  EXPECT_GT(ticks, 0);
  EXPECT_FALSE(adder.Running());
  ASSERT_EQ(added.size(), static_cast<std::size_t>(kFiles));
  for (int i = 0; i < kFiles; ++i) {
    ASSERT_EQ(added[i], folder + "/" + std::to_string(i) + ".flac");
  }
  std::size_t expectedFailures = 0;
  for (const std::string& path : added) expectedFailures += path.size() % 7 == 0 ? 1 : 0;
  EXPECT_EQ(failed.size(), expectedFailures);
}

TEST(SourceAdder, FailureMessageNamesTheFirstTwentyThenCounts) {
  std::vector<std::string> failed;
  for (int i = 0; i < 21; ++i) failed.push_back("/m/" + std::to_string(i) + ".wav");
  const std::string text = AddFailureMessage(failed);
  EXPECT_EQ(text.rfind("\n次のファイルを追加できませんでした（21 件）\n/m/0.wav\n/m/1.wav\n", 0),
            0u);
  EXPECT_NE(text.find("\n/m/19.wav\nほか 1 件"), std::string::npos);
  EXPECT_EQ(text.find("/m/20.wav"), std::string::npos);
  EXPECT_EQ(AddFailureMessage({"/a.wav"}), "\n次のファイルを追加できませんでした（1 件）\n/a.wav");
}

}  // namespace
}  // namespace lumio
