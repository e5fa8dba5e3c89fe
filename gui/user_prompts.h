#pragma once

#include <QString>

#include "tarnwick/host.h"

class QDialog;
class QUrl;
class QWidget;

namespace tarnwick::gui {

// Everything the window hands to the person or the system rather than to its
// own widgets: message boxes, choosers, the system's browser. Tests replace
// it with one that answers from a script.
class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // A box captioned "Tarnwick" over `over` with the given buttons.
  virtual Answer ask(QWidget* over, const QString& text, Buttons buttons) = 0;
  // The chosen folder, or empty when cancelled.
  virtual QString chooseFolder(QWidget* over, const QString& title, const QString& start) = 0;
  // The chosen existing file, or empty when cancelled.
  virtual QString chooseFile(QWidget* over, const QString& title, const QString& start) = 0;
  // A file to write, proposedPath filled in; it need not exist and is not
  // asked about when it does. Empty when cancelled.
  virtual QString chooseSaveFile(QWidget* over, const QString& title,
                                 const QString& proposedPath) = 0;
  // "Choose file or folder to search": 0 file, 1 folder, -1 closed.
  virtual int chooseFileOrFolder(QWidget* over) = 0;
  // Hands an address to the system's browser.
  virtual void openUrl(const QUrl& url) = 0;
  // Runs a modal dialog of the program's own and gives its result.
  virtual int runModal(QDialog& dialog) = 0;
};

// The real boxes and choosers.
class DialogPrompts : public UserPrompts {
 public:
  Answer ask(QWidget* over, const QString& text, Buttons buttons) override;
  QString chooseFolder(QWidget* over, const QString& title, const QString& start) override;
  QString chooseFile(QWidget* over, const QString& title, const QString& start) override;
  QString chooseSaveFile(QWidget* over, const QString& title,
                         const QString& proposedPath) override;
  int chooseFileOrFolder(QWidget* over) override;
  void openUrl(const QUrl& url) override;
  int runModal(QDialog& dialog) override;
};

}  // namespace tarnwick::gui
