#include "bevel.h"

#include <QPainter>

Bevel::Bevel(Edge outer, Edge inner, Sides sides, QWidget* parent)
    : QWidget(parent), outer_(outer), inner_(inner), sides_(sides) {}

void Bevel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor light = palette().color(QPalette::Light);
  const QColor shadow = palette().color(QPalette::Dark);
  auto draw = [&](QRect box, Edge edge) {
    if (edge == Edge::None) return;
    const QColor& top_left = edge == Edge::Raised ? light : shadow;
    const QColor& bottom_right = edge == Edge::Raised ? shadow : light;
    painter.setPen(top_left);
    painter.drawLine(box.topLeft(), box.topRight());
    if (sides_ == Sides::Box) painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(bottom_right);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    if (sides_ == Sides::Box) painter.drawLine(box.topRight(), box.bottomRight());
  };
  QRect box = rect();
  draw(box, outer_);
  const int inset = sides_ == Sides::Box ? 1 : 0;
  draw(box.adjusted(inset, 1, -inset, -1), inner_);
}
