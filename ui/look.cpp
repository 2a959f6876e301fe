#include "ui/look.h"

#include <QApplication>
#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace lumio {

namespace {

void SetBackground(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget.palette();
  // Every colour group gets it, so that a disabled field keeps the colour we chose
  // instead of the style's own disabled shade.
  palette.setColor(QPalette::Active, role, colour);
  palette.setColor(QPalette::Inactive, role, colour);
  palette.setColor(QPalette::Disabled, role, colour);
  widget.setPalette(palette);
}

}  // namespace

QFont LumioFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("IPA Pゴシック"), QStringLiteral("IPAGothic")});
  font.setPixelSize(12);
  return font;
}

void SetEditFieldEnabled(QWidget& field, bool enabled) {
  field.setEnabled(enabled);
  const QPalette standard = QApplication::palette();
  SetBackground(field, QPalette::Base,
                standard.color(QPalette::Active, enabled ? QPalette::Base : QPalette::Button));
}

void UseMenuColour(QWidget& field) {
  SetBackground(field, QPalette::Base,
                QApplication::palette("QMenu").color(QPalette::Active, QPalette::Window));
}

QColor ScrollBarColour() {
  return QApplication::palette("QScrollBar").color(QPalette::Active, QPalette::Button);
}

}  // namespace lumio
