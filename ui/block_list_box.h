#pragma once

#include <QListWidget>

// The block list: several lines may be selected (Ctrl+click, Shift+click, Shift+arrows, Ctrl+A),
// one is always current, and one line always stays selected while lines are shown: a Ctrl+click
// or Ctrl+Space on the only selected line would clear its highlight while it stays the current
// line, and the commands would then act on a line that no longer looks selected. Dragging
// selected lines asks the window for the saves to carry.
class BlockListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit BlockListBox(QWidget* parent = nullptr);

 signals:
  void DragStarted();

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(
      const QModelIndex& index, const QEvent* event = nullptr) const override;
  void startDrag(Qt::DropActions actions) override;
};
