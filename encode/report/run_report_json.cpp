#include "encode/report/run_report_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace lumio {

namespace {

QString Text(const std::string& bytes) { return QString::fromUtf8(bytes); }

QString StatusWord(JobStatus status) {
  switch (status) {
    case JobStatus::Done:
      return QStringLiteral("done");
    case JobStatus::Failed:
      return QStringLiteral("failed");
    case JobStatus::Skipped:
      return QStringLiteral("skipped");
    case JobStatus::Cancelled:
      return QStringLiteral("cancelled");
    case JobStatus::NotStarted:
      return QStringLiteral("not-started");
  }
  return QStringLiteral("failed");
}

}  // namespace

std::string RunReportJson(const std::vector<std::string>& inputs,
                          const std::vector<JobOutcome>& outcomes, const BatchSummary& summary,
                          bool cancelled) {
  QJsonArray jobs;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const JobOutcome& outcome = outcomes[i];
    jobs.append(QJsonObject{
        {QStringLiteral("input"), Text(i < inputs.size() ? inputs[i] : std::string())},
        {QStringLiteral("output"), Text(outcome.outputPath)},
        {QStringLiteral("status"), StatusWord(StatusOf(outcome, cancelled))},
        {QStringLiteral("reason"), Text(outcome.reason)},
        {QStringLiteral("elapsed_ms"), static_cast<qint64>(outcome.elapsedMs)},
        {QStringLiteral("play_ms"), static_cast<qint64>(outcome.playTimeMs)},
    });
  }
  const QJsonObject summaryObject{
      {QStringLiteral("completed"), summary.completed},
      {QStringLiteral("cancelled"), cancelled},
      {QStringLiteral("done"), static_cast<qint64>(summary.done)},
      {QStringLiteral("skipped"), static_cast<qint64>(summary.skipped)},
      {QStringLiteral("failed"), static_cast<qint64>(summary.failed)},
      {QStringLiteral("stopped"), static_cast<qint64>(summary.cancelled)},
      {QStringLiteral("not_started"), static_cast<qint64>(summary.notStarted)},
      {QStringLiteral("elapsed_ms"), static_cast<qint64>(summary.elapsedMs)},
  };
  const QJsonObject report{{QStringLiteral("jobs"), jobs},
                           {QStringLiteral("summary"), summaryObject}};
  return QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace lumio
