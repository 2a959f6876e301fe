#include "encode/child/child_ending.h"

namespace lumio {

void EndChildProcess(std::unique_ptr<QProcess> process) {
  if (process->state() == QProcess::NotRunning) return;
  process->kill();
  if (!process->waitForFinished(kChildEndWaitMs)) ReapLater(std::move(process));
}

void ReapLater(std::unique_ptr<QProcess> process) {
  QProcess* left = process.release();
  // A QProcess deleted while its child runs would wait for it once more.
  QObject::connect(left, &QProcess::finished, left, &QObject::deleteLater);
}

}  // namespace lumio
