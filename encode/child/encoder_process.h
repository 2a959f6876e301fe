#pragma once

#include <sys/types.h>

#include <QObject>
#include <QProcess>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_schema.h"
#include "encode/child/child_process.h"
#include "encode/child/decoder_process.h"
#include "encode/run/console_sink.h"

namespace lumio {

// The nice value the encoder is started with for a priority; nullopt (normal, or a
// number that is no priority) keeps the program's own.
std::optional<int> NiceValueForPriority(EncodePriority priority);

// How one encoder run ended.
struct EncoderExit {
  bool started = false;    // false: the program could not be run at all
  bool signalled = false;  // ended by a signal (a close request, or a crash)
  int exitCode = -1;       // valid when started and not signalled
  int signal = 0;          // the signal that ended it, when signalled
  std::string startError;  // why it could not be run
  // How the decoder that fed the encoder ended; nullopt when the encoder read a file.
  std::optional<DecoderEnd> decoder;
};

// How the encoder's output reaches the program.
enum class OutputPace {
  // Each piece as the encoder writes it: for a console that shows it live.
  Live,
  // A few times a second, and once at the end. The encoder rewrites its progress line
  // about twice a second of sound, and waking for every line costs this program about 1 %
  // of what the encoder spends; read in batches the output costs next to nothing.
  Batched,
};

// One run of the encoder as a child process, started directly from its argument vector
// (never through a shell) with standard input from /dev/null, its standard output and
// error merged. Everything is reported through signals; nothing here waits. The child
// is bound to this program's life: it is sent SIGKILL should the program die first,
// however it dies.
class EncoderProcess final : public QObject, public RunningEncoder {
  Q_OBJECT

 public:
  explicit EncoderProcess(OutputPace pace = OutputPace::Live, QObject* parent = nullptr);
  // Kills a child that still runs (only when the program is torn down mid-run), without
  // waiting long for it (see EndChildProcess).
  ~EncoderProcess() override;

  EncoderProcess(const EncoderProcess&) = delete;
  EncoderProcess& operator=(const EncoderProcess&) = delete;

  // `arguments[0]` is the program. Started or Ended follows, always later, from the
  // event loop. With `decoderArguments`, that decoder is started too, writing into the
  // encoder's standard input; Ended then comes once both have ended.
  void Start(const std::vector<std::string>& arguments, EncodePriority priority,
             const std::string& workingFolder,
             const std::vector<std::string>& decoderArguments = {});

  // SIGTERM the first time, SIGKILL on every later request, to the encoder and its
  // decoder; only while each is still our running child: until it is reaped, its pid
  // cannot belong to another process.
  void RequestClose() override;

 signals:
  void Started();
  void Output(std::string_view bytes);
  // Milliseconds of the source that the decoder has decoded so far.
  void Decoded(std::int64_t ms);
  void Ended(const lumio::EncoderExit& exit);

 private:
  void ForwardOutput();
  void ForwardOutputFile();
  void Finish(EncoderExit exit);
  void FailedToStart(const std::string& why);
  // Reports the end once the encoder and its decoder have both ended.
  void FinishWhenBothEnded();

  std::unique_ptr<QProcess> process_ = std::make_unique<QProcess>();
  ChildLaunch launch_;
  // Why the encoder could not run, as its child told once QProcess said it started.
  std::optional<std::string> startFailure_;
  // Batched output goes to an anonymous in-memory file, read from `outputRead_` on.
  int outputFile_ = -1;
  off_t outputRead_ = 0;
  QTimer* outputTimer_ = nullptr;
  std::unique_ptr<DecoderProcess> decoder_;
  std::optional<EncoderExit> encoderExit_;
  std::optional<DecoderEnd> decoderEnd_;
  bool closeRequested_ = false;
  bool ended_ = false;
};

}  // namespace lumio

Q_DECLARE_METATYPE(lumio::EncoderExit)
