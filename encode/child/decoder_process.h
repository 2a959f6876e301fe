#pragma once

#include <QObject>
#include <QProcess>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings_schema.h"
#include "encode/child/child_process.h"
#include "encode/child/decoder_output_reader.h"

namespace lumio {

// How the decoder of a job ended.
struct DecoderEnd {
  // It could not start, was ended by a signal, or exited with a code other than 0.
  bool failed = false;
  bool started = true;  // false: it could not be run at all
  // It failed because the encoder stopped reading: the encoder's failure is the cause.
  bool brokenPipe = false;
  std::string reason;  // why it failed, for the report; empty when it did not
  // Microseconds of sound it wrote, from its closing report; nullopt when none came.
  std::optional<std::int64_t> writtenUs;
};

// The decoder of one job as a child process (never through a shell), writing the
// source as WAVE straight into the encoder's standard input through a pipe between the
// two; its standard input is /dev/null. Everything is reported through signals.
class DecoderProcess final : public QObject {
  Q_OBJECT

 public:
  explicit DecoderProcess(QObject* parent = nullptr);
  // Kills a child that still runs, without waiting long for it (see EndChildProcess).
  ~DecoderProcess() override;

  DecoderProcess(const DecoderProcess&) = delete;
  DecoderProcess& operator=(const DecoderProcess&) = delete;

  // Connects this decoder's standard output to `encoder`'s standard input; before
  // either starts.
  void FeedInto(QProcess& encoder);
  // `arguments[0]` is the program. Ended follows, always later, from the event loop.
  void Start(const std::vector<std::string>& arguments, EncodePriority priority,
             const std::string& workingFolder);
  // SIGTERM, or SIGKILL with `kill`; only while the decoder is still our running child.
  // Whether it was sent.
  bool RequestClose(bool kill);
  bool HasEnded() const { return ended_; }

 signals:
  // Milliseconds of the source decoded so far.
  void Decoded(std::int64_t ms);
  void Ended(const lumio::DecoderEnd& end);

 private:
  void ReadOutput();
  void Finish(DecoderEnd end);
  void FailedToStart(const std::string& why);

  std::unique_ptr<QProcess> process_ = std::make_unique<QProcess>();
  ChildLaunch launch_;
  // Why the decoder could not run, as its child told once QProcess said it started.
  std::optional<std::string> startFailure_;
  DecoderOutputReader reader_;
  bool ended_ = false;
};

}  // namespace lumio
