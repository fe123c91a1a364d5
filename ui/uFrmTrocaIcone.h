#pragma once

#include <QDialog>
#include <QImage>
#include <vector>

class QTimer;
class StretchedPicture;

// "Trocar Ícone...": the save's icon and the new one side by side, animated, before the change
// is made.
class TFrmTrocaIcone : public QDialog {
  Q_OBJECT

 public:
  TFrmTrocaIcone(std::vector<QImage> current, std::vector<QImage> replacement,
                 QWidget* parent = nullptr);

 private:
  void Step();

  std::vector<QImage> current_;
  std::vector<QImage> replacement_;
  std::size_t phase_ = 0;
  StretchedPicture* ImageAtual;
  StretchedPicture* ImageNova;
  QTimer* Timer1;
};
