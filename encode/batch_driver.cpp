#include "encode/batch_driver.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/batch_host.h"
#include "encode/clock.h"
#include "encode/command_line.h"
#include "encode/run_encoder.h"
#include "encode/time_format.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

constexpr std::string_view kForbiddenNameChars = "\\/:,;*?\"<>|";
constexpr std::string_view kGeneralFailure = "処理に失敗しました";

std::string ForbiddenNameMessage() {
  std::string message = "ファイル名には次の文字は使えません\n";
  for (std::size_t i = 0; i < kForbiddenNameChars.size(); ++i) {
    if (i > 0) {
      message += ' ';
    }
    message += kForbiddenNameChars[i];
  }
  return message + "\n\n";
}

void ShowError(BatchHost& host, std::string_view message) {
  host.ShowMessageDialog("\n" + std::string(message), MessageKind::Error, MessageButtons::Ok,
                         MessageSound::Stop);
}

// The checks of one job, in order; the first failure gives the message to show. An
// existing output file is no failure: its path joins `overwriteList`, as does the path
// of an output that an earlier job in `plannedOutputs` writes too, which this job's
// encoding would replace just the same.
std::optional<std::string> CheckJob(const FileDataList& jobs, std::size_t index,
                                    const PathRules& rules, std::set<std::string>& plannedOutputs,
                                    std::string& overwriteList) {
  const FileData& job = jobs.Record(index);
  const std::string& inputPath = jobs.InputPath(index);
  // The job's own stored name is what the encoder is given: a separator in it would
  // write outside the output folder, and a quote would break the command line.
  for (const char forbidden : kForbiddenNameChars) {
    if (FindCharacter(job.OutputFileName, forbidden, rules.codePage) != std::string_view::npos) {
      return ForbiddenNameMessage() + job.OutputFileName;
    }
  }
  if (!FileExists(inputPath)) {
    return "指定の入力ファイルが存在しません\n\n" + inputPath;
  }
  if (!FolderExists(job.OutputDir)) {
    return "指定の出力先フォルダが存在しません\n\n" + FolderPart(job.OutputDir, rules);
  }
  if (job.OutputFileName.empty()) {
    return "出力ファイル名が空です\n\n" + inputPath;
  }
  // The file the encoder will write, inside the output folder even when the stored
  // folder lacks its trailing separator: that file, not a neighbour, must be asked about.
  const std::string outputPath = WithTrailingSeparator(job.OutputDir, rules) + job.OutputFileName;
  // The encoder empties its output file before it reads its input: were they one file
  // (the same name, or a link to it), the WAVE file would be lost, whatever the answer
  // to the overwrite question.
  std::error_code error;
  if (std::filesystem::equivalent(inputPath, outputPath, error)) {
    return "出力ファイルが入力ファイルと同じです\n\n" + inputPath;
  }
  const bool writtenBefore = !plannedOutputs.insert(outputPath).second;
  if (FileExists(outputPath) || writtenBefore) {
    overwriteList += outputPath + "\n";
  }
  return std::nullopt;
}

// Runs the encoder from the same file that was tested, although every job changes the
// current folder.
std::string AnchoredEncoderPath(const std::string& encoderPath, const PathRules& rules) {
  if (rules.style != PathStyle::Posix || encoderPath.front() == '/') {
    return encoderPath;
  }
  return WithTrailingSeparator(CurrentFolder(), rules) + encoderPath;
}

// Encodes the jobs in list order up to the first failure and appends the summary.
void RunJobs(BatchContext& context, const std::string& encoderPath, const std::string& optionText) {
  BatchHost& host = context.host;
  const std::size_t count = context.jobs.Count();
  bool lastResult = false;
  std::size_t done = 0;
  const std::int64_t start = context.clock.CurrentMilliseconds();
  for (std::size_t i = 0; i < count; ++i) {
    const FileData& job = context.jobs.Record(i);
    const std::string& inputPath = context.jobs.InputPath(i);
    host.SetEncodeFileText(FileNamePart(inputPath, context.rules) + " → " + job.OutputFileName +
                           " 処理中");
    host.SetProgressCaption("処理中... ( " + std::to_string(i + 1) + "/" + std::to_string(count) +
                            " )");
    host.ResetFileCount();
    lastResult = RunEncoder(job, inputPath, encoderPath, optionText, context.settings, host,
                            context.clock, context.rules.codePage);
    if (!lastResult) {
      break;
    }
    ++done;
  }
  const std::int64_t end = context.clock.CurrentMilliseconds();
  host.AppendReportLine("----------");
  host.AppendReportLine("");
  host.AppendReportLine(lastResult ? "[終了]" : "[中止]");
  host.AppendReportLine(std::to_string(done) + "個のファイルを処理。");
  host.AppendReportLine("処理時間計 ： " + FormatElapsedTime(end - start));
  host.AppendReportLine("");
}

}  // namespace

void StartEncodeClick(BatchContext& context) {
  BatchHost& host = context.host;
  bool mainWindowDisabled = false;
  try {
    host.ClearReport();
    const std::string encoderPath =
        ResolveEncoderPath(context.settings, context.programFolder, context.rules);
    if (encoderPath.empty() || !FileExists(encoderPath)) {
      ShowError(host, "エンコーダが見つかりません");
      return;
    }
    std::string overwriteList;
    std::set<std::string> plannedOutputs;
    for (std::size_t i = 0; i < context.jobs.Count(); ++i) {
      if (const std::optional<std::string> failure =
              CheckJob(context.jobs, i, context.rules, plannedOutputs, overwriteList)) {
        ShowError(host, *failure);
        return;
      }
    }
    if (!overwriteList.empty() &&
        host.ShowMessageDialog(
            "指定の場所に同名のファイルがあります\n\n" + overwriteList + "\n上書きしますか？",
            MessageKind::Warning, MessageButtons::OkCancel,
            MessageSound::Exclamation) != DialogAnswer::Ok) {
      return;
    }
    const std::string optionText = BuildOptionText(context.settings);

    host.SetMainWindowEnabled(false);
    mainWindowDisabled = true;
    if (!context.settings.ReadBool("Options", "ViewCheck", false)) {
      host.ShowProgressWindow();
    }
    RunJobs(context, AnchoredEncoderPath(encoderPath, context.rules), optionText);
    host.CloseProgressWindow();
    host.SetMainWindowEnabled(true);
    mainWindowDisabled = false;
    host.ShowResultWindow();
  } catch (const std::exception&) {
    // A fault in the middle of a run must not leave the program locked: the main
    // window takes input again before the error is shown.
    if (mainWindowDisabled) {
      host.SetMainWindowEnabled(true);
      host.CloseProgressWindow();
    }
    ShowError(host, kGeneralFailure);
  }
}

}  // namespace lumio
