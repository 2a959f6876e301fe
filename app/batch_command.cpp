#include "app/batch_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QMetaObject>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <variant>

#include "app/batch_options.h"
#include "app/bounded_pool_wait.h"
#include "app/mirror_upkeep.h"
#include "app/terminal_progress.h"
#include "core/batch_output_names.h"
#include "core/file_data_list.h"
#include "core/settings_location.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "core/source_adding.h"
#include "core/source_feed.h"
#include "encode/report/mirror_report.h"
#include "encode/report/run_report_json.h"
#include "encode/run/batch_run.h"
#include "encode/run/batch_start.h"
#include "encode/run/clock.h"
#include "encode/run/quit_signals.h"
#include "platform/file_system.h"
#include "platform/program_location.h"

namespace lumio {

namespace {

constexpr std::size_t kPathsListed = 20;

const char* Pick(bool japanese, const char* english, const char* japaneseText) {
  return japanese ? japaneseText : english;
}

void PrintError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

// `path` made absolute against the current folder and cleaned of "." and "..", byte
// for byte (each byte is one Latin-1 character on the way through).
std::string AbsolutePath(const std::string& path) {
  const std::string absolute =
      !path.empty() && path.front() == '/' ? path : CurrentFolder() + "/" + path;
  return QDir::cleanPath(QString::fromLatin1(absolute)).toLatin1().toStdString();
}

// The refusal for outputs that would be overwritten: the window's question without the
// question, the first paths, and `hint`, what to give instead.
std::string OverwriteRefusal(const std::vector<std::string>& paths, const char* hint) {
  std::string text = "指定の場所に同名のファイルがあります";
  for (std::size_t i = 0; i < paths.size() && i < kPathsListed; ++i) text += "\n" + paths[i];
  if (paths.size() > kPathsListed) {
    text += "\nほか " + std::to_string(paths.size() - kPathsListed) + " 件";
  }
  return text + "\n" + hint;
}

const char* ExistingOutputsHint(bool japanese) {
  return Pick(japanese,
              "lumio: nothing was encoded; give --existing overwrite or skip-newer to decide",
              "lumio: 何も変換していません。--existing overwrite か skip-newer で指定してください");
}

// Two jobs of the list writing one output: --existing cannot part them.
const char* ClashHint(bool japanese) {
  return Pick(japanese,
              "lumio: nothing was encoded; several files would write the same output: without "
              "--stop-on-failure the later ones are numbered, or --names can name them apart",
              "lumio: 何も変換していません。複数のファイルが同じ出力ファイルになります。"
              "--stop-on-failure を付けなければ後のものに番号を付けます。--names で名前を"
              "分けることもできます");
}

// Makes the --output folder and its parents when missing, and says so unless `quiet`. An
// exit status when the batch cannot go on.
std::optional<int> MakeOutputFolder(const std::string& folder, const std::string& given,
                                    bool japanese, bool quiet) {
  if (FolderExists(folder)) return std::nullopt;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::path(folder), error)) {
    PrintError("lumio: --output: '" + given + "' " +
               Pick(japanese, "is no folder", "はフォルダではありません"));
    return kBatchUsageError;
  }
  std::string reason;
  if (!CreateFoldersInside("/", folder.substr(1) + "/", reason)) {
    PrintError(std::string(Pick(japanese, "lumio: --output: cannot make the folder ",
                                "lumio: --output: フォルダを作れません: ")) +
               reason);
    return kBatchRefused;
  }
  if (!quiet) {
    PrintError(std::string(Pick(japanese, "lumio: --output: made the folder ",
                                "lumio: --output: フォルダを作りました: ")) +
               folder);
  }
  return std::nullopt;
}

// The output folder the window starts with: the remembered one, or the current folder.
std::string DefaultOutputFolder(const SettingsStore& settings, const PathRules& rules) {
  const std::string remembered = ReadRememberedFolders(settings).defDir;
  if (!remembered.empty() && FolderExists(remembered)) return remembered;
  return WithTrailingSeparator(CurrentFolder(), rules);
}

bool WriteReport(const std::optional<std::string>& file, const std::string& text) {
  if (!file) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0;
  }
  std::ofstream out(*file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// One batch from its start to its end.
class BatchCommand {
 public:
  // The quit signals are this command's from the start: a signal while files are being
  // added ends it as one during the run does, with the report of what was done.
  BatchCommand(const BatchOptions& options, bool japanese)
      : options_(options), japanese_(japanese), quitSignals_([this] { Interrupt(); }) {}

  // Everything up to the start of the run; an exit status when the batch ends before it.
  std::optional<int> Prepare();
  // Runs the prepared batch in the event loop and returns the exit status.
  int Run();

 private:
  void Finished(std::vector<JobOutcome> outcomes, const BatchSummary& summary);
  // The upkeep of a kept tree's output root; a usage error when --prune has none.
  std::optional<int> PrepareUpkeep(const std::vector<std::string>& paths);
  // --dry-run: the report of what the run would do, instead of the run.
  int TryOnly();
  void End(int status);
  // A quit signal: stops the run's encoders (a second one kills them), or ends adding.
  void Interrupt();
  // Adds as the window does, through a SourceFeed whose batches are taken from the event
  // loop, which meanwhile answers quit signals: a file can hold a read up (a probe of a
  // stalled share) for as long as it likes.
  std::vector<std::string> AddSources(FileDataList& jobs, const std::vector<std::string>& paths);
  // Prints the report of nothing done and ends the process at once, status 130, without
  // waiting for the feed's threads; nothing has been written, and every probe they run
  // dies with the process.
  [[noreturn]] void EndInterruptedAdding();

  const BatchOptions& options_;
  bool japanese_;
  PathRules rules_ = NativePathRules();
  std::unique_ptr<SettingsStore> settings_;
  bool addFailed_ = false;
  NameNotes nameNotes_;  // told in the jobs' blocks of the report
  std::optional<BatchStart> start_;
  std::optional<MirrorUpkeep> upkeep_;
  MonotonicClock clock_;
  std::unique_ptr<BatchRun> run_;
  std::unique_ptr<TerminalProgress> progress_;
  // The --report file, made absolute against the folder Lumio started in.
  std::optional<std::string> reportFile_;
  bool interrupted_ = false;
  int status_ = kBatchSomeFailed;
  QEventLoop* adding_ = nullptr;  // while files are being added
  QuitSignals quitSignals_;
};

std::optional<int> BatchCommand::Prepare() {
  if (options_.settingsFile && !FileExists(*options_.settingsFile)) {
    PrintError("lumio: --settings: '" + *options_.settingsFile + "' " +
               Pick(japanese_, "is no file", "はファイルではありません"));
    return kBatchUsageError;
  }
  settings_ = std::make_unique<SettingsStore>(options_.settingsFile.value_or(SettingsFilePath()));
  if (settings_->LoadFailed()) {
    // Going on with defaults would encode with settings the user never chose.
    PrintError(std::string(Pick(japanese_, "lumio: cannot read the settings file ",
                                "lumio: 設定ファイルを読めません: ")) +
               settings_->FileName());
    return kBatchRefused;
  }
  BatchOptions options = options_;
  if (options.reportFile) reportFile_ = AbsolutePath(*options.reportFile);
  if (options.outputFolder) {
    const std::string folder = AbsolutePath(*options.outputFolder);
    if (const std::optional<int> ended =
            MakeOutputFolder(folder, *options.outputFolder, japanese_, options.quiet)) {
      return ended;
    }
    options.outputFolder = WithTrailingSeparator(folder, rules_);
  }
  ApplyBatchOverrides(options, *settings_);

  FileDataList jobs(rules_);
  std::vector<std::string> paths;
  for (const std::string& path : options.paths) {
    paths.push_back(AbsolutePath(path));
    // Named here: the walk would pass over it without a word.
    if (!PathExists(paths.back())) {
      PrintError("lumio: '" + path + "' " + Pick(japanese_, "does not exist", "がありません"));
      paths.pop_back();
      addFailed_ = true;
    }
  }
  if (const std::optional<int> refused = PrepareUpkeep(paths)) return refused;
  const std::vector<std::string> failed = AddSources(jobs, paths);
  if (!failed.empty()) {
    addFailed_ = true;
    PrintError(AddFailureSummary(failed));
  }
  if (const std::vector<std::string> cutShort = CutShortInputs(jobs, 0, jobs.Count());
      !cutShort.empty()) {
    PrintError(CutShortSummary(cutShort));
  }
  if (jobs.Count() == 0) {
    PrintError(
        Pick(japanese_, "lumio: no sound file to encode", "lumio: 変換するファイルがありません"));
    return kBatchRefused;
  }
  nameNotes_ = SettleBatchOutputNames(jobs, options.names, !options.stopOnFailure, rules_);
  std::variant<BatchStart, BatchRefusal> checked =
      PlanBatch(jobs, *settings_, ProgramFolder(), rules_);
  if (const auto* refusal = std::get_if<BatchRefusal>(&checked)) {
    PrintError(refusal->message);
    return kBatchRefused;
  }
  start_ = std::move(std::get<BatchStart>(checked));
  if (!start_->plan.clashes.empty()) {
    PrintError(OverwriteRefusal(start_->plan.clashes, ClashHint(japanese_)));
    return kBatchRefused;
  }
  if (!start_->plan.overwritten.empty() && start_->existingOutputs == ExistingOutputs::Ask) {
    PrintError(OverwriteRefusal(start_->plan.overwritten, ExistingOutputsHint(japanese_)));
    return kBatchRefused;
  }
  return std::nullopt;
}

std::optional<int> BatchCommand::PrepareUpkeep(const std::vector<std::string>& paths) {
  const OutputFolderRule rule = ReadOutputFolderRule(*settings_);
  if (!rule.keepFolderTree || !rule.useStdOutput || rule.sameOutput) {
    if (!options_.prune) return std::nullopt;
    PrintError(Pick(japanese_, "lumio: --prune: needs a kept tree in one output folder",
                    "lumio: --prune: フォルダ構成を保つ出力先フォルダが必要です"));
    return kBatchUsageError;
  }
  std::vector<std::string> folders;
  for (const std::string& path : paths) {
    if (FolderExists(path)) folders.push_back(path);
  }
  upkeep_.emplace(WithTrailingSeparator(AbsolutePath(rule.stdOutputDir), rules_),
                  std::move(folders), options_.prune, options_.dryRun);
  if (const std::optional<std::string> unreadable = upkeep_->Load()) PrintError(*unreadable);
  return std::nullopt;
}

int BatchCommand::TryOnly() {
  // The report of a run that only looks: the up-to-date outputs are skipped as they would
  // be, every other job is not started, and nothing is written or removed.
  std::vector<JobOutcome> outcomes;
  std::vector<std::string> inputs;
  for (const PlannedJob& job : start_->plan.jobs) {
    JobOutcome outcome;
    outcome.outputPath = job.outputFolder + job.record.OutputFileName;
    outcome.ran = false;
    outcome.skipped = outcome.succeeded = outcome.reached = job.skip;
    outcomes.push_back(std::move(outcome));
    inputs.push_back(job.inputPath);
  }
  BatchSummary summary;
  CountStatuses(outcomes, false, summary);
  PruneReport prune;
  prune.dryRun = true;
  if (upkeep_) prune = upkeep_->Finish({}, {}, false);
  std::string text;
  if (options_.json) {
    text = WithPruneJson(RunReportJson(inputs, outcomes, summary, false), prune);
  } else {
    for (const std::string& line : RunReportLines(outcomes, summary)) text += line + "\n";
    for (const std::string& line : PruneReportLines(prune)) text += line + "\n";
    text += "試行のため、変換・コピー・削除はしていません\n";
  }
  if ((!options_.quiet || reportFile_) && !WriteReport(reportFile_, text)) return kBatchSomeFailed;
  return addFailed_ ? kBatchSomeFailed : kBatchAllDone;
}

int BatchCommand::Run() {
  if (options_.dryRun) return TryOnly();
  std::vector<bool> skipped;
  for (const PlannedJob& job : start_->plan.jobs) skipped.push_back(job.skip);
  run_ = std::make_unique<BatchRun>(std::move(start_->plan), std::move(start_->optionText),
                                    start_->runOptions, clock_, nullptr);
  QObject* context = QCoreApplication::instance();
  if (!options_.quiet) {
    progress_ = std::make_unique<TerminalProgress>(stderr, StandardErrorIsTerminal(),
                                                   StandardErrorColumns(), japanese_, skipped);
    QObject::connect(run_.get(), &BatchRun::JobStarting, context,
                     [this](std::size_t job, int lane) {
                       const std::string& input = run_->Job(job).inputPath;
                       progress_->JobStarted(job, lane, input, FileNamePart(input, rules_));
                     });
    QObject::connect(run_.get(), &BatchRun::BatchProgressed, context,
                     [this](double fraction, std::optional<std::int64_t> remainingMs) {
                       progress_->BatchProgressed(fraction, remainingMs);
                     });
  }
  QObject::connect(run_.get(), &BatchRun::JobEnded, context,
                   [this](std::size_t job, int lane, const JobOutcome& outcome) {
                     if (progress_) {
                       progress_->JobEnded(job, lane, outcome);
                     } else if (!outcome.succeeded && !interrupted_) {
                       PrintError("lumio: " + outcome.outputPath + ": " + outcome.reason);
                     }
                   });
  QObject::connect(run_.get(), &BatchRun::Finished, context,
                   [this](const std::vector<JobOutcome>& outcomes, const BatchSummary& summary) {
                     Finished(outcomes, summary);
                   });
  QObject::connect(run_.get(), &BatchRun::Faulted, context, [this] {
    if (progress_) progress_->Finish();
    PrintError("lumio: 処理に失敗しました");
    End(kBatchSomeFailed);
  });
  run_->Start();
  QCoreApplication::exec();
  // Encoders still running are killed and their hidden files removed.
  run_.reset();
  return status_;
}

void BatchCommand::Interrupt() {
  interrupted_ = true;
  if (run_) {
    run_->Cancel();
  } else if (adding_ != nullptr) {
    adding_->exit(kBatchInterrupted);
  }
}

std::vector<std::string> BatchCommand::AddSources(FileDataList& jobs,
                                                  const std::vector<std::string>& paths) {
  const std::string defDir = DefaultOutputFolder(*settings_, rules_);
  const SourceAddFunction add = [&](const std::string& path, const std::string& subfolder,
                                    SourceReading reading) {
    return jobs.AddReadSource(path, std::move(reading), *settings_, defDir, subfolder);
  };
  std::vector<std::string> failed;
  QEventLoop loop;
  std::optional<SourceFeed> feed;
  const auto take = [&] {
    AddReadyBatches(*feed, add, failed);
    if (feed->Done()) loop.exit(0);
  };
  // Called on a feed thread; the feed goes before the loop, and a take still queued goes
  // with the loop.
  feed.emplace(rules_, FeedReadFunction(),
               [&loop, take] { QMetaObject::invokeMethod(&loop, take, Qt::QueuedConnection); });
  try {
    feed->Append({paths, false, ReadCarryOptions(*settings_).splitEmbeddedCue});
  } catch (const std::system_error&) {
    return paths;  // no thread to read them with
  }
  adding_ = &loop;
  loop.exec();
  adding_ = nullptr;
  // Also a signal taken between the end of adding and the loop's.
  if (interrupted_) EndInterruptedAdding();
  return failed;
}

void BatchCommand::EndInterruptedAdding() {
  Finished({}, BatchSummary());
  std::_Exit(status_);
}

void BatchCommand::Finished(std::vector<JobOutcome> outcomes, const BatchSummary& summary) {
  if (progress_) progress_->Finish();
  for (auto& [job, notes] : nameNotes_) {
    if (job < outcomes.size()) {
      outcomes[job].notes.insert(outcomes[job].notes.begin(), notes.begin(), notes.end());
    }
  }
  // Every job's outcome, in list order, those never reached too.
  std::vector<std::string> inputs;
  for (std::size_t i = 0; i < outcomes.size(); ++i) inputs.push_back(run_->Job(i).inputPath);
  PruneReport prune;
  if (upkeep_) prune = upkeep_->Finish(outcomes, inputs, interrupted_);
  std::string text;
  if (options_.json) {
    text = RunReportJson(inputs, outcomes, summary, interrupted_);
    if (upkeep_) text = WithPruneJson(text, prune);
  } else {
    for (const std::string& line : RunReportLines(outcomes, summary)) text += line + "\n";
    for (const std::string& line : PruneReportLines(prune)) text += line + "\n";
  }
  bool reportWritten = true;
  if (!options_.quiet || reportFile_) {
    reportWritten = WriteReport(reportFile_, text);
    if (!reportWritten) {
      PrintError(std::string(Pick(japanese_, "lumio: cannot write the report ",
                                  "lumio: 報告を書き込めません: ")) +
                 reportFile_.value_or("-"));
    }
  }
  if (interrupted_) {
    End(kBatchInterrupted);
  } else {
    const bool allDone = summary.done + summary.skipped == run_->JobCount();
    const bool pruned = prune.failures.empty();
    End(allDone && !addFailed_ && reportWritten && pruned ? kBatchAllDone : kBatchSomeFailed);
  }
}

void BatchCommand::End(int status) {
  status_ = status;
  // Queued, so that it also ends a loop that has not started yet (a batch whose every
  // output is up to date ends within Start).
  QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                            Qt::QueuedConnection);
}

}  // namespace

int RunBatchCommand(const std::vector<std::string>& arguments, int& argc, char** argv) {
  const bool japanese = IsJapaneseLocaleInEnvironment();
  const BatchCommandLine commandLine = ParseBatchCommandLine(arguments, japanese);
  if (commandLine.action != CommandLineAction::Run) {
    return PrintCommandLineOutcome({commandLine.action, commandLine.text, {}});
  }
  QCoreApplication application(argc, argv);
  BoundedPoolWait poolWait;
  BatchCommand command(commandLine.options, japanese);
  if (const std::optional<int> ended = command.Prepare()) return poolWait.Ending(*ended);
  return poolWait.Ending(command.Run());
}

}  // namespace lumio
