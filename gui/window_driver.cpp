// Drives the desktop program without a person, on any Qt platform:
//   tarnwick-drive shots OUTDIR URL          PNGs of the window after a crawl and of its dialogs
//   tarnwick-drive crawl URL LEVELS          a crawl started from "Go!", timed
//   tarnwick-drive local PATH                a folder search started from "Find", timed
//   tarnwick-drive big N                     N items in the shown tree, all expanded
//   tarnwick-drive download-list FILE DIR    Tools > "Download list of links from file", timed
// The timed runs print "seconds=S items=N max_gap_ms=G": G is the longest
// time between two passes of the event loop, as a person would feel it.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>

#include "autoupdate_dialog.h"
#include "desktop_tools.h"
#include "download_page_dialog.h"
#include "fetch_dialog.h"
#include "local_dialog.h"
#include "main_window.h"
#include "results_model.h"
#include "save_results_dialog.h"
#include "tarnwick/settings_file.h"
#include "user_prompts.h"

namespace {

using tarnwick::gui::MainWindow;

// Answers every box with its first choice and never opens a chooser.
struct QuietPrompts : tarnwick::gui::DialogPrompts {
  tarnwick::Answer ask(QWidget*, const QString& text, tarnwick::Buttons) override {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    return tarnwick::Answer::Ok;
  }
};

// Chooses the given list file and folder, and counts what it is told.
struct ListPrompts : QuietPrompts {
  QString list, folder;
  QString chooseFile(QWidget*, const QString&, const QString&) override { return list; }
  QString chooseFolder(QWidget*, const QString&, const QString&) override { return folder; }
};

template <typename T>
T* control(QWidget* dialog, const char* name) {
  return dialog->findChild<T*>(QLatin1String(name));
}

// Measures the longest gap between two timer ticks while work runs.
class GapMeter : public QObject {
 public:
  GapMeter() {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (clock_.isValid()) maxGap_ = std::max(maxGap_, clock_.nsecsElapsed() / 1000000.0);
      clock_.start();
    });
    timer_.start();
  }
  double maxGapMs() const { return maxGap_; }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  double maxGap_ = 0;
};

void startCrawl(MainWindow& window, const QString& url, int levels) {
  if (window.fetchWindow() == nullptr) window.toggleFetchDialog();
  QWidget* fetch = window.fetchWindow();
  control<QLineEdit>(fetch, "addressEdit")->setText(url);
  for (int i = 0; i < levels; ++i) control<QSpinBox>(fetch, "levelEdit")->stepUp();
  control<QPushButton>(fetch, "emailsButton")->click();
  control<QPushButton>(fetch, "imagesButton")->click();
  control<QPushButton>(fetch, "keywordsButton")->click();
  control<QLineEdit>(fetch, "keywordsEdit")->setText(QStringLiteral("ultramarine"));
  control<QPushButton>(fetch, "goButton")->click();
}

void startLocal(MainWindow& window, const QString& path) {
  tarnwick::LocalSearchOptions& local = window.settings().local;
  local = {};
  local.findWebLinks = local.findImages = local.findEmails = local.findKeywords = true;
  local.keywords = "ultramarine";
  local.searchPath = path.toStdString();
  local.searchTarget = std::filesystem::is_directory(local.searchPath) ? 1 : 0;
  if (window.localWindow() == nullptr) window.toggleLocalDialog();
  static_cast<tarnwick::gui::LocalDialog*>(window.localWindow())->showValues();
  control<QPushButton>(window.localWindow(), "findButton")->click();
}

int timed(MainWindow& window, void (*start)(MainWindow&, const QString&, int), const QString& arg,
          int levels) {
  window.view().expand(window.model().index(0, 0));
  GapMeter meter;
  QCoreApplication::processEvents();
  const auto t0 = std::chrono::steady_clock::now();
  start(window, arg, levels);
  QCoreApplication::sendPostedEvents();  // the search runs in here
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - t0;
  std::printf("seconds=%.3f items=%zu max_gap_ms=%.1f\n", seconds.count(), window.tree().size(),
              meter.maxGapMs());
  return 0;
}

// N items under the root in pages of 1,000 links, every page expanded, then
// the view scrolled to its end: the times a person would wait.
int big(MainWindow& window, long count) {
  tarnwick::ResultsTree& tree = window.tree();
  QTreeView& view = window.view();
  view.expand(window.model().index(0, 0));
  const auto t0 = std::chrono::steady_clock::now();
  tarnwick::Item page;
  for (long i = 0; i < count; ++i) {
    if (i % 1000 == 0) {
      page = tree.insert(tree.rootItem(), "http://site.example/page" + std::to_string(i),
                         tarnwick::NodeKind::Page);
      view.expand(window.model().indexOf(page));
    } else {
      tree.insert(page, "http://site.example/link" + std::to_string(i),
                  tarnwick::NodeKind::WebLinkEntry);
    }
  }
  const auto t1 = std::chrono::steady_clock::now();
  QCoreApplication::processEvents();
  const auto t2 = std::chrono::steady_clock::now();
  view.scrollToBottom();
  view.repaint();
  QCoreApplication::processEvents();
  const auto t3 = std::chrono::steady_clock::now();
  const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("items=%zu insert_ms=%.0f first_paint_ms=%.0f scroll_to_end_ms=%.0f\n", tree.size(),
              ms(t1 - t0), ms(t2 - t1), ms(t3 - t2));
  return 0;
}

// The Tools dialogs as a person sees them before pressing a button.
bool toolShots(MainWindow& window, const std::string& folder, const QString& url) {
  QuietPrompts prompts;
  tarnwick::AutoupdateState autoupdate;
  autoupdate.address = url.toStdString();
  tarnwick::gui::AutoupdateDialog timer(autoupdate, prompts, &window);
  timer.show();
  QCoreApplication::processEvents();
  bool ok = timer.grab().save(QString::fromStdString(folder + "/set-autoupdate.png"));
  tarnwick::gui::DownloadPageRequest request;
  request.address = url;
  tarnwick::gui::DownloadPageDialog page(request, prompts, &window);
  page.show();
  QCoreApplication::processEvents();
  ok = page.grab().save(QString::fromStdString(folder + "/download-one-page.png")) && ok;
  return ok;
}

// "Save results" with the sections a person usually ticks.
bool saveResultsShot(MainWindow& window, const std::string& folder) {
  tarnwick::SaveResultsOptions options;
  options.emails = true;
  options.allWebLinks = true;
  tarnwick::gui::SaveResultsDialog dialog(options, &window);
  dialog.show();
  QCoreApplication::processEvents();
  return dialog.grab().save(QString::fromStdString(folder + "/save-results.png"));
}

int downloadList(const QString& list, const QString& folder) {
  ListPrompts prompts;
  prompts.list = list;
  prompts.folder = folder;
  const std::string settings =
      (std::filesystem::temp_directory_path() / "tarnwick-drive-list-settings.txt").string();
  MainWindow window(prompts, settings);
  window.show();
  QCoreApplication::processEvents();
  GapMeter meter;
  const auto t0 = std::chrono::steady_clock::now();
  window.tools().downloadListOfLinks();
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - t0;
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString()))
    files += entry.is_regular_file() ? 1 : 0;
  std::printf("seconds=%.3f files=%zu max_gap_ms=%.1f\n", seconds.count(), files, meter.maxGapMs());
  return 0;
}

int shots(MainWindow& window, const std::string& folder, const QString& url) {
  std::filesystem::create_directories(folder);
  window.resize(1000, 640);
  startCrawl(window, url, 1);
  QCoreApplication::sendPostedEvents();
  window.view().expandRecursively(window.model().index(0, 0), 3);
  QCoreApplication::processEvents();
  bool ok = window.grab().save(QString::fromStdString(folder + "/main-window.png"));
  ok = window.fetchWindow()->grab().save(QString::fromStdString(folder + "/fetch-internet.png")) && ok;
  window.toggleLocalDialog();
  QCoreApplication::processEvents();
  ok = window.localWindow()->grab().save(QString::fromStdString(folder + "/find-in-local-system.png")) && ok;
  ok = toolShots(window, folder, url) && ok;
  ok = saveResultsShot(window, folder) && ok;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: %s shots OUTDIR URL | crawl URL LEVELS | local PATH | download-list FILE DIR\n", argv[0]);
    return 2;
  }
  if (args[1] == QLatin1String("download-list") && args.size() == 4)
    return downloadList(args[2], args[3]);
  QuietPrompts prompts;
  // A private settings file: a run never changes the user's options.
  const std::string settings =
      (std::filesystem::temp_directory_path() / "tarnwick-drive-settings.txt").string();
  std::filesystem::remove(settings);
  MainWindow window(prompts, settings);
  window.show();
  const QString mode = args[1];
  if (mode == QLatin1String("big")) return big(window, args[2].toLong());
  if (mode == QLatin1String("shots") && args.size() == 4)
    return shots(window, args[2].toStdString(), args[3]);
  // The dialog is open and drawn before the clock starts.
  if (mode == QLatin1String("crawl")) window.toggleFetchDialog();
  if (mode == QLatin1String("local")) window.toggleLocalDialog();
  QCoreApplication::processEvents();
  if (mode == QLatin1String("crawl") && args.size() == 4)
    return timed(window, startCrawl, args[2], args[3].toInt());
  if (mode == QLatin1String("local"))
    return timed(window, [](MainWindow& w, const QString& p, int) { startLocal(w, p); }, args[2], 0);
  std::fprintf(stderr, "unknown mode\n");
  return 2;
}
