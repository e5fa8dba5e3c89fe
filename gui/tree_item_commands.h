#pragma once

#include <functional>
#include <string>

#include <QObject>

#include "tarnwick/results_tree.h"

class QAction;
class QMenu;
class QPoint;
class QTreeView;
class QWidget;

namespace tarnwick::gui {

class ResultsModel;
class UserPrompts;

// The commands on one item of the results tree: the menu of a right click,
// Open on a double click, and label editing whose result the tree never
// takes. They act on the item that was current when the menu was asked for.
class TreeItemCommands : public QObject {
  Q_OBJECT
 public:
  TreeItemCommands(QWidget& window, ResultsTree& tree, ResultsModel& model, QTreeView& view,
                   UserPrompts& prompts);

  // Download hands the item's label here.
  std::function<void(const std::string&)> downloadToChosenFile;
  // "Set link as initial WEB UR" hands its address here.
  std::function<void(const std::string&)> setStartAddress;

  QMenu& menu() { return *menu_; }
  // Null when nothing was current, or when the item has gone since.
  Item selectedItem() const;

  void download();
  void open();
  void edit();
  void setLinkAsStartAddress();
  void deleteItem();

 private:
  void showMenu(const QPoint& at);
  void doubleClicked();
  void selectCurrent();

  QWidget& window_;
  ResultsTree& tree_;
  ResultsModel& model_;
  QTreeView& view_;
  UserPrompts& prompts_;
  QMenu* menu_;
  Item selected_;
};

}  // namespace tarnwick::gui
