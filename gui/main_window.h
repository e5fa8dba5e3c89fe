#pragma once

#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "search_dialog.h"
#include "tarnwick/exports.h"
#include "tarnwick/results_tree.h"
#include "tarnwick/settings_file.h"

class QProgressBar;
class QTreeView;

namespace tarnwick::gui {

class DesktopTools;
class QtHost;
class ResultsModel;
class TreeItemCommands;
class UserPrompts;

// The window titled "Tarnwick": the results tree under a progress bar, the
// menu every function is reached from, and the owner of the options, the
// search dialogs and the searches they ask for.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Reads the settings at settingsPath; closing the window writes them back.
  MainWindow(UserPrompts& prompts, std::string settingsPath, QWidget* parent = nullptr);
  ~MainWindow() override;

  ResultsTree& tree() { return tree_; }
  ResultsModel& model() { return *model_; }
  QTreeView& view() { return *view_; }
  QProgressBar& progressBar() { return *progress_; }
  Settings& settings() { return settings_; }
  // The search dialogs' windows, null while not shown.
  SearchDialog* fetchWindow() const { return fetchWindow_.data(); }
  SearchDialog* localWindow() const { return localWindow_.data(); }
  bool searchRunning() const { return running_ != Running::Nothing; }
  const std::string& currentLinksPath() const { return currentLinksPath_; }
  DesktopTools& tools() { return *tools_; }
  TreeItemCommands& itemCommands() { return *commands_; }
  const SaveResultsOptions& saveOptions() const { return saveOptions_; }

  // The menu commands.
  void toggleFetchDialog();
  void toggleLocalDialog();
  void clearResults();
  void saveResults();
  void saveTreeWithStructure();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class Running { Nothing, Crawl, LocalSearch };

  void buildMenus();
  void showAbout();
  void showOnlineHelp();
  void setUpItemCommands();
  // A file to write with ".txt" added to a name typed without an extension;
  // empty when cancelled.
  QString chooseTextFile(const QString& title, const QString& directory);
  void showExportResult(const ExportResult& result);
  void destroyFetchWindow();
  void destroyLocalWindow();

  void handleStartRequest();
  void runCrawl();
  void runLocalSearch();
  template <typename Work>
  void runSearch(Running kind, DialogFlags& flags, QPointer<SearchDialog>& window, Work work);

  UserPrompts& prompts_;
  const std::string settingsPath_;
  std::string startDirectory_;
  std::string currentLinksPath_;
  Settings settings_;
  ResultsTree tree_;
  ResultsModel* model_;
  QTreeView* view_;
  QProgressBar* progress_;
  std::unique_ptr<QtHost> host_;
  DesktopTools* tools_ = nullptr;
  TreeItemCommands* commands_ = nullptr;
  // The choices of "Save results", kept for the run, and the last file chosen.
  SaveResultsOptions saveOptions_;
  QString chosenPath_;

  DialogFlags fetchFlags_;
  DialogFlags localFlags_;
  QPointer<SearchDialog> fetchWindow_;
  QPointer<SearchDialog> localWindow_;
  // Which search dialog was last opened from the menu.
  bool fetchDialogOpen_ = false;
  bool localDialogOpen_ = false;
  Running running_ = Running::Nothing;
  // Closing was asked for while a search ran: close when it has stopped.
  bool closeAfterSearch_ = false;
};

}  // namespace tarnwick::gui
