#pragma once

#include <QEventLoop>
#include <QTimer>
#include <string>
#include <variant>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"

namespace lumio::bench {

// Runs a checked list through the batch engine to its end; whether every job was done.
inline bool RunEngine(const FileDataList& jobs, const SettingsStore& settings,
                      const std::string& programFolder, int parallel, Clock& clock) {
  auto checked = PrepareBatch(jobs, settings, programFolder, NativePathRules());
  if (!std::holds_alternative<BatchPlan>(checked)) return false;
  BatchRun run(std::get<BatchPlan>(std::move(checked)), BuildOptionText(settings),
               {.parallel = parallel}, clock, nullptr);
  bool completed = false;
  QEventLoop loop;
  QObject::connect(&run, &BatchRun::Finished,
                   [&](const std::vector<JobOutcome>&, const BatchSummary& summary) {
                     completed = summary.completed;
                     loop.quit();
                   });
  QObject::connect(&run, &BatchRun::Faulted, &loop, &QEventLoop::quit);
  // Started from the loop, so that a run that ends at once ends the loop too.
  QTimer::singleShot(0, &run, &BatchRun::Start);
  loop.exec();
  return completed;
}

}  // namespace lumio::bench
