#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>
#include <set>
#include <vector>

#include "core/carried_tags.h"
#include "core/carried_tags_edit.h"
#include "core/file_data_list.h"
#include "ui/job_list_model.h"

class QListWidget;
class QPushButton;
class QTableWidget;

namespace lumio {

class DialogSeam;

// The window "すべてのタグ": every field the outputs of the selected entries will get
// (the six from the entries, then the carried fields in order), their pictures, and
// what will be left out and why. Carried fields can be changed, removed and added;
// with several entries, a row whose values differ is changed only when edited. The
// pictures of a single entry can be removed or set from an image file; with several,
// the pictures they share are shown, and "(複数の値)" when they hold others. OK, the
// default button, writes the changes into the entries; Enter while a value is edited
// only ends the edit. The thumbnails are read on a worker thread.
class TAllTagsWindow : public QDialog {
  Q_OBJECT

 public:
  TAllTagsWindow(QWidget* parent, JobListModel& jobs, Selection selection, CarryOptions options,
                 DialogSeam& dialogs);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::vector<const CarriedTags*> SelectedEntries() const;
  void FillFields();
  void FillPictures();
  void FillLeftOut();
  void LoadThumbnails();
  void AddFieldClick();
  void RemoveFieldClick();
  void RemovePictureClick();
  void SetPictureClick();
  void OkClick();

  JobListModel& jobs_;
  const Selection selection_;
  const CarryOptions options_;
  DialogSeam& dialogs_;
  std::vector<SharedField> rows_;  // the carried rows, after the six in the table
  std::set<int> editedRows_;       // table rows whose value the user changed
  std::vector<FieldEdit> removed_;
  // Of the single selected entry; with several, those they all hold.
  std::vector<CarriedPicture> pictures_;
  bool picturesDiffer_ = false;  // several entries, holding pictures besides pictures_
  bool picturesChanged_ = false;
  QFutureWatcher<std::vector<QImage>> thumbnails_;

  QTableWidget* FieldTable = nullptr;
  QPushButton* AddField = nullptr;
  QPushButton* RemoveField = nullptr;
  QListWidget* PictureList = nullptr;
  QPushButton* RemovePicture = nullptr;
  QPushButton* SetPicture = nullptr;
  QListWidget* LeftOutList = nullptr;
  QPushButton* AllTagsOk = nullptr;
  QPushButton* AllTagsCancel = nullptr;
};

}  // namespace lumio
