#pragma once

#include <QListWidget>

// The block list: one line always stays selected while lines are shown. A Ctrl+click or
// Ctrl+Space on the selected line would clear its highlight while it stays the current line,
// and the details and commands would then act on a line that no longer looks selected.
class BlockListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit BlockListBox(QWidget* parent = nullptr);

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(
      const QModelIndex& index, const QEvent* event = nullptr) const override;
};
