#include "ui/folder_chooser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/file_system.h"
#include "ui/look.h"
#include "ui/message_dialog.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

QString ExpandHome(const QString& path) {
  if (path == "~") {
    return QDir::homePath();
  }
  if (path.startsWith("~/")) {
    return QDir::homePath() + path.mid(1);
  }
  return path;
}

// The chooser: folders only, the typed or selected folder in a field under the tree.
class FolderChooserDialog : public QDialog {
 public:
  FolderChooserDialog(DialogSeam& dialogs, QWidget* parent, const QString& title,
                      const QString& startFolder)
      : QDialog(parent), dialogs_(dialogs) {
    setWindowTitle(title);
    setFont(LumioFont());
    resize(380, 440);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QDir::rootPath());

    tree_ = new QTreeView(this);
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) {
      tree_->hideColumn(column);
    }

    field_ = new QLineEdit(this);
    auto* fieldLabel = new QLabel("フォルダ名:", this);
    fieldLabel->setBuddy(field_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addWidget(fieldLabel);
    layout->addWidget(field_);
    layout->addWidget(buttons);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { field_->setText(model_->filePath(current)); });

    const QString start = QDir(startFolder).exists() ? startFolder : QDir::homePath();
    const QModelIndex startIndex = model_->index(QDir::cleanPath(start));
    tree_->setCurrentIndex(startIndex);
    tree_->scrollTo(startIndex, QAbstractItemView::PositionAtCenter);
    // The model reads and sorts folders in the background, so the rows above the start
    // folder keep moving after this; follow it until the user first touches the tree.
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
      if (followStart_) {
        QTimer::singleShot(0, this, [this] { KeepSelectionInView(); });
      }
    });
    tree_->installEventFilter(this);
    tree_->viewport()->installEventFilter(this);
    field_->setText(QDir::cleanPath(start));
  }

  const QString& Chosen() const { return chosen_; }

  void accept() override {
    const QString treeFolder = model_->filePath(tree_->currentIndex());
    if (const std::optional<QString> chosen =
            AcceptTypedFolder(field_->text(), treeFolder, dialogs_)) {
      chosen_ = *chosen;
      QDialog::accept();
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::Wheel:
      case QEvent::KeyPress:
        followStart_ = false;
        break;
      default:
        break;
    }
    return QDialog::eventFilter(watched, event);
  }

 private:
  void KeepSelectionInView() {
    tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
  }

  DialogSeam& dialogs_;
  QFileSystemModel* model_ = nullptr;
  QTreeView* tree_ = nullptr;
  QLineEdit* field_ = nullptr;
  QString chosen_;
  bool followStart_ = true;
};

}  // namespace

std::optional<QString> AcceptTypedFolder(const QString& typed, const QString& treeFolder,
                                         DialogSeam& dialogs) {
  QString path = ExpandHome(typed.isEmpty() ? treeFolder : typed);
  if (path.isEmpty()) {
    return std::nullopt;
  }
  if (QDir::isRelativePath(path)) {
    // A bare name means a folder inside the selected one, never inside whatever the
    // process's current folder happens to be.
    if (treeFolder.isEmpty()) {
      return std::nullopt;
    }
    path = QDir(treeFolder).filePath(path);
  }
  path = QDir::cleanPath(path);
  const std::string bytes = ToBytes(path);
  if (FolderExists(bytes)) {
    return path;
  }
  if (ShowMessageDialog(dialogs, "指定されたディレクトリが存在しません。作成しますか？",
                        MessageKind::Question, MessageButtons::YesNo) != DialogAnswer::Ok) {
    return std::nullopt;
  }
  // A folder that could not be made is not handed back as if it existed.
  if (!CreateFolderTree(bytes)) {
    ShowMessageDialog(dialogs, "\n作成できませんでした", MessageKind::Error, MessageButtons::Ok);
    return std::nullopt;
  }
  return path;
}

std::optional<QString> RunFolderChooser(DialogSeam& dialogs, QWidget* parent, const QString& title,
                                        const QString& startFolder) {
  FolderChooserDialog dialog(dialogs, parent, title, startFolder);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.Chosen();
}

}  // namespace lumio
