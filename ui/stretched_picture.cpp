#include "stretched_picture.h"

#include <QMouseEvent>
#include <QPainter>

StretchedPicture::StretchedPicture(QWidget* parent) : QWidget(parent) {}

void StretchedPicture::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void StretchedPicture::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect(), picture_);
}

void StretchedPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit DoubleClicked();
  QWidget::mouseDoubleClickEvent(event);
}
