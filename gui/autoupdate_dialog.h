#pragma once

#include <QDialog>

#include "tarnwick/autoupdate.h"

class QLineEdit;
class QPushButton;

namespace tarnwick::gui {

class UserPrompts;

// "Set autoupdate": a web page and a period in minutes, and the button that
// switches the main window's timer on or off. The state it edits belongs to
// the main window and outlives this dialog.
class AutoupdateDialog : public QDialog {
  Q_OBJECT
 public:
  AutoupdateDialog(AutoupdateState& state, UserPrompts& prompts, QWidget* parent);

 private:
  // "Set timer" / "Kill timer": switches and ends the dialog when the inputs pass.
  void setOrKill();
  // "Close": keeps what was typed, the timer as it was.
  void closeKeeping();
  // Edits to state; false (with a message) when the minutes are no whole number.
  bool storeControls();

  AutoupdateState& state_;
  UserPrompts& prompts_;
  QLineEdit* addressEdit_;
  QLineEdit* minutesEdit_;
  QPushButton* switchButton_;
};

}  // namespace tarnwick::gui
