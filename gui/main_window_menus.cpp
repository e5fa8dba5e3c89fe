#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QUrl>
#include <QVBoxLayout>

#include "desktop_tools.h"
#include "fetch_dialog.h"
#include "help_page.h"
#include "local_dialog.h"
#include "main_window.h"
#include "node_icons.h"
#include "start_request.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

constexpr const char* kFetchTitle = "Fetch Internet";
constexpr const char* kLocalTitle = "Find in local system";

}  // namespace

void MainWindow::buildMenus() {
  QMenu* fetch = menuBar()->addMenu(QStringLiteral("&Fetch"));
  fetch->addAction(QStringLiteral("&Internet"), this, &MainWindow::toggleFetchDialog);
  fetch->addAction(QStringLiteral("&Local mashine"), this, &MainWindow::toggleLocalDialog);

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools_ = new DesktopTools(*this, prompts_, *host_, startDirectory_);
  tools->addAction(QStringLiteral("&Autoupadate"), tools_, &DesktopTools::autoupdate);
  tools->addAction(QStringLiteral("&Download one page"), tools_, &DesktopTools::downloadOnePage);
  tools->addAction(QStringLiteral("Download &list of links from file"), tools_,
                   &DesktopTools::downloadListOfLinks);

  QMenu* results = menuBar()->addMenu(QStringLiteral("&Results"));
  results->addAction(QStringLiteral("&Save"), this, &MainWindow::saveResults);
  results->addAction(QStringLiteral("Save all tree with &structrure"), this,
                     &MainWindow::saveTreeWithStructure);
  results->addAction(QStringLiteral("&Clear"), this, &MainWindow::clearResults);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("&Online help"), this, &MainWindow::showOnlineHelp);
  help->addSeparator();
  help->addAction(QStringLiteral("&About Tarnwick..."), this, &MainWindow::showAbout);
}

void MainWindow::toggleFetchDialog() {
  fetchDialogOpen_ = true;
  if (localDialogOpen_) {
    localDialogOpen_ = false;
    destroyLocalWindow();
  }
  if (findWindowByTitle(QLatin1String(kFetchTitle)) != nullptr) {
    fetchDialogOpen_ = false;
    destroyFetchWindow();
    return;
  }
  destroyFetchWindow();
  auto* window = new FetchDialog(settings_.fetch, fetchFlags_, prompts_);
  fetchWindow_ = window;
  window->setWindowIcon(applicationIcon());
  if (running_ == Running::Crawl) window->showButtons(SearchState::Running);
  window->show();
  window->move(150, 100);
}

void MainWindow::toggleLocalDialog() {
  localDialogOpen_ = true;
  if (fetchDialogOpen_) {
    fetchDialogOpen_ = false;
    destroyFetchWindow();
  }
  if (findWindowByTitle(QLatin1String(kLocalTitle)) != nullptr) {
    localDialogOpen_ = false;
    destroyLocalWindow();
    return;
  }
  destroyLocalWindow();
  auto* window = new LocalDialog(settings_.local, localFlags_, prompts_);
  localWindow_ = window;
  window->setWindowIcon(applicationIcon());
  if (running_ == Running::LocalSearch) window->showButtons(SearchState::Running);
  window->show();
  window->move(150, 100);
  localFlags_.closeRequest = false;
}

void MainWindow::clearResults() { tree_.clearResults(); }

void MainWindow::showOnlineHelp() {
  const QString page = findHelpPage(QCoreApplication::applicationDirPath());
  if (page.isEmpty()) {
    prompts_.ask(this, QStringLiteral("The help page is not installed."), Buttons::Ok);
    return;
  }
  prompts_.openUrl(QUrl::fromLocalFile(page));
}

void MainWindow::showAbout() {
  QDialog about(this);
  about.setWindowTitle(QStringLiteral("About Tarnwick"));
  auto* icon = new QLabel(&about);
  icon->setPixmap(applicationIcon().pixmap(48, 48));
  auto* text = new QLabel(
      QStringLiteral("Tarnwick Version 1.7\n"
                     "Web links, images, e-mails and key words from web sites and local files."),
      &about);
  text->setObjectName(QStringLiteral("aboutText"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
  connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(&about);
  layout->addLayout(row);
  layout->addWidget(buttons);
  prompts_.runModal(about);
}

}  // namespace tarnwick::gui
