#pragma once

#include <QImage>
#include <QWidget>

// A picture stretched to the control's size pixel for pixel (no smoothing), as a small icon is
// meant to be seen enlarged. A double-click is passed on as a signal.
class StretchedPicture : public QWidget {
  Q_OBJECT

 public:
  explicit StretchedPicture(QWidget* parent);

  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

 signals:
  void DoubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
};
