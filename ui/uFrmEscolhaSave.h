#pragma once

#include <QDialog>
#include <vector>

#include "card/card_image.h"

class QPushButton;
class QTreeWidget;

// Picks one save of another card to import: a modal list of the card's saves in use (title,
// product code, blocks), worked with the keyboard as well as the mouse.
class TFrmEscolhaSave : public QDialog {
  Q_OBJECT

 public:
  TFrmEscolhaSave(const CardImage& card, QWidget* parent = nullptr);

  // The first blocks of the saves listed, top to bottom; none when the card has no save.
  const std::vector<int>& ListedBlocks() const { return blocks_; }
  // The first block of the chosen save.
  int SelectedBlock() const;

 private:
  std::vector<int> blocks_;
  QTreeWidget* ListView1;
  QPushButton* Button1;
  QPushButton* Button2;
};
