#include "encode/run/batch_plan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_data_list.h"
#include "core/lossy_format.h"
#include "core/output_format.h"
#include "core/settings_schema.h"
#include "core/tag_pattern.h"
#include "encode/child/command_line.h"
#include "encode/child/decoder_lookup.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

std::string ForbiddenNameMessage() {
  std::string message = "ファイル名には次の文字は使えません\n";
  for (std::size_t i = 0; i < kForbiddenNameCharacters.size(); ++i) {
    if (i > 0) {
      message += ' ';
    }
    message += kForbiddenNameCharacters[i];
  }
  return message + "\n\n";
}

// A file's identity on disk, so that two names of one file (links) are known as one.
using FileIdentity = std::pair<dev_t, ino_t>;

// What one stat call tells of a path.
struct FileStatus {
  FileIdentity identity;
  bool regular = false;  // a file, not a folder
  std::int64_t size = 0;
  timespec modified{};
};

std::optional<FileStatus> StatusOf(const std::string& path) {
  struct stat status {};
  if (path.empty() || ::stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  return FileStatus{
      {status.st_dev, status.st_ino}, S_ISREG(status.st_mode), status.st_size, status.st_mtim};
}

// The longest file name Linux file systems take, in bytes.
constexpr std::size_t kLongestName = 255;

// Why no file can be written under `name` (not empty, free of forbidden characters), or
// nullopt. A name of dots and blanks alone, its ".ogg" or ".opus" aside, is ".", "..",
// or a hidden ".ogg" that every such job would share.
std::optional<std::string> UnwritableName(const std::string& name, const std::string& inputPath,
                                          OutputFormat format) {
  std::string_view stem = name;
  if (stem.ends_with(OutputExtension(format))) {
    stem.remove_suffix(OutputExtension(format).size());
  }
  if (stem.find_first_not_of(". \t") == std::string_view::npos) {
    return "出力ファイル名がドットと空白だけです\n\n" + inputPath + " → " + name;
  }
  if (name.size() > kLongestName) {
    return "出力ファイル名が長すぎます（255バイトまで）\n\n" + inputPath;
  }
  return std::nullopt;
}

// Why an existing output cannot or must not be replaced, or nullopt.
std::optional<std::string> WhyIrreplaceable(const std::string& outputPath) {
  // A write-protected file is the user saying "keep this".
  if (IsWriteProtectedFile(outputPath)) return "出力ファイルが書き込み禁止になっています";
  if (IsOtherUsersFileInStickyFolder(outputPath)) {
    return "出力ファイルは他のユーザーのもので置き換えられません";
  }
  return std::nullopt;
}

// A check's message as a report's reason, on one line: its first paragraph says what
// is wrong, the next one names the file or folder.
std::string OnOneLine(std::string message) {
  const std::size_t gap = message.find("\n\n");
  if (gap != std::string::npos) message.replace(gap, 2, ": ");
  std::replace(message.begin(), message.end(), '\n', ' ');
  return message;
}

bool Older(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

class JobChecker {
 public:
  JobChecker(const FileDataList& jobs, const PathRules& rules, ExistingOutputs existing,
             LossyCopy copy, OutputFormat format)
      : jobs_(jobs), rules_(rules), existing_(existing), copy_(copy), format_(format) {
    // Each input is looked at once, for its identity, its existence, size and time.
    inputStatus_.reserve(jobs.Count());
    for (std::size_t i = 0; i < jobs.Count(); ++i) {
      inputStatus_.push_back(StatusOf(jobs.InputPath(i)));
      if (inputStatus_.back()) {
        inputs_.emplace(inputStatus_.back()->identity, i);
      }
    }
  }

  // The checks of one job, in order; the first failure gives the message to show. An
  // existing output file is no failure: its path joins the overwrite list, as does an
  // output that an earlier job writes too, which this job's encoding would replace.
  std::optional<std::string> Check(std::size_t index, PlannedJob& planned) {
    const FileData& job = jobs_.Record(index);
    planned.record = job;
    planned.inputPath = jobs_.InputPath(index);
    // The name as the batch's format has it, for every check and for the run.
    planned.record.OutputFileName = OutputNameFor(job.OutputFileName, format_);
    // The file the encoder will write, inside the output folder even when the stored
    // folder lacks its trailing separator: that file, not a neighbour, must be asked about.
    planned.outputFolder = WithTrailingSeparator(job.OutputDir, rules_) + job.OutputSubfolder;
    if (std::optional<std::string> failure =
            CheckNamesAndFolder(index, planned.record.OutputFileName)) {
      return failure;
    }
    planned.copy = CopiedAsItIs(planned);
    if (planned.copy) planned.record.OutputFileName = FileNamePart(planned.inputPath, rules_);
    const std::string outputPath = planned.outputFolder + planned.record.OutputFileName;
    const std::optional<FileStatus> output = StatusOf(outputPath);
    if (std::optional<std::string> failure = OutputIsAnInput(index, output, outputPath)) {
      return failure;
    }
    // A track of an image weighs its part of the image.
    const FileStatus& input = *inputStatus_[index];
    const std::int64_t size = job.Range ? ShareOfFile(input.size, *job.Range) : input.size;
    planned.weight = size > 0 ? size : 1;
    return PlaceOutput(input, output, outputPath, planned);
  }

  std::vector<std::string> TakeOverwritten() { return std::move(overwritten_); }
  std::vector<std::string> TakeClashes() { return std::move(clashes_); }

 private:
  // Only a whole file within a kept tree is copied: a track of an image is a part of it.
  bool CopiedAsItIs(const PlannedJob& planned) const {
    return copy_ != LossyCopy::Off && !planned.record.Range &&
           IsCopiedAsItIs(planned.inputPath, copy_);
  }

  // The job's names, its input and its output folder, before any output is looked at.
  std::optional<std::string> CheckNamesAndFolder(std::size_t index, const std::string& name) {
    const FileData& job = jobs_.Record(index);
    const std::string& inputPath = jobs_.InputPath(index);
    // The job's own stored name is what the encoder is given: a separator in it would
    // write outside the output folder, and a quote would break the command line.
    if (HoldsRefusedCharacter(name, rules_.codePage)) {
      return ForbiddenNameMessage() + name;
    }
    const std::optional<FileStatus>& input = inputStatus_[index];
    if (!input || !input->regular) {
      return "指定の入力ファイルが存在しません\n\n" + inputPath;
    }
    // The output folder itself must exist; a kept subfolder below it is made when the
    // job runs.
    if (!OutputFolderExists(job.OutputDir)) {
      return "指定の出力先フォルダが存在しません\n\n" + FolderPart(job.OutputDir, rules_);
    }
    if (name.empty()) {
      return "出力ファイル名が空です\n\n" + inputPath;
    }
    return UnwritableName(name, inputPath, format_);
  }

  // An output that is an input of the batch (the same name, or a link to it) would
  // destroy that source, whatever the answer to the overwrite question.
  std::optional<std::string> OutputIsAnInput(std::size_t index,
                                             const std::optional<FileStatus>& output,
                                             const std::string& outputPath) const {
    if (!output) return std::nullopt;
    const auto other = inputs_.find(output->identity);
    if (other == inputs_.end()) return std::nullopt;
    const std::string& inputPath = jobs_.InputPath(index);
    if (other->second == index) {
      return "出力ファイルが入力ファイルと同じです\n\n" + inputPath;
    }
    // Named as the other job has it too, when that is another name of the file.
    const std::string& otherInput = jobs_.InputPath(other->second);
    return "出力ファイルが別の入力ファイルと同じです\n\n" + inputPath + " → " + outputPath +
           (otherInput == outputPath ? "" : "\n" + otherInput);
  }

  // Whether an existing or earlier-planned output is skipped, replaced or asked about.
  std::optional<std::string> PlaceOutput(const FileStatus& input,
                                         const std::optional<FileStatus>& output,
                                         const std::string& outputPath, PlannedJob& planned) {
    const bool exists = output && output->regular;
    const bool writtenBefore = plannedOutputs_.count(outputPath) > 0;
    // Equal times count as up to date: a copy that keeps times is no reason to encode.
    if (exists && !writtenBefore && existing_ == ExistingOutputs::SkipUpToDate &&
        !Older(output->modified, input.modified)) {
      planned.skip = true;
      planned.weight = 1;
      planned.keptBy = WhyIrreplaceable(outputPath).value_or(std::string());
      return std::nullopt;
    }
    if (exists) {
      if (std::optional<std::string> why = WhyIrreplaceable(outputPath)) {
        planned.keptBy = *why;
        return *why + "\n\n" + outputPath;
      }
    }
    plannedOutputs_.insert(outputPath);
    // Two jobs of one batch writing one file are asked about whatever the setting says:
    // that is no earlier output but a clash of names.
    if (writtenBefore) {
      clashes_.push_back(outputPath);
    }
    if (writtenBefore || (exists && existing_ != ExistingOutputs::Overwrite)) {
      overwritten_.push_back(outputPath);
    }
    return std::nullopt;
  }

  // Many jobs share one output folder: each is looked at once.
  bool OutputFolderExists(const std::string& folder) {
    const auto known = folders_.find(folder);
    if (known != folders_.end()) {
      return known->second;
    }
    const bool exists = FolderExists(folder);
    folders_.emplace(folder, exists);
    return exists;
  }

  const FileDataList& jobs_;
  const PathRules& rules_;
  ExistingOutputs existing_;
  LossyCopy copy_;  // Off outside a kept tree
  OutputFormat format_;
  std::vector<std::optional<FileStatus>> inputStatus_;
  std::map<FileIdentity, std::size_t> inputs_;
  std::map<std::string, bool> folders_;
  std::set<std::string> plannedOutputs_;
  std::vector<std::string> overwritten_;
  std::vector<std::string> clashes_;
};

// The encoder is run from the same file that was tested: the child runs it after it has
// changed to the job's output folder, so a relative path is anchored at the folder
// Lumio started in.
std::string AnchoredEncoderPath(const std::string& encoderPath, const PathRules& rules) {
  if (rules.style != PathStyle::Posix || encoderPath.front() == '/') {
    return encoderPath;
  }
  return WithTrailingSeparator(CurrentFolder(), rules) + encoderPath;
}

}  // namespace

std::variant<BatchPlan, BatchRefusal> PrepareBatch(const FileDataList& jobs,
                                                   const SettingsStore& settings,
                                                   const std::string& programFolder,
                                                   const PathRules& rules) {
  const std::string encoderPath = ResolveEncoderPath(settings, programFolder, rules);
  if (encoderPath.empty() || !FileExists(encoderPath)) {
    return BatchRefusal{"エンコーダが見つかりません"};
  }
  BatchPlan plan;
  plan.encoderPath = AnchoredEncoderPath(encoderPath, rules);
  plan.jobs.resize(jobs.Count());
  const LossyCopy copy =
      ReadOutputFolderRule(settings).keepFolderTree ? ReadLossyCopy(settings) : LossyCopy::Off;
  const OutputFormat format = ReadOutputFormat(settings);
  JobChecker checker(jobs, rules, ReadExistingOutputs(settings), copy, format);
  const bool keepGoing = ReadKeepGoing(settings);
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    if (std::optional<std::string> failure = checker.Check(i, plan.jobs[i])) {
      if (!keepGoing) return BatchRefusal{std::move(*failure)};
      plan.jobs[i].failure = OnOneLine(std::move(*failure));
    }
  }
  plan.overwritten = checker.TakeOverwritten();
  plan.clashes = checker.TakeClashes();
  plan.finishing.replayGain = ReadReplayGainMode(settings);
  plan.finishing.verifyOutputs = ReadVerifyOutputs(settings);
  plan.finishing.carry = ReadCarryOptions(settings);
  plan.finishing.format = format;
  if (std::optional<std::string> refusal = FindDecoder(programFolder, rules.codePage, plan)) {
    return BatchRefusal{std::move(*refusal)};
  }
  return plan;
}

std::string OverwriteQuestion(const std::vector<std::string>& overwritten) {
  std::string question = "指定の場所に同名のファイルがあります\n\n";
  for (const std::string& path : overwritten) {
    question += path + "\n";
  }
  return question + "\n上書きしますか？";
}

}  // namespace lumio
