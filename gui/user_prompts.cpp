#include "user_prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "file_or_folder_dialog.h"
#include "start_request.h"

namespace tarnwick::gui {
namespace {

QMessageBox::StandardButtons buttonsOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

Answer answerOf(int button) {
  switch (button) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::Ok;
  }
}

}  // namespace

Answer DialogPrompts::ask(QWidget* over, const QString& text, Buttons buttons) {
  QMessageBox box(buttons == Buttons::Ok ? QMessageBox::Warning : QMessageBox::Question,
                  QString::fromLatin1(kMainWindowTitle), text, buttonsOf(buttons), over);
  return answerOf(box.exec());
}

QString DialogPrompts::chooseFolder(QWidget* over, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(over, title, start);
}

QString DialogPrompts::chooseFile(QWidget* over, const QString& title, const QString& start) {
  return QFileDialog::getOpenFileName(over, title, start, QStringLiteral("All files (*)"));
}

QString DialogPrompts::chooseSaveFile(QWidget* over, const QString& title,
                                      const QString& proposedPath) {
  return QFileDialog::getSaveFileName(over, title, proposedPath, QStringLiteral("All files (*)"),
                                      nullptr, QFileDialog::DontConfirmOverwrite);
}

int DialogPrompts::chooseFileOrFolder(QWidget* over) {
  FileOrFolderDialog dialog(over);
  runModal(dialog);
  return dialog.choice();
}

void DialogPrompts::openUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

int DialogPrompts::runModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace tarnwick::gui
