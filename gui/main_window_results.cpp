#include <QDir>
#include <QFileInfo>
#include <QTreeView>

#include "desktop_tools.h"
#include "fetch_dialog.h"
#include "main_window.h"
#include "qt_host.h"
#include "results_model.h"
#include "save_results_dialog.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"
#include "tree_item_commands.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

// A name typed without an extension gets ".txt".
QString withTextExtension(const QString& path) {
  if (!QFileInfo(path).suffix().isEmpty()) return path;
  return path + (path.endsWith(QLatin1Char('.')) ? QStringLiteral("txt") : QStringLiteral(".txt"));
}

}  // namespace

void MainWindow::setUpItemCommands() {
  commands_ = new TreeItemCommands(*this, tree_, *model_, *view_, prompts_);
  commands_->downloadToChosenFile = [this](const std::string& address) {
    tools_->downloadToChosenFile(address);
  };
  commands_->setStartAddress = [this](const std::string& address) {
    settings_.fetch.startAddress = address;
    // An open "Fetch Internet" shows it at once; a closed one at its next opening.
    if (auto* fetch = qobject_cast<FetchDialog*>(fetchWindow_.data()); fetch && fetchDialogOpen_)
      fetch->showValues();
  };
}

QString MainWindow::chooseTextFile(const QString& title, const QString& directory) {
  const QString proposed = directory + QLatin1Char('/') + QFileInfo(chosenPath_).fileName();
  const QString chosen = prompts_.chooseSaveFile(this, title, proposed);
  if (chosen.isEmpty()) return {};
  chosenPath_ = withTextExtension(chosen);
  return chosenPath_;
}

void MainWindow::showExportResult(const ExportResult& result) {
  if (result.message.empty()) return;
  QString text = QString::fromStdString(result.message);
  if (!result.detail.empty()) text += QLatin1Char('\n') + QString::fromStdString(result.detail);
  prompts_.ask(this, text, Buttons::Ok);
}

void MainWindow::saveResults() {
  SaveResultsDialog dialog(saveOptions_, this);
  prompts_.runModal(dialog);
  if (!dialog.saveRequested()) return;
  if (!saveOptions_.anySectionChosen()) {
    prompts_.ask(this, QString::fromLatin1(messages::kChooseSameOption), Buttons::Ok);
    return;
  }
  const QString path = chooseTextFile(QStringLiteral("Choose file to save"),
                                      QString::fromStdString(startDirectory_));
  if (path.isEmpty()) return;
  const Item selected = model_->itemAt(view_->currentIndex());
  showExportResult(tarnwick::saveResults(tree_, saveOptions_, selected,
                                         settings_.fetch.startAddress, path.toStdString()));
}

void MainWindow::saveTreeWithStructure() {
  const QString path = chooseTextFile(QStringLiteral("Choose file to search"), QDir::currentPath());
  if (path.isEmpty()) return;
  showExportResult(saveTreeStructure(tree_, path.toStdString()));
}

}  // namespace tarnwick::gui
