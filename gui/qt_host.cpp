#include "qt_host.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QTreeView>

#include "engine_text.h"
#include "results_model.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

// Well under the 100 ms a person notices, and rare enough that pumping costs
// little next to reading and scanning.
constexpr qint64 kPumpIntervalMs = 15;

}  // namespace

QtHost::QtHost(QWidget& window, QProgressBar& progress, QTreeView& view, ResultsModel& model,
               UserPrompts& prompts)
    : mainWindow_(window), progress_(progress), view_(view), model_(model), prompts_(prompts) {
  sincePump_.start();
}

void QtHost::attach(DialogFlags& flags, QPointer<SearchDialog>& window) {
  flags_ = &flags;
  window_ = &window;
}

void QtHost::pumpEvents() {
  if (sincePump_.elapsed() < kPumpIntervalMs) return;
  flush();
  QCoreApplication::processEvents();
  sincePump_.restart();
}

void QtHost::flush() {
  if (pendingPercent_ != shownPercent_) {
    shownPercent_ = pendingPercent_;
    progress_.setValue(shownPercent_);
  }
  SearchDialog* window = dialog();
  if (pendingAddress_) {
    if (window) window->setCurrentAddress(*pendingAddress_);
    pendingAddress_.reset();
  }
  if (pendingCounters_) {
    if (window) window->showCrawlStatus(crawlStatusLines(*pendingCounters_));
    pendingCounters_.reset();
  }
}

bool QtHost::stopRequested() { return flags_ != nullptr && flags_->stopRequest; }

void QtHost::setSearchState(SearchState state) {
  if (flags_) flags_->stopRequest = state == SearchState::Idle;
  flush();
  // The window may have been closed while the search ran.
  if (SearchDialog* window = dialog()) window->showButtons(state);
}

Answer QtHost::ask(std::string_view text, Buttons buttons) {
  flush();
  if (answerYes_) return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
  QWidget* over = dialog();
  if (over == nullptr || !over->isVisible()) over = &mainWindow_;
  const Answer answer = prompts_.ask(over, textOf(text), buttons);
  sincePump_.restart();
  return answer;
}

// QProgressBar repaints at once on most changes, so the value waits for the
// next pump like the other status.
void QtHost::setProgress(int percent) { pendingPercent_ = percent; }

void QtHost::setCurrentAddress(std::string_view address) { pendingAddress_ = textOf(address); }

void QtHost::showCrawlStatus(const CrawlCounters& counters) { pendingCounters_ = counters; }

void QtHost::showLocalReport(std::string_view text) {
  if (SearchDialog* window = dialog()) window->showLocalReport(textOf(text));
}

void QtHost::expandItem(Item item) { view_.expand(model_.indexOf(item)); }

}  // namespace tarnwick::gui
