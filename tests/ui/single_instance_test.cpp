#include "ui/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace lumio {
namespace {

TEST(SingleInstance, SecondStartHandsItsPathsToTheRunningOne) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QString name = temp.filePath(QStringLiteral("lumio.socket"));
  const QStringList paths = {QStringLiteral("/music/曲 1.flac"), QStringLiteral("/music/a\nb"),
                             QStringLiteral("/music/folder")};

  EXPECT_FALSE(HandOverToRunningInstance(name, paths));  // nobody listens yet
  // A file left where the socket goes, as after a crash, is replaced.
  QFile stale(name);
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  EXPECT_FALSE(HandOverToRunningInstance(name, paths));
  InstanceServer server(name);

  std::vector<QStringList> received;
  QObject::connect(&server, &InstanceServer::PathsReceived,
                   [&](const QStringList& got) { received.push_back(got); });
  ASSERT_TRUE(HandOverToRunningInstance(name, paths));
  QElapsedTimer waited;
  waited.start();
  while (received.empty() && waited.elapsed() < 5000) QCoreApplication::processEvents();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received.front(), paths);
}

TEST(SingleInstance, NamesDependOnTheSettingsFile) {
  EXPECT_EQ(InstanceServerName(QStringLiteral("/a/lumio.ini")),
            InstanceServerName(QStringLiteral("/a/lumio.ini")));
  EXPECT_NE(InstanceServerName(QStringLiteral("/a/lumio.ini")),
            InstanceServerName(QStringLiteral("/b/lumio.ini")));
}

TEST(SingleInstance, StartPathsAreAbsolute) {
  const QString here = QDir::currentPath();
  EXPECT_EQ(StartPaths({"song.flac", "/m/album", "-x.wav"}),
            (QStringList{here + QStringLiteral("/song.flac"), QStringLiteral("/m/album"),
                         here + QStringLiteral("/-x.wav")}));
  EXPECT_TRUE(StartPaths({}).isEmpty());
}

}  // namespace
}  // namespace lumio
