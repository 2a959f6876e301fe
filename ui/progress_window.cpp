#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "encode/report/time_format.h"
#include "encode/run/console_sink.h"
#include "ui/control_names.h"
#include "ui/keep_above.h"
#include "ui/look.h"
#include "ui/placement.h"

namespace lumio {

namespace {

// The client area that, with an ordinary title bar and border, gives the outer size of
// 401 × 116 pixels.
constexpr int kClientWidth = 393;
constexpr int kClientHeight = 89;
// The lines below the counters: one per lane, then the batch's.
constexpr int kRowsTop = 84;
constexpr int kRowHeight = 22;
constexpr int kBarMaximum = 1000;
constexpr int kTextLeft = 24;
constexpr int kTextWidth = 220;
constexpr int kBarLeft = 252;
constexpr int kBarWidth = 125;
constexpr int kBarHeight = 16;
// The width the line at the top may take; a longer one is shortened in its middle.
constexpr int kTopLineWidth = kClientWidth - 2 * kTextLeft;
// A bar whose work has begun shows at least this many pixels: the style draws no chunk
// for the first per mille, which left the batch bar empty beside a time left.
constexpr int kLeastVisiblePixels = 4;

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(left, top, width, height);
  label->setAlignment(alignment);
  return label;
}

QProgressBar* MakeBar(QWidget* parent, int top) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, kBarMaximum);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setGeometry(kBarLeft, top, kBarWidth, kBarHeight);
  return bar;
}

int BarValue(double fraction) {
  const int value = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kBarMaximum + 0.5);
  return fraction > 0 ? std::max(value, kLeastVisiblePixels * kBarMaximum / kBarWidth) : value;
}

// The time left in whole seconds, rounded up: "0分0秒" while a second remains would say
// the run is over.
std::int64_t WholeSecondsUp(std::int64_t milliseconds) {
  return milliseconds <= 0 ? 0 : (milliseconds + 999) / 1000 * 1000;
}

QFont FontOfSize(int pixels) {
  QFont font = LumioFont();
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

TProgressWindow::TProgressWindow(QWidget* mainWindow)
    // A dialog-type window: only those carry WM_TRANSIENT_FOR on X11, which keeps them
    // above the window they belong to.
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mainWindow_(mainWindow) {
  setWindowTitle(QStringLiteral("処理中..."));
  setFont(LumioFont());
  resize(kClientWidth, kClientHeight);

  const auto right = Qt::AlignRight | Qt::AlignTop;
  // The button comes first so that it is first in the tab order; the labels take no focus.
  CancelEncoding = Named(new QPushButton(QStringLiteral("中止"), this), "CancelEncoding");
  CancelEncoding->setGeometry(288, 48, 89, 25);
  EncodeFileText =
      Named(MakeLabel(this, QStringLiteral("処理中"), 24, 16, 39, 13), "EncodeFileText");
  EncodeFileText->setFont(FontOfSize(13));
  EncodeFileText->adjustSize();
  Label4 = Named(MakeLabel(this, QStringLiteral("経過"), 32, 56, 25, 17), "Label4");
  MinCount2 = Named(MakeLabel(this, QStringLiteral("0"), 64, 56, 17, 17, right), "MinCount2");
  Label1 = Named(MakeLabel(this, QStringLiteral("分"), 88, 56, 17, 17), "Label1");
  SecCount2 = Named(MakeLabel(this, QStringLiteral("0"), 104, 56, 17, 17, right), "SecCount2");
  Label2 = Named(MakeLabel(this, QStringLiteral("秒"), 128, 56, 12, 12), "Label2");
  Label5 = Named(MakeLabel(this, QStringLiteral("合計"), 168, 56, 24, 17), "Label5");
  MinCount = Named(MakeLabel(this, QStringLiteral("0"), 192, 56, 17, 17, right), "MinCount");
  Label6 = Named(MakeLabel(this, QStringLiteral("分"), 216, 56, 17, 17), "Label6");
  SecCount = Named(MakeLabel(this, QStringLiteral("0"), 232, 56, 17, 17, right), "SecCount");
  Label3 = Named(MakeLabel(this, QStringLiteral("秒"), 256, 56, 17, 17), "Label3");

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TProgressWindow::Timer1Timer);
  connect(CancelEncoding, &QPushButton::clicked, this, &TProgressWindow::CancelEncodingClick);

  batchLabel_ = MakeLabel(this, QStringLiteral("全体"), kTextLeft, 0, kTextWidth, 17);
  remaining_ = MakeLabel(this, QString(), kTextLeft + 40, 0, kTextWidth - 40, 17);
  batchBar_ = MakeBar(this, 0);

  counters_.ZeroAll();
  ShowCounters();
  SetLaneCount(1);
}

void TProgressWindow::SetLaneCount(int lanes) {
  for (const LaneRow& row : lanes_) {
    delete row.text;
    delete row.bar;
  }
  lanes_.clear();
  int top = kRowsTop;
  for (int lane = 0; lane < lanes; ++lane, top += kRowHeight) {
    LaneRow row{MakeLabel(this, QString(), kTextLeft, top, kTextWidth, 17), MakeBar(this, top),
                std::nullopt};
    row.text->show();
    row.bar->show();
    lanes_.push_back(row);
  }
  batchLabel_->move(kTextLeft, top);
  remaining_->move(kTextLeft + 40, top);
  batchBar_->move(kBarLeft, top);
  SetBatchProgress(0, std::nullopt);
  setFixedSize(kClientWidth, top + kRowHeight + 8);
}

void TProgressWindow::SetLane(int lane, const QString& text, double fraction) {
  if (lane < 0 || lane >= static_cast<int>(lanes_.size())) {
    return;
  }
  LaneRow& row = lanes_[static_cast<std::size_t>(lane)];
  if (text.isEmpty()) {
    row.startedAt.reset();
  } else if (text != row.text->toolTip()) {
    row.startedAt = RunSeconds();
  }
  row.text->setText(row.text->fontMetrics().elidedText(text, Qt::ElideMiddle, kTextWidth));
  row.text->setToolTip(text);
  row.bar->setValue(text.isEmpty() ? 0 : BarValue(fraction));
  ShowCounters();
}

void TProgressWindow::SetBatchProgress(double fraction, std::optional<std::int64_t> remainingMs) {
  batchBar_->setValue(BarValue(fraction));
  remaining_->setText(
      remainingMs ? QStringLiteral("残り ") +
                        QString::fromStdString(FormatElapsedTime(WholeSecondsUp(*remainingMs)))
                  : QString());
}

void TProgressWindow::ResetFileCount() {
  counters_.ResetFileCount();
  ShowCounters();
}

void TProgressWindow::SetRunningEncoder(RunningEncoder* encoder) {
  encoder_ = encoder;
  CancelEncoding->setText(QStringLiteral("中止"));
  CancelEncoding->setToolTip(QString());
}

void TProgressWindow::SetEncodeFileText(const QString& text) {
  EncodeFileText->setText(
      EncodeFileText->fontMetrics().elidedText(text, Qt::ElideMiddle, kTopLineWidth));
  EncodeFileText->setToolTip(text);
  EncodeFileText->adjustSize();
}

void TProgressWindow::FormClose() {
  Timer1->stop();
  hide();
}

void TProgressWindow::Timer1Timer() {
  counters_.Tick();
  ShowCounters();
}

void TProgressWindow::CancelEncodingClick() {
  if (encoder_ != nullptr) {
    encoder_->RequestClose();
    // An encoder may ignore the request; the next press ends it by force.
    CancelEncoding->setText(QStringLiteral("強制終了"));
    CancelEncoding->setToolTip(QStringLiteral("もう一度押すとエンコーダを強制終了します"));
  }
}

void TProgressWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) {
    return;
  }
  if (!shownBefore_) {
    shownBefore_ = true;
    PlaceCentredOverMainWindow(*this);
  }
  FormActivate();
}

void TProgressWindow::setVisible(bool visible) {
  // The window manager learns whose window this is before the window is mapped, which is
  // when it reads the hint: a click on the main window then never buries this one.
  if (visible) {
    create();
    KeepAboveMainWindow(*this, mainWindow_);
  }
  QWidget::setVisible(visible);
}

void TProgressWindow::closeEvent(QCloseEvent* event) {
  // The window has no close button; a close the window manager still sends is refused,
  // so that the progress of a running batch cannot be lost from view.
  event->ignore();
}

void TProgressWindow::FormActivate() {
  Timer1->start();
  counters_.ZeroAll();
  ShowCounters();
}

int TProgressWindow::RunSeconds() const {
  return counters_.Total().minutes * 60 + counters_.Total().seconds;
}

ElapsedCount TProgressWindow::FileCount() const {
  if (lanes_.size() <= 1) {
    return counters_.File();
  }
  // Several files run at once: 経過 is the time of the one running longest, so that it
  // does not start again whenever another lane takes a file.
  std::optional<int> oldest;
  for (const LaneRow& row : lanes_) {
    if (row.startedAt && (!oldest || *row.startedAt < *oldest)) {
      oldest = row.startedAt;
    }
  }
  const int seconds = oldest ? RunSeconds() - *oldest : 0;
  return {seconds / 60, seconds % 60};
}

void TProgressWindow::ShowCounters() {
  const ElapsedCount file = FileCount();
  MinCount->setNum(counters_.Total().minutes);
  SecCount->setNum(counters_.Total().seconds);
  MinCount2->setNum(file.minutes);
  SecCount2->setNum(file.seconds);
}

}  // namespace lumio
