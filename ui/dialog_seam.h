#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "ui/message_kinds.h"

class QWidget;

namespace lumio {

// Every modal prompt of the program goes through this one interface, so that tests
// can answer prompts from a queue and see exactly which prompts appeared.
class DialogSeam {
 public:
  virtual ~DialogSeam() = default;

  // A message box: `title` is "警告", "エラー" or "確認"; OK is the default button; the
  // close box counts as キャンセル.
  virtual DialogAnswer Message(QWidget* parent, const QString& title, const QString& text,
                               MessageKind kind, MessageButtons buttons) = 0;
  // Open-file dialog with several files selectable; nullopt when cancelled.
  virtual std::optional<QStringList> OpenFiles(QWidget* parent, const QString& caption,
                                               const QString& startFolder,
                                               const QString& filter) = 0;
  // Open-file dialog for one file; nullopt when cancelled.
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& caption,
                                          const QString& startFolder,
                                          const QStringList& filters) = 0;
  // The folder chooser "ディレクトリの選択"; nullopt when cancelled. A folder typed that
  // does not exist yet is confirmed and created with its parents by the chooser.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                              const QString& startFolder) = 0;
  // One-line input box with OK and キャンセル; nullopt when cancelled.
  virtual std::optional<QString> InputText(QWidget* parent, const QString& title,
                                           const QString& prompt, const QString& initial) = 0;
  // The pattern window of the tag commands: `prompt` says what the pattern is for, the
  // field starts with `initial`, and `preview` gives the result line for the pattern as
  // typed so far. nullopt when cancelled.
  virtual std::optional<QString> TagPattern(
      QWidget* parent, const QString& title, const QString& prompt, const QString& initial,
      const std::function<QString(const QString&)>& preview) = 0;
};

}  // namespace lumio
