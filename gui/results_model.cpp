#include "results_model.h"

#include "node_icons.h"

namespace tarnwick::gui {

ResultsModel::ResultsModel(ResultsTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
  tree_.setListener(this);
}

ResultsModel::~ResultsModel() { tree_.setListener(nullptr); }

QModelIndex ResultsModel::indexOf(Item item) const {
  if (!tree_.contains(item)) return {};
  return createIndex(tree_.row(item), 0, static_cast<quintptr>(item.index()));
}

Item ResultsModel::itemAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return {};
  return tree_.handleOf(static_cast<std::uint32_t>(index.internalId()));
}

QModelIndex ResultsModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const Item up = itemAt(parent);
  if (parent.isValid() && up.isNull()) return {};
  if (row >= tree_.childCount(up)) return {};
  return createIndex(row, 0, static_cast<quintptr>(tree_.child(up, row).index()));
}

QModelIndex ResultsModel::parent(const QModelIndex& child) const {
  const Item item = itemAt(child);
  if (item.isNull()) return {};
  return indexOf(tree_.parent(item));
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const Item up = itemAt(parent);
  if (parent.isValid() && up.isNull()) return 0;
  return tree_.childCount(up);
}

int ResultsModel::columnCount(const QModelIndex& /*parent*/) const { return 1; }

bool ResultsModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return tree_.childCount(Item()) > 0;
  const Item item = itemAt(parent);
  return !item.isNull() && parent.column() == 0 && tree_.hasChildren(item);
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  const Item item = itemAt(index);
  if (item.isNull()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      const std::string_view label = tree_.label(item);
      return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
    }
    case Qt::DecorationRole: return nodeIcon(tree_.kind(item));
    default: return {};
  }
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
  if (itemAt(index).isNull()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool ResultsModel::setData(const QModelIndex&, const QVariant&, int) { return false; }

void ResultsModel::aboutToInsert(Item parent, int row) {
  beginInsertRows(indexOf(parent), row, row);
}

void ResultsModel::inserted(Item) { endInsertRows(); }

void ResultsModel::aboutToRemove(Item parent, int row) {
  beginRemoveRows(indexOf(parent), row, row);
}

void ResultsModel::removed() { endRemoveRows(); }

void ResultsModel::aboutToReset() { beginResetModel(); }

void ResultsModel::reset() { endResetModel(); }

}  // namespace tarnwick::gui
