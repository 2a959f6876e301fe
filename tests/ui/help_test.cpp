#include "ui/help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lumio {
namespace {

TEST(HelpTest, FirstFolderHoldingTheHelpTextWins) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const std::string besides = root.filePath("bin/").toStdString();
  const std::string docs = root.filePath("doc/").toStdString();
  const std::string missing = root.filePath("missing/").toStdString();
  ASSERT_TRUE(QDir().mkpath(root.filePath("bin")));
  ASSERT_TRUE(QDir().mkpath(root.filePath("doc")));
  QFile help(root.filePath("doc/lumio.txt"));
  ASSERT_TRUE(help.open(QIODevice::WriteOnly));
  help.close();

  EXPECT_EQ(FindHelpFile({besides, docs}), docs + "lumio.txt");
  EXPECT_EQ(FindHelpFile({missing, besides}), std::nullopt);

  QFile beside(root.filePath("bin/lumio.txt"));
  ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
  beside.close();
  EXPECT_EQ(FindHelpFile({besides, docs}), besides + "lumio.txt");
}

}  // namespace
}  // namespace lumio
