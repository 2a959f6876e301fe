#include "ui/console_window.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <string>
#include <vector>

#include "support/counting_encoder.h"
#include "support/find_control.h"

namespace lumio {
namespace {

using test::CountingEncoder;

TEST(ConsoleWindowTest, ShowsOutputAsATerminalWould) {
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    QString shown;
  };
  const Case cases[] = {
      {"lines", {"one\ntwo\n", "three"}, "one\ntwo\nthree"},
      {"carriage return overwrites from the line start", {"abcdef\rXY"}, "XYcdef"},
      {"progress line rewritten in place",
       {"Encoding\n", "\r\t[  5.0%]", "\r\t[ 50.0%]", "\r\t[100.0%]\n", "Done.\n"},
       "Encoding\n\t[100.0%]\nDone.\n"},
      {"CR LF ends a line", {"a\r\nb\r\n"}, "a\nb\n"},
      {"carriage return split from its text", {"12345\r", "ab"}, "ab345"},
      {"character split across chunks", {"\xE5\x87", "\xA6\xE7\x90\x86\n"}, "処理\n"},
      {"long line wraps at 1024 columns",
       {std::string(1500, 'x'), "\rab"},
       QString(1024, QLatin1Char('x')) + QLatin1Char('\n') + QStringLiteral("ab") +
           QString(474, QLatin1Char('x'))},
  };
  for (const Case& c : cases) {
    TConsoleWindow window(nullptr);
    CountingEncoder encoder;
    window.EncoderStarted("/usr/bin/oggenc", encoder);
    for (const std::string& chunk : c.chunks) {
      window.EncoderOutput(chunk);
    }
    EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Output").toPlainText(), c.shown) << c.name;
  }
}

TEST(ConsoleWindowTest, AppearsTitledWithTheEncoderAndGoesWhenItEnds) {
  TConsoleWindow window(nullptr);
  CountingEncoder encoder;
  window.EncoderStarted("/opt/enc/oggenc", encoder);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("/opt/enc/oggenc"));
  window.EncoderOutput("first run\n");
  window.EncoderEnded();
  EXPECT_FALSE(window.isVisible());

  window.EncoderStarted("/opt/enc/oggenc", encoder);  // each encoder starts on a clean page
  EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Output").toPlainText(), QString());
}

TEST(ConsoleWindowTest, ClosingAsksTheRunningEncoderToClose) {
  TConsoleWindow window(nullptr);
  CountingEncoder encoder;
  window.EncoderStarted("oggenc", encoder);
  window.close();
  EXPECT_EQ(encoder.closeRequests, 1);
  // Still there for a second request, until the encoder ends.
  EXPECT_TRUE(window.isVisible());
  window.close();
  EXPECT_EQ(encoder.closeRequests, 2);
  window.EncoderEnded();
  EXPECT_FALSE(window.isVisible());
  window.show();
  window.close();  // the encoder has ended: nobody to ask
  EXPECT_EQ(encoder.closeRequests, 2);
  EXPECT_FALSE(window.isVisible());
}

TEST(ConsoleWindowTest, MegabytesWithoutALineFeedStayQuick) {
  TConsoleWindow window(nullptr);
  CountingEncoder encoder;
  window.EncoderStarted("oggenc", encoder);
  // 8 MB in pipe-sized chunks: rewriting an ever longer line took minutes.
  const std::string chunk(65536, 'x');
  QElapsedTimer elapsed;
  elapsed.start();
  for (int i = 0; i < 128; ++i) {
    window.EncoderOutput(chunk);
  }
  EXPECT_LT(elapsed.elapsed(), 10000);
  // 8192 lines of 1024 columns, of which the console keeps the newest 5000.
  EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Output").document()->blockCount(), 5000);
  EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Output").document()->lastBlock().length() - 1,
            1024);
}

TEST(ConsoleWindowTest, ManyProgressUpdatesKeepOneLine) {
  TConsoleWindow window(nullptr);
  CountingEncoder encoder;
  window.EncoderStarted("oggenc", encoder);
  for (int i = 0; i < 2000; ++i) {
    window.EncoderOutput("\r\t[" + std::to_string(i) + "]");
  }
  EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Output").document()->blockCount(), 1);
  EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Output").toPlainText(),
            QStringLiteral("\t[1999]"));
}

}  // namespace
}  // namespace lumio
