#include "block_list_box.h"

BlockListBox::BlockListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
}

QItemSelectionModel::SelectionFlags BlockListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
  const bool only_selected =
      selectionModel()->isSelected(index) && selectionModel()->selectedIndexes().size() == 1;
  if (only_selected && (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))) {
    return QItemSelectionModel::NoUpdate;
  }
  return command;
}

void BlockListBox::startDrag(Qt::DropActions) {
  emit DragStarted();
}
