#pragma once

#include <optional>

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include "search_dialog.h"
#include "tarnwick/host.h"

class QProgressBar;
class QTreeView;
class QWidget;

namespace tarnwick::gui {

class ResultsModel;
class UserPrompts;

// The engine's front end in the window: the progress bar, the tree view, the
// boxes, and the dialog whose search runs. Events are pumped only when some
// milliseconds have passed, so the window stays live at a small cost.
class QtHost : public Host {
 public:
  QtHost(QWidget& window, QProgressBar& progress, QTreeView& view, ResultsModel& model,
         UserPrompts& prompts);

  // The dialog whose search runs next: its flags, and where its window is
  // (the window may be destroyed and made again while the search runs).
  void attach(DialogFlags& flags, QPointer<SearchDialog>& window);
  // While set, questions are answered Yes and messages skipped: the window
  // is closing and waits for the search to stop.
  void answerYesToAll(bool on) { answerYes_ = on; }
  // Shows what was held back for the next pump.
  void flush();

  void pumpEvents() override;
  bool stopRequested() override;
  void setSearchState(SearchState state) override;
  Answer ask(std::string_view text, Buttons buttons) override;
  void setProgress(int percent) override;
  void setCurrentAddress(std::string_view address) override;
  void showCrawlStatus(const CrawlCounters& counters) override;
  void showLocalReport(std::string_view text) override;
  void expandItem(Item item) override;

 private:
  SearchDialog* dialog() const { return window_ ? window_->data() : nullptr; }

  QWidget& mainWindow_;
  QProgressBar& progress_;
  QTreeView& view_;
  ResultsModel& model_;
  UserPrompts& prompts_;
  DialogFlags* flags_ = nullptr;
  QPointer<SearchDialog>* window_ = nullptr;
  bool answerYes_ = false;
  int shownPercent_ = 0;
  int pendingPercent_ = 0;
  std::optional<CrawlCounters> pendingCounters_;
  std::optional<QString> pendingAddress_;
  QElapsedTimer sincePump_;
};

}  // namespace tarnwick::gui
