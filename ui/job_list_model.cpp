#include "ui/job_list_model.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

#include "ui/text_conversion.h"

namespace lumio {

namespace {

// The rows of `selection` that exist, ascending and each once.
Selection ExistingRows(Selection selection, std::size_t count) {
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
  selection.erase(std::lower_bound(selection.begin(), selection.end(), count), selection.end());
  return selection;
}

// "m:ss" of `frame` at `rate` frames a second.
std::string MinutesSeconds(std::uint64_t frame, std::uint32_t rate) {
  const std::uint64_t seconds = frame / rate;
  const std::uint64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

// The row's text: the input path, and for a track cut out of an image the part it
// covers, so that the tracks of one image can be told apart in the list.
std::string RowText(const FileDataList& jobs, std::size_t row) {
  std::string text = jobs.InputPath(row);
  const FileData& record = jobs.Record(row);
  const std::uint32_t rate = record.Audio.SampleRate;
  if (!record.Range || rate == 0) return text;
  const SampleRange& range = *record.Range;
  const std::uint64_t end = range.end != 0 ? range.end : range.first + record.Audio.SampleFrames;
  return text + " [" + MinutesSeconds(range.first, rate) + "-" + MinutesSeconds(end, rate) + "]";
}

}  // namespace

JobListModel::JobListModel(PathRules rules, QObject* parent)
    : QAbstractListModel(parent), jobs_(rules) {}

int JobListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(jobs_.Count());
}

QVariant JobListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= jobs_.Count() ||
      (role != Qt::DisplayRole && role != Qt::EditRole)) {
    return {};
  }
  return ToQString(RowText(jobs_, static_cast<std::size_t>(index.row())));
}

Qt::ItemFlags JobListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::ItemIsDropEnabled;
  }
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

Qt::DropActions JobListModel::supportedDropActions() const {
  return Qt::CopyAction | Qt::MoveAction;
}

bool JobListModel::AddReadSource(const std::string& inputPath, SourceReading reading,
                                 const SettingsStore& settings, const std::string& defDir,
                                 const std::string& subfolder) {
  // An unreadable file is the one the list turns away; it is not announced as a row.
  if (!reading.readable) {
    return false;
  }
  const int row = rowCount();
  beginInsertRows(QModelIndex(), row, row);
  const bool added =
      jobs_.AddReadSource(inputPath, std::move(reading), settings, defDir, subfolder);
  endInsertRows();
  return added;
}

void JobListModel::RemoveSelected(const Selection& selection) {
  const Selection rows = ExistingRows(selection, jobs_.Count());
  // Each run of neighbouring rows goes as one removal, the last run first, so that the
  // rows of the runs still to go keep their numbers.
  auto runEnd = rows.rbegin();
  while (runEnd != rows.rend()) {
    auto runStart = runEnd;
    while (std::next(runStart) != rows.rend() && *std::next(runStart) + 1 == *runStart) {
      ++runStart;
    }
    beginRemoveRows(QModelIndex(), static_cast<int>(*runStart), static_cast<int>(*runEnd));
    jobs_.RemoveSelected(Selection(runStart.base() - 1, runEnd.base()));
    endRemoveRows();
    runEnd = std::next(runStart);
  }
}

void JobListModel::Clear() {
  if (jobs_.Count() == 0) {
    return;
  }
  beginResetModel();
  jobs_.Clear();
  endResetModel();
}

void JobListModel::ApplyTag(TagField field, const std::string& text, const Selection& selection) {
  jobs_.ApplyTag(field, text, selection);
  TellChanged(selection);
}

void JobListModel::SetOutputFileName(std::size_t index, const std::string& name) {
  jobs_.SetOutputFileName(index, name);
  TellChanged({index});
}

void JobListModel::SetOutputFolder(const std::string& folder, const Selection& selection) {
  jobs_.SetOutputFolder(folder, selection);
  TellChanged(selection);
}

void JobListModel::EditRecords(const Selection& selection,
                               const std::function<void(FileData&)>& edit) {
  const Selection rows = ExistingRows(selection, jobs_.Count());
  for (const std::size_t index : rows) {
    edit(jobs_.Record(index));
  }
  TellChanged(rows);
}

Selection JobListModel::MoveSelected(const Selection& selection, std::size_t destination) {
  return Reorder([&] { return jobs_.MoveSelected(selection, destination); });
}

Selection JobListModel::StepSelected(const Selection& selection, int step) {
  return Reorder([&] { return jobs_.StepSelected(selection, step); });
}

Selection JobListModel::Reorder(const std::function<Selection()>& reorder) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // The records stay where they are in memory while the list reorders them, so each
  // one's address finds its new row.
  const QModelIndexList before = persistentIndexList();
  std::vector<const FileData*> entries;
  entries.reserve(static_cast<std::size_t>(before.size()));
  for (const QModelIndex& index : before) {
    entries.push_back(&std::as_const(jobs_).Record(static_cast<std::size_t>(index.row())));
  }
  Selection placed = reorder();
  std::unordered_map<const FileData*, int> rowOf;
  rowOf.reserve(jobs_.Count());
  for (std::size_t row = 0; row < jobs_.Count(); ++row) {
    rowOf.emplace(&std::as_const(jobs_).Record(row), static_cast<int>(row));
  }
  QModelIndexList after;
  after.reserve(before.size());
  for (const FileData* entry : entries) {
    after.push_back(index(rowOf.at(entry), 0));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  return placed;
}

void JobListModel::TellChanged(const Selection& selection) {
  const Selection rows = ExistingRows(selection, jobs_.Count());
  if (!rows.empty()) {
    // One span over the changed rows: a single notice, however many rows changed.
    emit dataChanged(index(static_cast<int>(rows.front()), 0),
                     index(static_cast<int>(rows.back()), 0));
  }
}

}  // namespace lumio
