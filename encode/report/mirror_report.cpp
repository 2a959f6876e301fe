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
  if (report.dryRun) object.insert(QStringLiteral("dry_run"), true);
  object.insert(report.dryRun ? QStringLiteral("would_remove") : QStringLiteral("removed"),
                TextArray(report.removed));
  object.insert(QStringLiteral("removal_failures"), TextArray(report.failures));
  return Indented(object);
}

}  // namespace lumio
