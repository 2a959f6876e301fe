#include "ui/about_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "ui/look.h"
#include "ui/placement.h"

namespace lumio {

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect place, Qt::Alignment vertical,
                  int fontPixels) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(place);
  label->setAlignment(Qt::AlignHCenter | vertical);
  QFont font = LumioFont();
  font.setPixelSize(fontPixels);
  label->setFont(font);
  return label;
}

}  // namespace

TAboutWindow::TAboutWindow(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("About Lumio"));
  setFont(LumioFont());
  setFixedSize(217, 108);

  // The button is made first: it is first in the tab order and takes the focus.
  AboutWindowClose = new QPushButton(QStringLiteral("OK"), this);
  AboutWindowClose->setGeometry(64, 80, 89, 21);
  AboutWindowClose->setDefault(true);
  connect(AboutWindowClose, &QPushButton::clicked, this, &TAboutWindow::AboutWindowCloseClick);

  Bevel1 = new QFrame(this);
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Bevel1->setGeometry(40, 8, 137, 17);
  // The opening main window sets the full version texts each time.
  VersionName =
      MakeLabel(this, QStringLiteral("Lumio"), QRect(26, 8, 165, 17), Qt::AlignVCenter, 13);
  ForVer = MakeLabel(this, QStringLiteral("ForVer"), QRect(36, 25, 145, 16), Qt::AlignBottom, 11);
  Copyright = MakeLabel(this, QStringLiteral("Copyright (C) 2026 Lumio team"),
                        QRect(8, 40, 201, 17), Qt::AlignBottom, 13);
  ExpositionMessage = MakeLabel(this, QStringLiteral("This is Ogg Vorbis Encoder Frontend."),
                                QRect(4, 56, 209, 17), Qt::AlignBottom, 12);
}

void TAboutWindow::AboutWindowCloseClick() { close(); }

void TAboutWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !shownBefore_) {
    shownBefore_ = true;
    PlaceCentredOverMainWindow(*this);
  }
  QDialog::showEvent(event);
}

}  // namespace lumio
