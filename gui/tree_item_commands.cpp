#include "tree_item_commands.h"

#include <QMenu>
#include <QTreeView>
#include <QUrl>

#include "engine_text.h"
#include "results_model.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"
#include "user_prompts.h"

namespace tarnwick::gui {
namespace {

bool isWebAddress(const std::string& address) {
  return address.starts_with("http://") || address.starts_with("https://");
}

}  // namespace

TreeItemCommands::TreeItemCommands(QWidget& window, ResultsTree& tree, ResultsModel& model,
                                   QTreeView& view, UserPrompts& prompts)
    : QObject(&window),
      window_(window),
      tree_(tree),
      model_(model),
      view_(view),
      prompts_(prompts),
      menu_(new QMenu(&window)) {
  menu_->setObjectName(QStringLiteral("itemMenu"));
  menu_->addAction(QStringLiteral("Download"), this, &TreeItemCommands::download);
  menu_->addAction(QStringLiteral("Open"), this, &TreeItemCommands::open);
  menu_->addAction(QStringLiteral("Edit"), this, &TreeItemCommands::edit);
  menu_->addAction(QStringLiteral("Set link as initial WEB UR"), this,
                   &TreeItemCommands::setLinkAsStartAddress);
  menu_->addAction(QStringLiteral("Delete"), this, &TreeItemCommands::deleteItem);
  view_.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&view_, &QWidget::customContextMenuRequested, this, &TreeItemCommands::showMenu);
  connect(&view_, &QAbstractItemView::doubleClicked, this, &TreeItemCommands::doubleClicked);
}

Item TreeItemCommands::selectedItem() const {
  return tree_.contains(selected_) ? selected_ : Item();
}

void TreeItemCommands::selectCurrent() { selected_ = model_.itemAt(view_.currentIndex()); }

// The command acts on the current item, which need not be the one clicked.
void TreeItemCommands::showMenu(const QPoint& at) {
  selectCurrent();
  menu_->popup(view_.viewport()->mapToGlobal(at));
}

void TreeItemCommands::doubleClicked() {
  selectCurrent();
  const Item item = selectedItem();
  if (item && (tree_.kind(item) == NodeKind::WebLinkEntry || tree_.kind(item) == NodeKind::Page))
    open();
}

void TreeItemCommands::download() {
  const Item item = selectedItem();
  // Copied: the tree may change while the download pumps events.
  if (item && downloadToChosenFile) downloadToChosenFile(std::string(tree_.label(item)));
}

// Only web addresses go to the browser: anything else the system would run
// or open as a file.
void TreeItemCommands::open() {
  const Item item = selectedItem();
  if (!item) return;
  const std::string link = getItemLink(tree_, item);
  if (isWebAddress(link)) prompts_.openUrl(QUrl(textOf(link), QUrl::TolerantMode));
}

void TreeItemCommands::edit() {
  if (const Item item = selectedItem()) view_.edit(model_.indexOf(item));
}

void TreeItemCommands::setLinkAsStartAddress() {
  const Item item = selectedItem();
  if (!item) return;
  if (tree_.kind(item) != NodeKind::WebLinkEntry) {
    prompts_.ask(&window_, QString::fromLatin1(messages::kNotLink), Buttons::Ok);
    return;
  }
  if (setStartAddress) setStartAddress(getItemLink(tree_, item));
}

void TreeItemCommands::deleteItem() {
  const Item item = selectedItem();
  if (!item) return;
  if (tree_.kind(item) == NodeKind::RootItem || tree_.kind(item) == NodeKind::ErrorItem) {
    prompts_.ask(&window_, QString::fromLatin1(messages::kNotForDeleting), Buttons::Ok);
    return;
  }
  tree_.remove(item);
}

}  // namespace tarnwick::gui
