#include "encode/encoder_process.h"

#include <sys/resource.h>

#include <QByteArray>
#include <QEventLoop>
#include <QString>
#include <QStringList>
#include <string_view>

namespace lumio {

namespace {

QString ToProcessText(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

std::optional<int> NiceValueForPriority(int encodePriority) {
  switch (encodePriority) {
    case 0:
      return 19;
    case 2:
      return -10;
    case 3:
      return -20;
    default:
      return std::nullopt;
  }
}

EncoderProcess::EncoderProcess(ConsoleSink* console) : console_(console) {
  process_.setStandardInputFile(QProcess::nullDevice());
  if (console_ == nullptr) {
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(QProcess::nullDevice());
  } else {
    process_.setProcessChannelMode(QProcess::MergedChannels);
  }
}

EncoderProcess::~EncoderProcess() {
  // The encoder is still running here only when the caller was interrupted by a fault;
  // it is killed and reaped, so that no child outlives its job.
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(-1);
  }
  // The console must not keep a reference to this object past its end.
  if (console_ != nullptr && started_ && !ended_) {
    console_->EncoderEnded();
  }
}

bool EncoderProcess::Start(const std::vector<std::string>& arguments, int encodePriority) {
  if (arguments.empty() || started_) {
    return false;
  }
  if (const std::optional<int> nice = NiceValueForPriority(encodePriority)) {
    const int value = *nice;
    // Runs in the child between fork and exec: a single system call, whose failure
    // (raising without the privilege) leaves the inherited priority.
    process_.setChildProcessModifier([value] { setpriority(PRIO_PROCESS, 0, value); });
  }
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    rest.append(ToProcessText(arguments[i]));
  }
  process_.start(ToProcessText(arguments[0]), rest, QIODevice::ReadOnly);
  if (!process_.waitForStarted(-1)) {
    return false;
  }
  started_ = true;
  if (console_ != nullptr) {
    console_->EncoderStarted(arguments[0], *this);
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_,
                     [this] { ForwardOutput(); });
  }
  return true;
}

int EncoderProcess::WaitForExit() {
  if (!started_) {
    return kEncoderKilledExitCode;
  }
  if (process_.state() != QProcess::NotRunning) {
    QEventLoop loop;
    const auto finished =
        QObject::connect(&process_, &QProcess::finished, &loop, [&loop] { loop.quit(); });
    const auto failed = QObject::connect(&process_, &QProcess::errorOccurred, &loop, [&] {
      if (process_.state() == QProcess::NotRunning) {
        loop.quit();
      }
    });
    // finished is only emitted from the event loop, so it cannot be missed between the
    // state test above and exec below.
    loop.exec();
    QObject::disconnect(finished);
    QObject::disconnect(failed);
    // exec returns at once while the application is quitting. The encoder is then
    // stopped, so that an unfinished file is never reported as encoded.
    if (process_.state() != QProcess::NotRunning) {
      process_.terminate();
      if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(-1);
      }
    }
  }
  if (console_ != nullptr) {
    ForwardOutput();
    ended_ = true;
    console_->EncoderEnded();
  }
  if (process_.exitStatus() == QProcess::CrashExit) {
    return kEncoderKilledExitCode;
  }
  return process_.exitCode();
}

void EncoderProcess::RequestClose() {
  if (process_.state() != QProcess::Running) {
    return;
  }
  // An encoder that ignores the first request would hold the batch for as long as it
  // likes; asked again, it is killed, so that a repeated cancel always ends the file.
  if (closeRequested_) {
    process_.kill();
  } else {
    closeRequested_ = true;
    process_.terminate();
  }
}

void EncoderProcess::ForwardOutput() {
  const QByteArray bytes = process_.readAllStandardOutput();
  if (!bytes.isEmpty()) {
    console_->EncoderOutput(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

}  // namespace lumio
