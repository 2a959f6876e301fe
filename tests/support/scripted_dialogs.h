#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <variant>

#include "ui/dialog_seam.h"

namespace lumio::test {

// Answers every modal prompt from a queue and records each prompt it was shown. A
// prompt for which no answer is queued, or whose queued answer is of another kind,
// fails the test and is answered as cancelled.
class ScriptedDialogs : public DialogSeam {
 public:
  struct Prompt {
    QString kind;  // "message", "open-files", "open-file", "folder", "input", "pattern"
    QString title;
    QString text;
    QString preview;  // pattern prompts: the preview of the pattern given as the answer
    MessageButtons buttons = MessageButtons::Ok;  // of a message prompt
    QString filter;                               // open-files prompts: the filters offered
  };
  struct MessageAnswer {
    DialogAnswer answer;
  };
  struct FilesAnswer {
    std::optional<QStringList> files;
  };
  struct FileAnswer {
    std::optional<QString> file;
  };
  struct FolderAnswer {
    std::optional<QString> folder;
  };
  struct InputAnswer {
    std::optional<QString> text;
  };
  // The pattern typed; its preview is recorded, also when `cancelled` is true.
  struct PatternAnswer {
    QString pattern;
    bool cancelled = false;
  };
  using Answer = std::variant<MessageAnswer, FilesAnswer, FileAnswer, FolderAnswer, InputAnswer,
                              PatternAnswer>;

  void Queue(Answer answer) { answers_.push_back(std::move(answer)); }
  const std::vector<Prompt>& Prompts() const { return prompts_; }
  bool AllAnswersUsed() const { return answers_.empty(); }

  DialogAnswer Message(QWidget*, const QString& title, const QString& text, MessageKind,
                       MessageButtons buttons) override {
    auto answer = Take<MessageAnswer>("message", title, text);
    prompts_.back().buttons = buttons;
    return answer ? answer->answer : DialogAnswer::Cancel;
  }
  std::optional<QStringList> OpenFiles(QWidget*, const QString& caption, const QString& startFolder,
                                       const QString& filter) override {
    auto answer = Take<FilesAnswer>("open-files", caption, startFolder);
    prompts_.back().filter = filter;
    return answer ? answer->files : std::nullopt;
  }
  std::optional<QString> OpenFile(QWidget*, const QString& caption, const QString& startFolder,
                                  const QStringList&) override {
    auto answer = Take<FileAnswer>("open-file", caption, startFolder);
    return answer ? answer->file : std::nullopt;
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString& title,
                                      const QString& startFolder) override {
    auto answer = Take<FolderAnswer>("folder", title, startFolder);
    return answer ? answer->folder : std::nullopt;
  }
  std::optional<QString> InputText(QWidget*, const QString& title, const QString& prompt,
                                   const QString&) override {
    auto answer = Take<InputAnswer>("input", title, prompt);
    return answer ? answer->text : std::nullopt;
  }
  // Recorded with the initial pattern as its text.
  std::optional<QString> TagPattern(
      QWidget*, const QString& title, const QString&, const QString& initial,
      const std::function<QString(const QString&)>& preview) override {
    auto answer = Take<PatternAnswer>("pattern", title, initial);
    prompts_.back().preview = preview(answer ? answer->pattern : initial);
    if (!answer || answer->cancelled) {
      return std::nullopt;
    }
    return answer->pattern;
  }

 private:
  template <typename T>
  std::optional<T> Take(const QString& kind, const QString& title, const QString& text) {
    prompts_.push_back({kind, title, text, {}, MessageButtons::Ok, {}});
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected " << kind.toStdString() << " prompt: " << title.toStdString()
                    << " / " << text.toStdString();
      return std::nullopt;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    if (auto* typed = std::get_if<T>(&answer)) {
      return *typed;
    }
    ADD_FAILURE() << "the queued answer does not fit the " << kind.toStdString()
                  << " prompt: " << title.toStdString() << " / " << text.toStdString();
    return std::nullopt;
  }

  std::deque<Answer> answers_;
  std::vector<Prompt> prompts_;
};

}  // namespace lumio::test
