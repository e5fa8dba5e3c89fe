#pragma once

#include "search_dialog.h"
#include "step_spin_box.h"
#include "tarnwick/options.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick::gui {

// "Fetch Internet": edits the crawl's options, shows its progress and sends
// the main window the start request. The options it edits belong to the
// main window and outlive this window.
class FetchDialog : public SearchDialog {
  Q_OBJECT
 public:
  FetchDialog(FetchOptions& values, DialogFlags& flags, UserPrompts& prompts);

  void showButtons(SearchState state) override;
  void setCurrentAddress(const QString& address) override;
  void showCrawlStatus(const CrawlStatusLines& lines) override;

  // Controls to values and back.
  void readControls();
  void showValues();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Esc closes the window as its title-bar button does.
  void reject() override;

 private:
  void buildControls();
  void connectControls();
  void go();
  void stop();
  void closeByButton();
  void stepLevel(int steps);
  void stepVolume(int steps);
  void keywordsToggled();
  void webLinksToggled();
  void downloadToToggled();
  void enableVolume(bool on);

  FetchOptions& values_;
  QPushButton* keywordsButton_;
  QLineEdit* keywordsEdit_;
  QCheckBox* matchCase_;
  QPushButton* emailsButton_;
  QPushButton* webLinksButton_;
  QPushButton* imagesButton_;
  QLineEdit* addressEdit_;
  QCheckBox* downloadTo_;
  LevelSpinBox* levelEdit_;
  VolumeSpinBox* volumeEdit_;
  QLabel* currentAddress_;
  QLabel* levelAndPages_;
  QLabel* bytes_;
  QLabel* downloadFolder_;
  QLabel* found_;
  QCheckBox* onlyRootDomain_;
  QCheckBox* onlyParentDomain_;
  QLabel* levelLabel_;
  QPushButton* goButton_;
  QPushButton* stopButton_;
  QPushButton* closeButton_;
};

}  // namespace tarnwick::gui
