#pragma once

#include <QAbstractItemModel>

#include "tarnwick/results_tree.h"

namespace tarnwick::gui {

// The view's model of the engine's results tree: no copy of it, only the
// tree's change notices turned into the model's. A model index carries the
// item's index in the tree.
class ResultsModel : public QAbstractItemModel, private TreeListener {
  Q_OBJECT
 public:
  explicit ResultsModel(ResultsTree& tree, QObject* parent = nullptr);
  ~ResultsModel() override;

  QModelIndex indexOf(Item item) const;
  // Null for an invalid or stale index.
  Item itemAt(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Labels can be edited in the view, but the tree keeps what was found.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  void aboutToInsert(Item parent, int row) override;
  void inserted(Item item) override;
  void aboutToRemove(Item parent, int row) override;
  void removed() override;
  void aboutToReset() override;
  void reset() override;

  ResultsTree& tree_;
};

}  // namespace tarnwick::gui
