#pragma once

#include <functional>
#include <optional>

#include "ui/dialog_seam.h"

// Answers every message box of a benchmark with one fixed answer and cancels every
// other prompt; no prompt but a message box is expected while a benchmark runs.
class FixedDialogs final : public lumio::DialogSeam {
 public:
  explicit FixedDialogs(lumio::DialogAnswer answer) : answer_(answer) {}

  lumio::DialogAnswer Message(QWidget*, const QString&, const QString&, lumio::MessageKind,
                              lumio::MessageButtons) override {
    return answer_;
  }
  std::optional<QStringList> OpenFiles(QWidget*, const QString&, const QString&,
                                       const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> OpenFile(QWidget*, const QString&, const QString&,
                                  const QStringList&) override {
    return std::nullopt;
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> InputText(QWidget*, const QString&, const QString&,
                                   const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> TagPattern(QWidget*, const QString&, const QString&, const QString&,
                                    const std::function<QString(const QString&)>&) override {
    return std::nullopt;
  }

 private:
  lumio::DialogAnswer answer_;
};
