#pragma once

#include "ui/dialog_seam.h"

namespace lumio {

// The real modal prompts, built from Qt's dialogs with the program's captions.
class QtDialogs : public DialogSeam {
 public:
  DialogAnswer Message(QWidget* parent, const QString& title, const QString& text, MessageKind kind,
                       MessageButtons buttons) override;
  std::optional<QStringList> OpenFiles(QWidget* parent, const QString& caption,
                                       const QString& startFolder, const QString& filter) override;
  std::optional<QString> OpenFile(QWidget* parent, const QString& caption,
                                  const QString& startFolder, const QStringList& filters) override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                      const QString& startFolder) override;
  std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                   const QString& initial) override;
  std::optional<QString> TagPattern(QWidget* parent, const QString& title, const QString& prompt,
                                    const QString& initial,
                                    const std::function<QString(const QString&)>& preview) override;
};

}  // namespace lumio
