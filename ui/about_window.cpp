#include "ui/about_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "ui/control_names.h"
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
  AboutWindowClose = Named(new QPushButton(QStringLiteral("OK"), this), "AboutWindowClose");
  AboutWindowClose->setGeometry(64, 80, 89, 21);
  AboutWindowClose->setDefault(true);
  connect(AboutWindowClose, &QPushButton::clicked, this, &TAboutWindow::AboutWindowCloseClick);

  Bevel1 = Named(new QFrame(this), "Bevel1");
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Bevel1->setGeometry(40, 8, 137, 17);
  // The main window gives the full version texts (ShowVersions) each time it opens this one.
  VersionName =
      Named(MakeLabel(this, QStringLiteral("Lumio"), QRect(26, 8, 165, 17), Qt::AlignVCenter, 13),
            "VersionName");
  ForVer =
      Named(MakeLabel(this, QStringLiteral("ForVer"), QRect(36, 25, 145, 16), Qt::AlignBottom, 11),
            "ForVer");
  Copyright = Named(MakeLabel(this, QStringLiteral("Copyright (C) 2026 Lumio team"),
                              QRect(8, 40, 201, 17), Qt::AlignBottom, 13),
                    "Copyright");
  ExpositionMessage = Named(MakeLabel(this, QStringLiteral("This is Ogg Vorbis Encoder Frontend."),
                                      QRect(4, 56, 209, 17), Qt::AlignBottom, 12),
                            "ExpositionMessage");
}

void TAboutWindow::ShowVersions(const QString& program, const QString& encoder) {
  VersionName->setText(program);
  ForVer->setText(encoder);
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
