#include "main_window.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include <QCloseEvent>
#include <QDir>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTreeView>

#include "desktop_tools.h"
#include "fetch_dialog.h"
#include "local_dialog.h"
#include "node_icons.h"
#include "qt_host.h"
#include "results_model.h"
#include "start_request.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

// The progress bar over the top of the tree, both with a 5-pixel margin;
// the tree reaches the bottom edge.
class ResultsPanel : public QWidget {
 public:
  ResultsPanel(QWidget* parent, QTreeView*& view, QProgressBar*& progress) : QWidget(parent) {
    view = view_ = new QTreeView(this);
    progress = progress_ = new QProgressBar(this);  // made second, so it lies on top
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    const int w = width();
    const int h = height();
    view_->setGeometry(5, 10, w - 10, h - 10);
    progress_->setGeometry(5, 5, w - 10, 9);
  }

 private:
  QTreeView* view_;
  QProgressBar* progress_;
};

void setUpView(QTreeView& view, ResultsModel& model) {
  view.setObjectName(QStringLiteral("resultsView"));
  view.setModel(&model);
  view.setHeaderHidden(true);
  view.setRootIsDecorated(false);  // no lines at the top level
  view.setUniformRowHeights(true);  // keeps a million items smooth
  view.setIconSize(QSize(16, 16));
  view.setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  // A style that draws the lines between items.
  if (QStyle* lines = QStyleFactory::create(QStringLiteral("Windows"))) {
    lines->setParent(&view);
    view.setStyle(lines);
  }
}

std::string workingDirectory() {
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

}  // namespace

MainWindow::MainWindow(UserPrompts& prompts, std::string settingsPath, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), settingsPath_(std::move(settingsPath)) {
  setWindowTitle(QString::fromLatin1(kMainWindowTitle));
  setWindowIcon(applicationIcon());
  model_ = new ResultsModel(tree_, this);
  auto* panel = new ResultsPanel(this, view_, progress_);
  setCentralWidget(panel);
  setUpView(*view_, *model_);
  progress_->setObjectName(QStringLiteral("progressBar"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  host_ = std::make_unique<QtHost>(*this, *progress_, *view_, *model_, prompts_);
  buildMenus();
  setUpItemCommands();
  resize(900, 600);

  startDirectory_ = workingDirectory();
  currentLinksPath_ = startDirectory_ + "/currentlinks.txt";
  // The program's own folder is a system folder here; home is where the
  // user's files are.
  settings_.workFolder = QDir::homePath().toStdString();
  if (::chdir(settings_.workFolder.c_str()) != 0) settings_.workFolder = workingDirectory();
  readSettings(settingsPath_, settings_);
  if (::chdir(settings_.workFolder.c_str()) != 0) settings_.workFolder = workingDirectory();
  tree_.clearResults();
}

MainWindow::~MainWindow() {
  destroyFetchWindow();
  destroyLocalWindow();
  view_->setModel(nullptr);
}

void MainWindow::destroyFetchWindow() { delete fetchWindow_.data(); }

void MainWindow::destroyLocalWindow() { delete localWindow_.data(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (tools_->downloading()) {
    tools_->closeWhenDone();
    event->ignore();
    return;
  }
  if (searchRunning()) {
    // Stop first; the window closes when the search has ended.
    closeAfterSearch_ = true;
    fetchFlags_.stopRequest = true;
    localFlags_.stopRequest = true;
    host_->answerYesToAll(true);
    event->ignore();
    return;
  }
  // What is typed in an open dialog counts as chosen.
  if (auto* fetch = qobject_cast<FetchDialog*>(fetchWindow_.data())) fetch->readControls();
  if (auto* local = qobject_cast<LocalDialog*>(localWindow_.data())) local->readControls();
  if (!writeSettings(settingsPath_, settings_))
    qWarning("tarnwick: the settings could not be written to %s", settingsPath_.c_str());
  destroyFetchWindow();
  destroyLocalWindow();
  event->accept();
}

}  // namespace tarnwick::gui
