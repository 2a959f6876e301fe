#include "app/mirror_upkeep.h"

#include <utility>

#include "core/mirror_prune.h"

namespace lumio {

MirrorUpkeep::MirrorUpkeep(std::string root, std::vector<std::string> sourceFolders, bool prune,
                           bool dryRun)
    : root_(std::move(root)),
      sourceFolders_(std::move(sourceFolders)),
      prune_(prune),
      dryRun_(dryRun) {}

std::optional<std::string> MirrorUpkeep::Load() {
  entries_ = ReadMirrorManifest(root_);
  if (entries_) return std::nullopt;
  return "lumio: " + root_ + std::string(kMirrorManifestName) +
         ": 出力の一覧として読めないため、削除も一覧の更新もしません";
}

PruneReport MirrorUpkeep::Finish(const std::vector<JobOutcome>& outcomes,
                                 const std::vector<std::string>& inputs, bool interrupted) {
  PruneReport report;
  report.dryRun = dryRun_;
  if (!entries_) return report;
  const std::vector<MirrorEntry> orphans = prune_ && !interrupted
                                               ? OrphanedOutputs(*entries_, root_, sourceFolders_)
                                               : std::vector<MirrorEntry>();
  if (dryRun_) {
    for (const MirrorEntry& orphan : orphans) report.removed.push_back(root_ + orphan.output);
    return report;
  }
  PruneOutcome pruned = RemoveOrphanedOutputs(orphans, root_);
  for (const MirrorEntry& removed : pruned.removed)
    report.removed.push_back(root_ + removed.output);
  report.failures = std::move(pruned.failures);
  std::vector<MirrorEntry> written;
  for (std::size_t i = 0; i < outcomes.size() && i < inputs.size(); ++i) {
    if (!outcomes[i].succeeded || outcomes[i].skipped) continue;
    if (auto entry = WrittenEntry(root_, outcomes[i].outputPath, inputs[i])) {
      written.push_back(std::move(*entry));
    }
  }
  if (!WriteMirrorManifest(root_, UpdatedManifest(root_, *entries_, pruned.removed, written))) {
    report.failures.push_back(root_ + std::string(kMirrorManifestName) + ": 書き込めません");
  }
  return report;
}

}  // namespace lumio
