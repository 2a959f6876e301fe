#include "ui/single_instance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

#include "core/hand_over_message.h"
#include "platform/exclusive_lock.h"

namespace lumio {
namespace {

using namespace std::chrono_literals;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    place_ = PlaceIn(QStringLiteral("run"));
  }

  // A runtime folder of its own inside the test's folder.
  InstancePlace PlaceIn(const QString& name) const {
    EXPECT_TRUE(QDir(folder_.path()).mkdir(name));
    const QString runtime = folder_.filePath(name);
    return {runtime + QStringLiteral("/lumio.lock"), runtime + QStringLiteral("/lumio.socket")};
  }

  // How this thread's event loop serves the owner while a second start waits.
  enum class Serving {
    Now,       // at once
    Never,     // not until the start has given up, as if the owner had been stopped
    OnceLate,  // not for twice the patience, as a loaded owner still building its windows
  };

  // A second start, on a thread of its own, so that this thread's event loop serves the
  // owner (or not) while the start waits for its answer. `patience` bounds the wait for
  // the answer, and for the owner to listen too, but for an owner that serves late.
  InstanceStartOutcome SecondStart(const std::vector<std::string>& paths,
                                   std::chrono::milliseconds patience = kOwnerPatience,
                                   Serving serving = Serving::Now) {
    InstanceStartOutcome outcome = InstanceStartOutcome::Owner;
    const auto startPatience = serving == Serving::OnceLate ? kOwnerStartPatience : patience;
    std::unique_ptr<QThread> start(QThread::create([&] {
      InstanceStart result = TakeInstanceOrHandOver(place_, paths, patience, startPatience);
      outcome = result.outcome;
    }));
    QSignalSpy finished(start.get(), &QThread::finished);
    start->start();
    if (serving == Serving::Never) {
      EXPECT_TRUE(start->wait(30'000));
      return outcome;
    }
    // The start does not give up on an owner that has not listened yet.
    if (serving == Serving::OnceLate) {
      EXPECT_FALSE(start->wait(2 * patience));
    }
    EXPECT_TRUE(finished.wait(30'000));
    return outcome;
  }

  QTemporaryDir folder_;
  InstancePlace place_;
};

// Runs the owner's side of a hand-over and collects what it receives. With `listening`,
// the owner's socket stands once it is made (it listens from the event loop).
struct Owner {
  explicit Owner(const InstancePlace& place, bool listening = true)
      : start(TakeInstanceOrHandOver(place, {})) {
    if (start.server) {
      QObject::connect(
          start.server.get(), &InstanceServer::PathsReceived,
          [this](const std::vector<std::string>& paths) { received.push_back(paths); });
    }
    if (listening) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(place.socket); }));
    }
  }
  InstanceStart start;
  std::vector<std::vector<std::string>> received;
};

TEST_F(SingleInstanceTest, TenThousandPathsArriveWholeWithTheirBytes) {
  Owner owner(place_);
  ASSERT_EQ(owner.start.outcome, InstanceStartOutcome::Owner);
  std::vector<std::string> paths;
  for (int i = 0; i < 10'000; ++i) {
    // About 1 MB in all, with bytes that are not UTF-8 and a line break among them.
    paths.push_back("/music/アルバム " + std::to_string(i) + "/\xff\xfe\n" + std::string(70, 'x') +
                    ".flac");
  }
  EXPECT_EQ(SecondStart(paths), InstanceStartOutcome::HandedOver);
  ASSERT_EQ(owner.received.size(), 1u);
  EXPECT_EQ(owner.received.front(), paths);

  // A bare start only brings the window to the front.
  EXPECT_EQ(SecondStart({}), InstanceStartOutcome::HandedOver);
  ASSERT_EQ(owner.received.size(), 2u);
  EXPECT_TRUE(owner.received.back().empty());
}

TEST_F(SingleInstanceTest, OneOwnerAtATimeAndASecondStartNeverPretendsSuccess) {
  enum class Holder {
    Nobody,
    NobodyButAStaleSocket,
    Owner,
    StoppedOwner,
    StartingOwner,
    LockWithoutListener,
    SilentListener,
    NoRuntimeFolder
  };
  struct Row {
    Holder holder;
    std::size_t pathBytes;
    InstanceStartOutcome expected;
  };
  const Row rows[] = {
      {Holder::Nobody, 10, InstanceStartOutcome::Owner},
      {Holder::NobodyButAStaleSocket, 10, InstanceStartOutcome::Owner},
      {Holder::Owner, 10, InstanceStartOutcome::HandedOver},
      {Holder::StoppedOwner, 10, InstanceStartOutcome::NoAnswer},
      {Holder::StartingOwner, 10, InstanceStartOutcome::HandedOver},
      {Holder::LockWithoutListener, 10, InstanceStartOutcome::NoAnswer},
      {Holder::SilentListener, 10, InstanceStartOutcome::NoAnswer},
      {Holder::Owner, kHandOverBodyLimit, InstanceStartOutcome::TooMany},
      {Holder::NoRuntimeFolder, 10, InstanceStartOutcome::NoLock},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(i);
    place_ = PlaceIn(QString::number(i));
    std::unique_ptr<Owner> owner;
    std::unique_ptr<ExclusiveLock> lock;
    QLocalServer silent;
    switch (row.holder) {
      case Holder::Nobody:
        break;
      case Holder::NoRuntimeFolder:
        ASSERT_TRUE(QDir(folder_.path()).rmdir(QString::number(i)));
        break;
      case Holder::NobodyButAStaleSocket: {
        QFile stale(place_.socket);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        break;
      }
      case Holder::Owner:
      case Holder::StoppedOwner:
        owner = std::make_unique<Owner>(place_);
        break;
      case Holder::StartingOwner:
        owner = std::make_unique<Owner>(place_, false);
        break;
      case Holder::SilentListener:
        ASSERT_TRUE(silent.listen(place_.socket));
        [[fallthrough]];
      case Holder::LockWithoutListener:
        lock = std::make_unique<ExclusiveLock>(place_.lock.toStdString());
        ASSERT_EQ(lock->Result(), ExclusiveLock::Outcome::Taken);
        break;
    }
    const std::vector<std::string> paths = {std::string(row.pathBytes, 'p')};
    if (row.expected == InstanceStartOutcome::Owner) {
      const InstanceStart start = TakeInstanceOrHandOver(place_, paths, 300ms);
      ASSERT_EQ(start.outcome, InstanceStartOutcome::Owner);
      // It listens, and holds a later start off with its lock.
      EXPECT_EQ(SecondStart(paths), InstanceStartOutcome::HandedOver);
    } else {
      // Only a start that is to give up, or that an owner keeps waiting, waits out a short
      // patience; one that is answered has the whole patience, however loaded the machine.
      const bool late = row.holder == Holder::StartingOwner;
      const auto patience =
          row.expected == InstanceStartOutcome::NoAnswer || late ? 300ms : kOwnerPatience;
      const Serving serving = row.holder == Holder::StoppedOwner ? Serving::Never
                              : late                             ? Serving::OnceLate
                                                                 : Serving::Now;
      EXPECT_EQ(SecondStart(paths, patience, serving), row.expected);
    }
    if (owner) {
      // The owner, serving again, takes a later start, and never the paths of a start
      // that said it could not hand them over: connections are served in turn, so those
      // would have come first.
      const std::vector<std::string> later = {"/later.flac"};
      EXPECT_EQ(SecondStart(later), InstanceStartOutcome::HandedOver);
      std::vector<std::vector<std::string>> expected = {later};
      if (row.expected == InstanceStartOutcome::HandedOver)
        expected.insert(expected.begin(), paths);
      EXPECT_EQ(owner->received, expected);
      // The socket stays for the owner, whatever the second start did, and goes with it.
      EXPECT_TRUE(QFile::exists(place_.socket));
      owner.reset();
      EXPECT_FALSE(QFile::exists(place_.socket));
      EXPECT_EQ(TakeInstanceOrHandOver(place_, {}).outcome, InstanceStartOutcome::Owner);
    }
  }
}

TEST_F(SingleInstanceTest, OversizedOrForeignMessagesAreDroppedBeforeTheirBodyIsRead) {
  Owner owner(place_);
  ASSERT_EQ(owner.start.outcome, InstanceStartOutcome::Owner);
  const std::string oversized = EncodeHandOver({std::string(100, 'a')})->substr(0, 12) +
                                std::string("\x00\x00\x00\x00\x04\x00\x00\x01", 8);
  for (const std::string& header : {oversized, std::string("GET / HTTP/1.1\r\nHost: x\r\n")}) {
    QLocalSocket sender;
    sender.connectToServer(place_.socket);
    ASSERT_TRUE(sender.waitForConnected(5000));
    QSignalSpy dropped(&sender, &QLocalSocket::disconnected);
    // The announced body follows in part; the owner never waits for the rest.
    sender.write(QByteArray::fromStdString(header) + QByteArray(1 << 20, 'x'));
    EXPECT_TRUE(dropped.wait(5000));
  }
  EXPECT_TRUE(owner.received.empty());
}

TEST(StartPaths, AreAbsoluteAndKeepTheirBytes) {
  const std::string here = QDir::currentPath().toStdString();
  EXPECT_EQ(StartPaths({"song.flac", "/m/album/", "-x.wav", "\xff\xfe.wav", "./a/../b.wav"}),
            (std::vector<std::string>{here + "/song.flac", "/m/album/", here + "/-x.wav",
                                      here + "/\xff\xfe.wav", here + "/b.wav"}));
  EXPECT_TRUE(StartPaths({}).empty());
}

}  // namespace
}  // namespace lumio
