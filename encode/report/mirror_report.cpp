#include "encode/report/mirror_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace lumio {

namespace {

QJsonArray TextArray(const std::vector<std::string>& texts) {
  QJsonArray array;
  for (const std::string& text : texts) array.append(QString::fromUtf8(text));
  return array;
}

std::string Indented(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

std::vector<std::string> PruneReportLines(const PruneReport& report) {
  std::vector<std::string> lines;
  const std::string mark = report.dryRun ? "[削除予定] " : "[削除] ";
  for (const std::string& path : report.removed) lines.push_back(mark + path);
  for (const std::string& failure : report.failures) lines.push_back("[削除失敗] " + failure);
  return lines;
}

std::string WithPruneJson(const std::string& json, const PruneReport& report) {
  QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  object.insert(report.dryRun ? QStringLiteral("would_remove") : QStringLiteral("removed"),
                TextArray(report.removed));
  object.insert(QStringLiteral("removal_failures"), TextArray(report.failures));
  return Indented(object);
}

std::vector<std::string> DryRunLines(const std::vector<std::string>& outputs) {
  std::vector<std::string> lines;
  for (const std::string& output : outputs) lines.push_back("[未処理] " + output);
  lines.push_back("試行のため、変換・コピー・削除はしていません");
  return lines;
}

std::string DryRunJson(const std::vector<std::string>& inputs,
                       const std::vector<std::string>& outputs) {
  QJsonArray jobs;
  for (std::size_t i = 0; i < outputs.size() && i < inputs.size(); ++i) {
    jobs.append(QJsonObject{{QStringLiteral("input"), QString::fromUtf8(inputs[i])},
                            {QStringLiteral("output"), QString::fromUtf8(outputs[i])},
                            {QStringLiteral("status"), QStringLiteral("not-started")}});
  }
  return Indented(QJsonObject{{QStringLiteral("dry_run"), true}, {QStringLiteral("jobs"), jobs}});
}

}  // namespace lumio
