#include "ui/desktop_identity.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace lumio {

QIcon LumioIcon() {
  // Drawn here rather than left to Qt's SVG icon plugin, which a system may lack.
  QSvgRenderer renderer(QStringLiteral(":/lumio/lumio.svg"));
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

void SetDesktopIdentity() {
  QApplication::setApplicationName(QStringLiteral("lumio"));
  QApplication::setDesktopFileName(QStringLiteral(LUMIO_DESKTOP_FILE_NAME));
  QApplication::setWindowIcon(LumioIcon());
}

}  // namespace lumio
