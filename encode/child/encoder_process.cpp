#include "encode/child/encoder_process.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>

#include "encode/child/child_ending.h"
#include "encode/child/child_process.h"

namespace lumio {

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
// How long a decoder may go on once its encoder has ended before it is killed: it has
// no one to write to, and a hostile file must not keep the job running.
constexpr int kDecoderGraceMs = 5000;

}  // namespace

EncoderProcess::EncoderProcess(OutputPace pace, QObject* parent) : QObject(parent) {
  process_->setStandardInputFile(QProcess::nullDevice());
  process_->setProcessChannelMode(QProcess::MergedChannels);
  if (pace == OutputPace::Batched) {
    outputFile_ = ::memfd_create("lumio-encoder-output", MFD_CLOEXEC);
  }
  if (outputFile_ >= 0) {
    // The child gets a descriptor of its own for the same file, opened by this name.
    process_->setStandardOutputFile(QStringLiteral("/proc/self/fd/%1").arg(outputFile_));
    outputTimer_ = new QTimer(this);
    outputTimer_->setInterval(kOutputIntervalMs);
    connect(outputTimer_, &QTimer::timeout, this, &EncoderProcess::ForwardOutputFile);
    connect(process_.get(), &QProcess::started, outputTimer_, qOverload<>(&QTimer::start));
  } else {
    connect(process_.get(), &QProcess::readyReadStandardOutput, this,
            &EncoderProcess::ForwardOutput);
  }
  connect(process_.get(), &QProcess::started, this, [this] {
    startFailure_ = launch_.StartFailure();
    if (!startFailure_) emit Started();
  });
  connect(process_.get(), &QProcess::finished, this,
          [this](int exitCode, QProcess::ExitStatus status) {
            if (startFailure_) {
              FailedToStart(*startFailure_);
              return;
            }
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
            // After a crash QProcess gives the signal's number as the exit code.
            exit.signal = exit.signalled ? exitCode : 0;
            encoderExit_ = exit;
            if (decoder_ && !decoder_->HasEnded()) {
              QTimer::singleShot(kDecoderGraceMs, decoder_.get(),
                                 [this] { decoder_->RequestClose(true); });
            }
            FinishWhenBothEnded();
          });
  connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) FailedToStart(process_->errorString().toStdString());
  });
}

void EncoderProcess::FailedToStart(const std::string& why) {
  EncoderExit exit;
  exit.startError = why;
  if (decoder_) decoder_->RequestClose(true);
  Finish(exit);
}

EncoderProcess::~EncoderProcess() {
  process_->disconnect(this);
  EndChildProcess(std::move(process_));
  if (outputFile_ >= 0) {
    ::close(outputFile_);
  }
}

void EncoderProcess::Start(const std::vector<std::string>& arguments, EncodePriority priority,
                           const std::string& workingFolder,
                           const std::vector<std::string>& decoderArguments) {
  if (!decoderArguments.empty()) {
    decoder_ = std::make_unique<DecoderProcess>();
    decoder_->FeedInto(*process_);
    connect(decoder_.get(), &DecoderProcess::Decoded, this, &EncoderProcess::Decoded);
    connect(decoder_.get(), &DecoderProcess::Ended, this, [this](const DecoderEnd& end) {
      decoderEnd_ = end;
      // An encoder whose decoder never ran would wait for its input for ever.
      if (end.failed && !encoderExit_) RequestClose();
      FinishWhenBothEnded();
    });
    // The data flows from the decoder, so it starts first.
    decoder_->Start(decoderArguments, priority, workingFolder);
  }
  launch_.Start(*process_, arguments, priority, workingFolder);
}

void EncoderProcess::FinishWhenBothEnded() {
  if (!encoderExit_ || (decoder_ && !decoderEnd_)) return;
  EncoderExit exit = *encoderExit_;
  exit.decoder = decoderEnd_;
  Finish(exit);
}

void EncoderProcess::RequestClose() {
  if (ended_) {
    return;
  }
  // An encoder that ignores the first request would hold the batch for as long as it
  // likes; asked again, it is killed, so that a repeated cancel always ends the file.
  const bool kill = closeRequested_;
  bool asked = decoder_ && decoder_->RequestClose(kill);
  if (process_->state() == QProcess::Running) {
    if (kill) {
      process_->kill();
    } else {
      process_->terminate();
    }
    asked = true;
  }
  closeRequested_ = closeRequested_ || asked;
}

void EncoderProcess::ForwardOutput() {
  const QByteArray bytes = process_->readAllStandardOutput();
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
