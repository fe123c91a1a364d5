#pragma once

#include <QWidget>

// A frame drawn in the classic one-pixel bevels: an outer and an inner line, each raised or
// lowered, round the whole box or only along its top and bottom edges. Serves as a bevel, as a
// panel that holds other controls, and as the tool bar's edge lines.
class Bevel : public QWidget {
 public:
  enum class Edge { None, Raised, Lowered };
  enum class Sides { Box, TopAndBottom };

  Bevel(Edge outer, Edge inner, Sides sides, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Edge outer_;
  Edge inner_;
  Sides sides_;
};
