#include <exception>

#include "main_window.h"
#include "qt_host.h"
#include "start_request.h"
#include "tarnwick/crawl.h"
#include "tarnwick/local_search.h"

namespace tarnwick::gui {

bool MainWindow::event(QEvent* event) {
  if (event->type() == StartRequestEvent::kType) {
    handleStartRequest();
    return true;
  }
  return QMainWindow::event(event);
}

// The local branch, then the web branch. A request that arrives while a
// search runs may still close a dialog, but never starts a second search.
void MainWindow::handleStartRequest() {
  if (localFlags_.closeRequest) {
    destroyLocalWindow();
  } else if (localDialogOpen_) {
    // Stop sends a request too; it ends here.
    if (localFlags_.stopRequest || searchRunning()) return;
    runLocalSearch();
    return;
  }
  if (fetchFlags_.closeRequest) {
    destroyFetchWindow();
    return;
  }
  if (fetchDialogOpen_ && !searchRunning()) {
    fetchFlags_.closeRequest = false;
    runCrawl();
  }
}

template <typename Work>
void MainWindow::runSearch(Running kind, DialogFlags& flags, QPointer<SearchDialog>& window,
                           Work work) {
  running_ = kind;
  host_->attach(flags, window);
  try {
    work();
  } catch (const std::exception& error) {
    host_->setSearchState(SearchState::Idle);
    host_->showMessage(error.what());
  }
  host_->flush();
  running_ = Running::Nothing;
  if (closeAfterSearch_) {
    closeAfterSearch_ = false;
    host_->answerYesToAll(false);
    close();
  }
}

void MainWindow::runCrawl() {
  runSearch(Running::Crawl, fetchFlags_, fetchWindow_, [this] {
    if (tree_.rootItem().isNull()) tree_.clearResults();
    CrawlSettings crawlSettings;
    crawlSettings.currentLinksPath = currentLinksPath_;
    tarnwick::runCrawl(tree_, tree_.rootItem(), settings_.fetch, *host_, crawlSettings);
  });
}

void MainWindow::runLocalSearch() {
  runSearch(Running::LocalSearch, localFlags_, localWindow_, [this] {
    if (tree_.rootItem().isNull()) tree_.clearResults();
    LocalSearch search(tree_, *host_);
    search.run(settings_.local);
  });
}

}  // namespace tarnwick::gui
