#include "encode/encoder_process.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumio {

namespace {

QString ToProcessText(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

std::optional<int> NiceValueForPriority(EncodePriority priority) {
  switch (priority) {
    case EncodePriority::Idle:
      return 19;
    case EncodePriority::High:
      return -10;
    case EncodePriority::Realtime:
      return -20;
    case EncodePriority::Normal:
      break;
  }
  return std::nullopt;
}

namespace {

// How often batched output is read.
constexpr int kOutputIntervalMs = 500;

}  // namespace

EncoderProcess::EncoderProcess(OutputPace pace, QObject* parent) : QObject(parent) {
  process_.setStandardInputFile(QProcess::nullDevice());
  process_.setProcessChannelMode(QProcess::MergedChannels);
  if (pace == OutputPace::Batched) {
    outputFile_ = ::memfd_create("lumio-encoder-output", MFD_CLOEXEC);
  }
  if (outputFile_ >= 0) {
    // The child gets a descriptor of its own for the same file, opened by this name.
    process_.setStandardOutputFile(QStringLiteral("/proc/self/fd/%1").arg(outputFile_));
    outputTimer_ = new QTimer(this);
    outputTimer_->setInterval(kOutputIntervalMs);
    connect(outputTimer_, &QTimer::timeout, this, &EncoderProcess::ForwardOutputFile);
    connect(&process_, &QProcess::started, outputTimer_, qOverload<>(&QTimer::start));
  } else {
    connect(&process_, &QProcess::readyReadStandardOutput, this, &EncoderProcess::ForwardOutput);
  }
  connect(&process_, &QProcess::started, this, &EncoderProcess::Started);
  connect(&process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
    if (outputTimer_ != nullptr) {
      outputTimer_->stop();
      ForwardOutputFile();
    } else {
      ForwardOutput();
    }
    EncoderExit exit;
    exit.started = true;
    exit.signalled = status == QProcess::CrashExit;
    exit.exitCode = exit.signalled ? -1 : exitCode;
    Finish(exit);
  });
  connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      EncoderExit exit;
      exit.startError = process_.errorString().toStdString();
      Finish(exit);
    }
  });
}

EncoderProcess::~EncoderProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.disconnect(this);
    process_.kill();
    process_.waitForFinished(-1);
  }
  if (outputFile_ >= 0) {
    ::close(outputFile_);
  }
}

void EncoderProcess::Start(const std::vector<std::string>& arguments, EncodePriority priority,
                           const std::string& workingFolder) {
  const std::optional<int> nice = NiceValueForPriority(priority);
  const pid_t parent = ::getpid();
  // Runs in the child between fork and exec, so only async-signal-safe calls. A refused
  // priority raise leaves the inherited one. The death signal ends the encoder with this
  // program even when the program is killed; should the program already be gone when it
  // is set, the child ends at once.
  process_.setChildProcessModifier([nice, parent] {
    if (nice) {
      ::setpriority(PRIO_PROCESS, 0, *nice);
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
      ::_exit(127);
    }
  });
  process_.setWorkingDirectory(ToProcessText(workingFolder));
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    rest.append(ToProcessText(arguments[i]));
  }
  process_.start(ToProcessText(arguments.empty() ? std::string() : arguments[0]), rest,
                 QIODevice::ReadOnly);
}

void EncoderProcess::RequestClose() {
  if (process_.state() != QProcess::Running || ended_) {
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
    emit Output(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

void EncoderProcess::ForwardOutputFile() {
  char bytes[16384];
  for (;;) {
    const ssize_t count = ::pread(outputFile_, bytes, sizeof bytes, outputRead_);
    if (count <= 0) {
      return;
    }
    outputRead_ += count;
    emit Output(std::string_view(bytes, static_cast<std::size_t>(count)));
  }
}

void EncoderProcess::Finish(EncoderExit exit) {
  if (ended_) {
    return;
  }
  ended_ = true;
  // Never told from inside Start, so that whoever started the encoder has finished its
  // own step before it hears of the end. The end of a started encoder always comes from
  // the event loop; a start that failed may be reported inside Start, and is passed on
  // from the event loop.
  if (exit.started) {
    emit Ended(exit);
  } else {
    QMetaObject::invokeMethod(
        this, [this, exit] { emit Ended(exit); }, Qt::QueuedConnection);
  }
}

}  // namespace lumio
