#pragma once

#include <QAbstractListModel>
#include <functional>
#include <string>

#include "core/file_data_list.h"

namespace lumio {

class SettingsStore;

// The job list as the list view shows it: one row per entry, its input path as the
// text. Every change to the entries goes through here and is told to the views, so
// that their rows, selection and current row follow the records without being kept in
// step by hand.
class JobListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit JobListModel(PathRules rules = NativePathRules(), QObject* parent = nullptr);

  const FileDataList& Jobs() const { return jobs_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // Rows can be dragged, and dropped between rows; the view moves them through
  // MoveSelected.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override;

  // See FileDataList::AddReadSource; the new row is inserted at the end.
  bool AddReadSource(const std::string& inputPath, SourceReading reading,
                     const SettingsStore& settings, const std::string& defDir,
                     const std::string& subfolder);
  void RemoveSelected(const Selection& selection);
  void Clear();
  void ApplyTag(TagField field, const std::string& text, const Selection& selection);
  void SetOutputFileName(std::size_t index, const std::string& name);
  void SetOutputFolder(const std::string& folder, const Selection& selection);
  // Lets `edit` change the record of each selected entry.
  void EditRecords(const Selection& selection, const std::function<void(FileData&)>& edit);
  // See FileDataList::MoveSelected and StepSelected. The views' selection and current
  // row stay with the entries they were on.
  Selection MoveSelected(const Selection& selection, std::size_t destination);
  Selection StepSelected(const Selection& selection, int step);

 private:
  // Runs `reorder` on the list and carries every persistent index to its entry's new row.
  Selection Reorder(const std::function<Selection()>& reorder);
  void TellChanged(const Selection& selection);

  FileDataList jobs_;
};

}  // namespace lumio
