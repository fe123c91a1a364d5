#include "block_list_box.h"

BlockListBox::BlockListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

QItemSelectionModel::SelectionFlags BlockListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
  if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
    return QItemSelectionModel::ClearAndSelect;
  }
  return command;
}
