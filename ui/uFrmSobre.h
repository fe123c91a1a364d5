#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Bevel;
class StretchedPicture;

// The about box: made once at start-up, hidden, and shown again by every "Sobre".
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Button1Click();

 private:
  Bevel* Panel1;
  Bevel* Bevel1;
  StretchedPicture* Image1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  Bevel* Panel2;
  QPlainTextEdit* Memo1;
  QPushButton* Button1;
};
