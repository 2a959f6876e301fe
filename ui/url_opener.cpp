#include "ui/url_opener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace lumio {

UrlOpener DesktopUrlOpener(QObject& owner) {
  return [&owner](const QUrl& url, std::function<void(bool)> done) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
      done(QDesktopServices::openUrl(url));
      return;
    }
    // Not the owner's child: closing Lumio leaves a running xdg-open (and the program it
    // started) alone. The owner only bounds whether `done` is still called.
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, &owner,
                     [done](int exitCode, QProcess::ExitStatus status) {
                       done(status == QProcess::NormalExit && exitCode == 0);
                     });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, &owner,
                     [process, done](QProcess::ProcessError error) {
                       if (error == QProcess::FailedToStart) {
                         process->deleteLater();
                         done(false);
                       }
                     });
    process->start(xdgOpen, {url.toString(QUrl::FullyEncoded)});
  };
}

}  // namespace lumio
