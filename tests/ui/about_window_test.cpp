#include "ui/about_window.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "support/find_control.h"

namespace lumio {
namespace {

TEST(AboutWindowTest, EveryLabelShowsItsWholeTextOnOneLine) {
  TAboutWindow window(nullptr);
  // The texts the main window sets when it opens the window.
  window.ShowVersions(QStringLiteral("Lumio v" LUMIO_VERSION),
                      QStringLiteral("( For OggEnc v0.9 [RC3] )"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("About Lumio"));
  EXPECT_EQ(window.size(), QSize(217, 108));
  EXPECT_EQ(test::Control<QLabel>(window, "ExpositionMessage").text(),
            QStringLiteral("This is Ogg Vorbis Encoder Frontend."));
  for (const char* name : {"VersionName", "ForVer", "Copyright", "ExpositionMessage"}) {
    const QLabel& label = test::Control<QLabel>(window, name);
    EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), label.width())
        << label.text().toStdString();
    EXPECT_FALSE(label.text().contains(QLatin1Char('\n')));
  }
}

}  // namespace
}  // namespace lumio
