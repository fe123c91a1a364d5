#pragma once

#include <QDialog>
#include <QString>
#include <chrono>

#include "transfer/card_run.h"
#include "transfer/transfer_setup.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// A modal window that starts its transfer one second after it was created, shows the progress
// and closes itself when the run has ended. It is never closed while its run is going: a close
// request then counts as Cancel, and the window closes once the run is over.
class TransferProgressWindow : public QDialog, private RunObserver {
  Q_OBJECT

 public:
  // Set by the parameters dialog before the window is shown.
  ReaderEntry Reader;
  int Delay = 0;

  // The wait between creating a window and starting its run: one second in the program. Tests
  // shorten it for the windows they create afterwards.
  static void SetStartDelay(std::chrono::milliseconds delay);

 protected:
  TransferProgressWindow(TransferKind kind, TransferSetup setup, QWidget* parent);

  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private slots:
  void Timer1Timer();
  void Button1Click();

 private:
  bool CancelRequested() override;
  bool KeepWaiting() override;
  void FrameDone(int frame) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;

  const TransferKind kind_;
  TransferSetup setup_;
  bool cancel_requested_ = false;
  bool run_ended_ = false;

  QFrame* Panel1;
  QProgressBar* ProgressBar1;
  QLabel* Label1;
  QPushButton* Button1;
  QTimer* Timer1;
};

class TFrmProgressoLeitura : public TransferProgressWindow {
  Q_OBJECT
 public:
  explicit TFrmProgressoLeitura(TransferSetup setup, QWidget* parent = nullptr)
      : TransferProgressWindow(TransferKind::Read, std::move(setup), parent) {}
};

class TFrmProgressoGravacao : public TransferProgressWindow {
  Q_OBJECT
 public:
  explicit TFrmProgressoGravacao(TransferSetup setup, QWidget* parent = nullptr)
      : TransferProgressWindow(TransferKind::Write, std::move(setup), parent) {}
};

class TFrmProgressoFormatacao : public TransferProgressWindow {
  Q_OBJECT
 public:
  explicit TFrmProgressoFormatacao(TransferSetup setup, QWidget* parent = nullptr)
      : TransferProgressWindow(TransferKind::Format, std::move(setup), parent) {}
};

// The progress window of kind's transfer; it frees itself when it closes.
TransferProgressWindow* CreateProgressWindow(TransferKind kind, TransferSetup setup,
                                             QWidget* parent);
