#include "encode/run_encoder.h"

#include <cstdint>
#include <vector>

#include "core/file_data.h"
#include "core/settings_store.h"
#include "encode/batch_host.h"
#include "encode/clock.h"
#include "encode/command_line.h"
#include "encode/command_line_split.h"
#include "encode/encoder_process.h"
#include "encode/time_format.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

// Keeps the cancel button away from the process object once it is gone, however the
// wait ends.
class RunningEncoderScope {
 public:
  RunningEncoderScope(BatchHost& host, RunningEncoder& encoder) : host_(host) {
    host_.SetRunningEncoder(&encoder);
  }
  ~RunningEncoderScope() { host_.SetRunningEncoder(nullptr); }
  RunningEncoderScope(const RunningEncoderScope&) = delete;
  RunningEncoderScope& operator=(const RunningEncoderScope&) = delete;

 private:
  BatchHost& host_;
};

}  // namespace

bool RunEncoder(const FileData& job, const std::string& inputPath, const std::string& encoderPath,
                const std::string& optionText, const SettingsStore& settings, BatchHost& host,
                Clock& clock, CodePage codePage) {
  // The line is built with an empty program piece and the program is named by its path
  // directly: the quotes of that piece cannot carry a double quote, which a Linux folder
  // name may hold, and would cut the path (and every argument after it) apart.
  // The encoder takes the output name "-" for its standard output, which goes nowhere;
  // the file of that name in the output folder is meant.
  const std::string outputName = job.OutputFileName == "-" ? "./-" : job.OutputFileName;
  std::vector<std::string> arguments = SplitCommandLine(
      BuildCommandLine("", optionText, job.Title, job.Artist, job.Album, job.Date, job.TrackNumber,
                       job.Comment, outputName, inputPath, codePage),
      codePage);
  arguments[0] = encoderPath;
  const bool viewConsole = settings.ReadBool("Options", "ViewCheck", false);
  const int priority = settings.ReadInteger("Options", "EncodePriority", 1);

  // The encoder resolves its bare -o name against this folder. Should the folder have
  // vanished since the batch checked it, the encoder is not run at all: it would write
  // into whatever folder is current, over a file nobody was asked about.
  if (!SetCurrentFolder(job.OutputDir)) {
    return false;
  }

  const std::int64_t start = clock.CurrentMilliseconds();
  EncoderProcess process(viewConsole ? &host.Console() : nullptr);
  if (!process.Start(arguments, priority)) {
    return false;
  }
  int exitCode = 0;
  {
    RunningEncoderScope running(host, process);
    exitCode = process.WaitForExit();
  }
  const std::int64_t end = clock.CurrentMilliseconds();

  const std::string outputPath = job.OutputDir + job.OutputFileName;
  host.SetEncodeFileText(outputPath + " 完了");
  host.AppendReportLine(exitCode == 0 ? "[終了]" : "[中止]");
  host.AppendReportLine(outputPath);
  host.AppendReportLine("処理時間 ： " + FormatElapsedTime(end - start));
  host.AppendReportLine("再生／処理時間比 ： " + FormatTimeRatio(job.Wave.PlayTime, end - start));
  host.AppendReportLine("");
  return exitCode == 0;
}

}  // namespace lumio
