#include "ui/source_adder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <mutex>

#include "support/sound_bytes.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

const PathRules kRules{PathStyle::Posix, CodePage::Utf8};

// Reads every file as readable, except that reading `held` waits until Release. The
// gate outlives the test, as a reader thread abandoned on it may.
class HeldReader {
 public:
  explicit HeldReader(std::string held) : gate_(std::make_shared<Gate>()) {
    gate_->held = std::move(held);
    gate_->opened = gate_->open.get_future().share();
  }

  FeedReadFunction Function() const {
    return [gate = gate_](const std::string& path, bool) {
      SourceReading reading;
      reading.readable = true;
      if (path == gate->held) {
        gate->entered = true;
        gate->opened.wait();
        gate->left = true;
      }
      return reading;
    };
  }
  bool Entered() const { return gate_->entered; }
  bool Left() const { return gate_->left; }
  void Release() {
    if (!released_) gate_->open.set_value();
    released_ = true;
  }
  ~HeldReader() { Release(); }

 private:
  struct Gate {
    std::string held;
    std::promise<void> open;
    std::shared_future<void> opened;
    std::atomic<bool> entered{false};
    std::atomic<bool> left{false};
  };
  std::shared_ptr<Gate> gate_;
  bool released_ = false;
};

class SourceAdderTest : public ::testing::Test {
 protected:
  std::unique_ptr<SourceAdder> MakeAdder(FeedReadFunction read = {}) {
    auto adder = std::make_unique<SourceAdder>(
        window_, kRules,
        [this](const std::string& path, const std::string&, SourceReading reading) {
          added_.push_back(path);
          return reading.readable;
        },
        std::move(read));
    QObject::connect(adder.get(), &SourceAdder::Finished,
                     [this](const std::vector<std::string>& failed) { runs_.push_back(failed); });
    return adder;
  }

  bool WaitForFinished(std::size_t runs) {
    return QTest::qWaitFor([&] { return runs_.size() >= runs; }, 30000);
  }

  std::string Folder(const std::string& name, int files) {
    const std::string folder = temporary_.PathOf(name);
    std::filesystem::create_directory(folder);
    for (int i = 0; i < files; ++i) std::ofstream(folder + "/" + std::to_string(i) + ".wav");
    return folder;
  }

  const test::TemporaryFolder temporary_;
  QWidget window_;
  std::vector<std::string> added_;
  std::vector<std::vector<std::string>> runs_;  // the failures of each finished run
};

TEST_F(SourceAdderTest, LargeFolderArrivesInWalkOrderWithItsFailures) {
  const std::string folder = Folder("many", 3000);
  const auto adder = MakeAdder([](const std::string& path, bool) {
    SourceReading reading;
    reading.readable = path.size() % 7 != 0;  // some files "cannot be read"
    return reading;
  });
  adder->Add({{folder}, false});
  EXPECT_TRUE(adder->Running());
  EXPECT_TRUE(runs_.empty());  // never before the event loop has run
  ASSERT_TRUE(WaitForFinished(1));

  EXPECT_FALSE(adder->Running());
  ASSERT_EQ(added_.size(), 3000u);
  std::vector<std::string> failed;
  for (int i = 0; i < 3000; ++i) {
    const std::string path = folder + "/" + std::to_string(i) + ".wav";
    ASSERT_EQ(added_[i], path);
    if (path.size() % 7 == 0) failed.push_back(path);
  }
  EXPECT_EQ(runs_[0], failed);
}

TEST_F(SourceAdderTest, SheetsAddATrackEachOrAreNamedWithTheirReason) {
  const std::string folder = Folder("discs", 1);
  for (const char* sheet : {"/a.cue", "/b.cue"}) std::ofstream(folder + sheet);
  const auto adder = MakeAdder([&](const std::string& path, bool) {
    SourceReading reading;
    if (path == folder + "/a.cue") {
      for (int i = 0; i < 2; ++i) {
        SourceReading track;
        track.readable = true;
        reading.tracks.push_back({folder + "/a.flac", std::move(track)});
      }
    } else if (path == folder + "/b.cue") {
      reading.failure = "no track";
    } else {
      reading.readable = true;
    }
    return reading;
  });
  adder->Add({{folder}, false});
  ASSERT_TRUE(WaitForFinished(1));
  // The failed sheet is offered too, and refused, as an unreadable file is.
  EXPECT_EQ(added_, (std::vector<std::string>{folder + "/0.wav", folder + "/a.flac",
                                              folder + "/a.flac", folder + "/b.cue"}));
  EXPECT_EQ(runs_[0], std::vector<std::string>{folder + "/b.cue（no track）"});
}

// A FLAC file whose metadata is zeros behind STREAMINFO, as a half-downloaded file is,
// of 300 MB (sparse): its walk once froze the window for half a minute.
TEST_F(SourceAdderTest, ZeroFilledFlacIsAddedWhileTheEventLoopKeepsTurning) {
  std::string start = test::FlacStart(44100, 2, 16, 44100);
  start[4] = 0;  // more metadata blocks follow, says STREAMINFO
  const std::string path = temporary_.Write("zeros.flac", start);
  ASSERT_EQ(::truncate(path.c_str(), off_t{300} << 20), 0);

  QElapsedTimer sinceTick;
  qint64 longestGap = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout,
                   [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
  sinceTick.start();
  ticker.start(10);
  const auto adder = MakeAdder();
  adder->Add({{path}, false});
  ASSERT_TRUE(WaitForFinished(1));
  ticker.stop();
  EXPECT_EQ(added_, std::vector<std::string>{path});
  EXPECT_TRUE(runs_[0].empty());
  // The freeze was half a minute; the bound leaves room for a loaded, sanitized build.
  EXPECT_LT(longestGap, 2000);
}

TEST_F(SourceAdderTest, CancelReturnsAtOnceWhileAReadIsStuckAndDropsItsResult) {
  HeldReader reader("/m/stuck.wav");
  auto adder = MakeAdder(reader.Function());
  adder->Add({{"/m/a.wav", "/m/stuck.wav", "/m/c.wav"}, true});
  // The progress dialog comes up and takes input while the read is stuck.
  QProgressDialog* progress = nullptr;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    progress = window_.findChild<QProgressDialog*>(QStringLiteral("AddProgress"));
    return progress != nullptr && progress->isVisible();
  }));
  ASSERT_TRUE(reader.Entered());
  QElapsedTimer cancel;
  cancel.start();
  progress->findChild<QPushButton*>()->click();  // キャンセル
  // The end is told after the cancel signal has returned, from the event loop.
  EXPECT_TRUE(runs_.empty());
  ASSERT_TRUE(WaitForFinished(1));
  // The read stays stuck until released: a cancel that waited for it would never end,
  // and one that waited for a timeout would take seconds.
  EXPECT_LT(cancel.elapsed(), 1000);
  EXPECT_FALSE(adder->Running());

  // The next add starts afresh: nothing of the cancelled one comes with it, not even
  // once the stuck read returns.
  adder->Add({{"/m/next.wav"}, true});
  ASSERT_TRUE(WaitForFinished(2));
  // Nor does the program's end wait for a stuck read.
  adder->Add({{"/m/stuck.wav"}, true});
  cancel.restart();
  adder.reset();
  EXPECT_LT(cancel.elapsed(), 1000);
  reader.Release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return reader.Left(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(added_, std::vector<std::string>{"/m/next.wav"});
}

TEST_F(SourceAdderTest, FileDroppedDuringAFolderWalkLandsAfterTheWalksFiles) {
  const std::string folder = Folder("album", 20);
  HeldReader reader(folder + "/3.wav");
  const auto adder = MakeAdder(reader.Function());
  adder->Add({{folder}, false});
  ASSERT_TRUE(QTest::qWaitFor([&] { return reader.Entered(); }));
  adder->Add({{"/m/dropped.wav"}, true});
  reader.Release();
  ASSERT_TRUE(WaitForFinished(1));
  ASSERT_EQ(runs_.size(), 1u);  // one run takes both
  ASSERT_EQ(added_.size(), 21u);
  EXPECT_EQ(added_[19], folder + "/19.wav");
  EXPECT_EQ(added_[20], "/m/dropped.wav");
}

TEST_F(SourceAdderTest, EachRequestIsReadWithItsOwnEmbeddedCueChoice) {
  HeldReader held("/m/held.wav");
  const FeedReadFunction holding = held.Function();
  std::mutex lock;
  std::map<std::string, bool> split;
  const auto adder = MakeAdder([&](const std::string& path, bool splitEmbeddedCue) {
    {
      const std::lock_guard guard(lock);
      split[path] = splitEmbeddedCue;
    }
    return holding(path, splitEmbeddedCue);
  });
  adder->Add({{"/m/held.wav"}, true, true});
  ASSERT_TRUE(QTest::qWaitFor([&] { return held.Entered(); }));
  // Both queued while the first is stuck: each keeps its own choice.
  adder->Add({{"/m/whole.flac"}, true, false});
  adder->Add({{"/m/split.flac"}, true, true});
  held.Release();
  ASSERT_TRUE(WaitForFinished(1));
  EXPECT_EQ(split, (std::map<std::string, bool>{
                       {"/m/held.wav", true}, {"/m/whole.flac", false}, {"/m/split.flac", true}}));
}

TEST(AddFailureMessage, NamesTheFirstTwentyThenCounts) {
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
