#pragma once

#include "search_dialog.h"
#include "tarnwick/options.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick::gui {

// "Find in local system": the local search's options, its target chosen
// with Browse, and its report line. Find, Stop and Close only set flags and
// send the main window the start request.
class LocalDialog : public SearchDialog {
  Q_OBJECT
 public:
  LocalDialog(LocalSearchOptions& values, DialogFlags& flags, UserPrompts& prompts);

  void showButtons(SearchState state) override;
  void showLocalReport(const QString& text) override;

  void readControls();
  void showValues();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void buildControls();
  void connectControls();
  void find();
  void stop();
  void closeByButton();
  void browse();
  void categoryToggled(bool LocalSearchOptions::*member, bool isKeywords);
  void showNothingSelected();
  bool anyCategorySelected() const;

  LocalSearchOptions& values_;
  QPushButton* findButton_;
  QPushButton* stopButton_;
  QPushButton* webLinksButton_;
  QPushButton* imagesButton_;
  QPushButton* emailsButton_;
  QPushButton* keywordsButton_;
  QCheckBox* matchCase_;
  QPushButton* closeButton_;
  QLineEdit* keywordsEdit_;
  QLineEdit* searchPathEdit_;
  QPushButton* browseButton_;
  QLabel* report_;
};

}  // namespace tarnwick::gui
