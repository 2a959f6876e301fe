#include "encode/child/decoder_process.h"

#include "encode/child/child_ending.h"

namespace lumio {

DecoderProcess::DecoderProcess(QObject* parent) : QObject(parent) {
  process_->setStandardInputFile(QProcess::nullDevice());
  connect(process_.get(), &QProcess::readyReadStandardError, this, &DecoderProcess::ReadOutput);
  connect(process_.get(), &QProcess::started, this,
          [this] { startFailure_ = launch_.StartFailure(); });
  connect(
      process_.get(), &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (startFailure_) {
          FailedToStart(*startFailure_);
          return;
        }
        ReadOutput();
        reader_.Finish();
        DecoderEnd end;
        end.failed = status == QProcess::CrashExit || exitCode != 0;
        end.writtenUs = reader_.WrittenUs();
        if (end.failed) {
          const std::string& said = reader_.LastMessageLine();
          end.brokenPipe = said.find("Broken pipe") != std::string::npos;
          end.reason = !said.empty() ? said
                       : status == QProcess::CrashExit
                           ? std::string("デコーダが強制終了されました")
                           : "デコーダが終了コード " + std::to_string(exitCode) + " で終了しました";
        }
        Finish(std::move(end));
      });
  connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) FailedToStart(process_->errorString().toStdString());
  });
}

void DecoderProcess::FailedToStart(const std::string& why) {
  DecoderEnd end;
  end.failed = true;
  end.started = false;
  end.reason = "デコーダを起動できません: " + why;
  // Told from the event loop, never from inside Start.
  QMetaObject::invokeMethod(
      this, [this, end] { Finish(end); }, Qt::QueuedConnection);
}

DecoderProcess::~DecoderProcess() {
  process_->disconnect(this);
  EndChildProcess(std::move(process_));
}

void DecoderProcess::FeedInto(QProcess& encoder) { process_->setStandardOutputProcess(&encoder); }

void DecoderProcess::Start(const std::vector<std::string>& arguments, EncodePriority priority,
                           const std::string& workingFolder) {
  launch_.Start(*process_, arguments, priority, workingFolder);
}

bool DecoderProcess::RequestClose(bool kill) {
  if (process_->state() != QProcess::Running || ended_) return false;
  if (kill) {
    process_->kill();
  } else {
    process_->terminate();
  }
  return true;
}

void DecoderProcess::ReadOutput() {
  const QByteArray bytes = process_->readAllStandardError();
  if (bytes.isEmpty()) return;
  const std::optional<std::int64_t> before = reader_.DecodedMs();
  reader_.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (reader_.DecodedMs() && reader_.DecodedMs() != before) emit Decoded(*reader_.DecodedMs());
}

void DecoderProcess::Finish(DecoderEnd end) {
  if (ended_) return;
  ended_ = true;
  emit Ended(end);
}

}  // namespace lumio
