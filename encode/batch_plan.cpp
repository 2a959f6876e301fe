#include "encode/batch_plan.h"

#include <sys/stat.h>

#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "core/file_data_list.h"
#include "core/tag_pattern.h"
#include "encode/command_line.h"
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

std::optional<FileIdentity> IdentityOf(const std::string& path, std::int64_t* size = nullptr) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  if (size != nullptr) {
    *size = status.st_size;
  }
  return FileIdentity{status.st_dev, status.st_ino};
}

class JobChecker {
 public:
  JobChecker(const FileDataList& jobs, const PathRules& rules) : jobs_(jobs), rules_(rules) {
    for (std::size_t i = 0; i < jobs.Count(); ++i) {
      if (const auto identity = IdentityOf(jobs.InputPath(i))) {
        inputs_.emplace(*identity, i);
      }
    }
  }

  // The checks of one job, in order; the first failure gives the message to show. An
  // existing output file is no failure: its path joins the overwrite list, as does an
  // output that an earlier job writes too, which this job's encoding would replace.
  std::optional<std::string> Check(std::size_t index, PlannedJob& planned) {
    const FileData& job = jobs_.Record(index);
    const std::string& inputPath = jobs_.InputPath(index);
    // The job's own stored name is what the encoder is given: a separator in it would
    // write outside the output folder, and a quote would break the command line.
    for (const char forbidden : kForbiddenNameCharacters) {
      if (FindCharacter(job.OutputFileName, forbidden, rules_.codePage) != std::string_view::npos) {
        return ForbiddenNameMessage() + job.OutputFileName;
      }
    }
    if (!FileExists(inputPath)) {
      return "指定の入力ファイルが存在しません\n\n" + inputPath;
    }
    if (!FolderExists(job.OutputDir)) {
      return "指定の出力先フォルダが存在しません\n\n" + FolderPart(job.OutputDir, rules_);
    }
    if (job.OutputFileName.empty()) {
      return "出力ファイル名が空です\n\n" + inputPath;
    }
    // The file the encoder will write, inside the output folder even when the stored
    // folder lacks its trailing separator: that file, not a neighbour, must be asked about.
    planned.outputFolder = WithTrailingSeparator(job.OutputDir, rules_);
    const std::string outputPath = planned.outputFolder + job.OutputFileName;
    // An output that is an input of the batch (the same name, or a link to it) would
    // destroy that source, whatever the answer to the overwrite question.
    if (const auto output = IdentityOf(outputPath)) {
      const auto input = inputs_.find(*output);
      if (input != inputs_.end()) {
        if (input->second == index) {
          return "出力ファイルが入力ファイルと同じです\n\n" + inputPath;
        }
        // Named as the other job has it too, when that is another name of the file.
        const std::string& otherInput = jobs_.InputPath(input->second);
        return "出力ファイルが別の入力ファイルと同じです\n\n" + inputPath + " → " + outputPath +
               (otherInput == outputPath ? "" : "\n" + otherInput);
      }
    }
    const bool writtenBefore = !plannedOutputs_.insert(outputPath).second;
    if (FileExists(outputPath) || writtenBefore) {
      overwriteList_ += outputPath + "\n";
    }
    planned.record = job;
    planned.inputPath = inputPath;
    std::int64_t size = 0;
    IdentityOf(inputPath, &size);
    planned.weight = size > 0 ? size : 1;
    return std::nullopt;
  }

  std::string TakeOverwriteList() { return std::move(overwriteList_); }

 private:
  const FileDataList& jobs_;
  const PathRules& rules_;
  std::map<FileIdentity, std::size_t> inputs_;
  std::set<std::string> plannedOutputs_;
  std::string overwriteList_;
};

// The encoder is run from the same file that was tested, whatever the current folder is
// when it starts.
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
  JobChecker checker(jobs, rules);
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    if (std::optional<std::string> failure = checker.Check(i, plan.jobs[i])) {
      return BatchRefusal{std::move(*failure)};
    }
  }
  plan.overwriteList = checker.TakeOverwriteList();
  return plan;
}

std::string OverwriteQuestion(const std::string& overwriteList) {
  return "指定の場所に同名のファイルがあります\n\n" + overwriteList + "\n上書きしますか？";
}

}  // namespace lumio
