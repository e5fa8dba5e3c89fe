#pragma once

#include <QDialog>

#include "tarnwick/exports.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarnwick::gui {

// "Save results": which sections go into the file and from where. The
// choices belong to the main window and outlive the dialog; Close keeps
// what was ticked, Esc forgets it.
class SaveResultsDialog : public QDialog {
  Q_OBJECT
 public:
  SaveResultsDialog(SaveResultsOptions& values, QWidget* parent = nullptr);

  // True only when the dialog ended with "Save".
  bool saveRequested() const { return saveRequested_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void showValues();
  void readControls();
  void flipScope();
  void extensionsToggled();
  void finish(bool save);

  SaveResultsOptions& values_;
  bool saveRequested_ = false;
  QCheckBox* emails_;
  QCheckBox* saveAll_;
  QCheckBox* selectedBranch_;
  QCheckBox* keywords_;
  QCheckBox* allWebLinks_;
  QCheckBox* onlyWithExtensions_;
  QLineEdit* extensions_;
  QPushButton* save_;
  QPushButton* close_;
};

}  // namespace tarnwick::gui
