#pragma once

#include <QDialog>
#include <vector>

#include "transfer/card_run.h"
#include "transfer/transfer_setup.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The modal dialog that chooses port (a parallel port or a reader found when it opens) and delay
// for one transfer, confirms a write or format,
// and runs the transfer's progress window. It cannot be closed while that window is open.
class TransferParametersDialog : public QDialog {
  Q_OBJECT

 protected:
  TransferParametersDialog(TransferKind kind, TransferSetup setup, QWidget* parent);

  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private slots:
  void Button1Click();
  void Button2Click();

 private:
  void FormCreate();
  void StartTransfer();
  void PortChosen(int index);

  const TransferKind kind_;
  TransferSetup setup_;
  std::vector<ReaderEntry> readers_;  // the port list's entries, in its order
  bool transfer_running_ = false;

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Label2;
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QPushButton* Button1;
  QPushButton* Button2;
};

class TFrmParamLeitura : public TransferParametersDialog {
  Q_OBJECT
 public:
  explicit TFrmParamLeitura(TransferSetup setup, QWidget* parent = nullptr)
      : TransferParametersDialog(TransferKind::Read, std::move(setup), parent) {}
};

class TFrmParamGravacao : public TransferParametersDialog {
  Q_OBJECT
 public:
  explicit TFrmParamGravacao(TransferSetup setup, QWidget* parent = nullptr)
      : TransferParametersDialog(TransferKind::Write, std::move(setup), parent) {}
};

class TFrmParamFormatacao : public TransferParametersDialog {
  Q_OBJECT
 public:
  explicit TFrmParamFormatacao(TransferSetup setup, QWidget* parent = nullptr)
      : TransferParametersDialog(TransferKind::Format, std::move(setup), parent) {}
};
