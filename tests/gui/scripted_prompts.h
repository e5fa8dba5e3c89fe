#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QDialog>
#include <QString>
#include <QUrl>

#include "user_prompts.h"

namespace tarnwick::gui::test {

// Answers boxes and choosers from a script and remembers what was asked.
struct ScriptedPrompts : UserPrompts {
  std::vector<QString> asked;
  std::deque<Answer> answers;  // empty: Ok for a message, No for a question
  std::vector<QString> chooserTitles;
  QString folder;
  QString file;
  QString saveFile;
  std::vector<QString> proposedPaths;
  int fileOrFolder = -1;
  std::vector<QUrl> opened;
  std::vector<QString> modalTitles;
  // Runs inside every question, as a person would act while a box is up.
  std::function<void()> whileAsking;
  // Acts on a modal dialog of the program's as a person would and gives its
  // result; unset, the dialog is accepted untouched.
  std::function<int(QDialog&)> onModal;

  Answer ask(QWidget*, const QString& text, Buttons buttons) override {
    asked.push_back(text);
    if (whileAsking) whileAsking();
    if (answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString chooseFolder(QWidget*, const QString& title, const QString&) override {
    chooserTitles.push_back(title);
    return folder;
  }
  QString chooseFile(QWidget*, const QString& title, const QString&) override {
    chooserTitles.push_back(title);
    return file;
  }
  QString chooseSaveFile(QWidget*, const QString& title, const QString& proposed) override {
    chooserTitles.push_back(title);
    proposedPaths.push_back(proposed);
    return saveFile;
  }
  int chooseFileOrFolder(QWidget*) override {
    chooserTitles.push_back(QStringLiteral("Choose file or folder to search"));
    return fileOrFolder;
  }
  void openUrl(const QUrl& url) override { opened.push_back(url); }
  int runModal(QDialog& dialog) override {
    modalTitles.push_back(dialog.windowTitle());
    return onModal ? onModal(dialog) : QDialog::Accepted;
  }
};

}  // namespace tarnwick::gui::test
