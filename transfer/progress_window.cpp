#include "transfer/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "transfer/fixed_form.h"
#include "transfer/transfer_texts.h"
#include "transfer/user_dialogs.h"

namespace {
constexpr QSize ClientSize(378, 77);
constexpr QRect PanelGeometry(0, 0, 377, 49);
constexpr QRect ProgressBarGeometry(8, 8, 361, 17);
constexpr QPoint PercentLabelPosition(173, 30);
constexpr QRect CancelButtonGeometry(155, 52, 75, 25);
std::chrono::milliseconds start_delay{1000};
}  // namespace

void TransferProgressWindow::SetStartDelay(std::chrono::milliseconds delay) {
  start_delay = delay;
}

TransferProgressWindow::TransferProgressWindow(TransferKind kind, TransferSetup setup,
                                               QWidget* parent)
    : QDialog(parent), kind_(kind), setup_(std::move(setup)) {
  const TransferTexts& texts = TextsOf(kind);
  SetUpFixedForm(*this, texts.progress_name, texts.progress_caption, ClientSize);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(PanelGeometry);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

  ProgressBar1 = new QProgressBar(Panel1);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(ProgressBarGeometry);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);

  Label1 = new QLabel(Panel1);
  Label1->setObjectName("Label1");
  Label1->move(PercentLabelPosition);

  Button1 = new QPushButton(QStringLiteral("&Cancelar"), this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(CancelButtonGeometry);
  // The only button: Enter and Space on it cancel, as a click does.
  Button1->setAutoDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TransferProgressWindow::Button1Click);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(start_delay);
  connect(Timer1, &QTimer::timeout, this, &TransferProgressWindow::Timer1Timer);
  Timer1->start();
}

void TransferProgressWindow::Timer1Timer() {
  Timer1->stop();  // the run starts exactly once
  const std::unique_ptr<CardConnection> connection = setup_.readers.connect(Reader, Delay);
  const RunResult result = RunCardTransfer(kind_, setup_.image, *connection, *this);
  if (result.end == RunEnd::Completed) setup_.completed = true;
  if (result.end == RunEnd::FrameFailed) setup_.completed = false;
  run_ended_ = true;
  close();
}

void TransferProgressWindow::Button1Click() {
  cancel_requested_ = true;
  setup_.completed = false;
  // Cancelled during the start delay: the run starts now and stops before its first frame.
  if (Timer1->isActive()) Timer1->start(0);
}

void TransferProgressWindow::closeEvent(QCloseEvent* event) {
  if (!run_ended_) {
    Button1Click();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

// Esc and other rejections while the run is pending or going count as Cancel too.
void TransferProgressWindow::reject() {
  if (!run_ended_) {
    Button1Click();
    return;
  }
  QDialog::reject();
}

bool TransferProgressWindow::CancelRequested() {
  return cancel_requested_;
}

bool TransferProgressWindow::KeepWaiting() {
  QCoreApplication::processEvents();
  return !cancel_requested_;
}

void TransferProgressWindow::FrameDone(int frame) {
  // Drawing is most of a frame's cost in the window: it is drawn again only when the figure
  // shown changes, at most 101 times a run instead of 1024.
  const int percent = ProgressPercent(frame);
  if (percent != ProgressBar1->value() || Label1->text().isEmpty()) {
    ProgressBar1->setValue(percent);
    Label1->setText(QString::number(percent) + QLatin1Char('%'));
    Label1->adjustSize();
    Panel1->repaint();
  }
  // The only place where a click on Cancel can come in.
  QCoreApplication::processEvents();
}

void TransferProgressWindow::ShowMessage(const std::string& text, const std::string& caption) {
  setup_.dialogs.ShowMessage(this, QString::fromStdString(text), QString::fromStdString(caption));
}

TransferProgressWindow* CreateProgressWindow(TransferKind kind, TransferSetup setup,
                                             QWidget* parent) {
  switch (kind) {
    case TransferKind::Read:
      return new TFrmProgressoLeitura(std::move(setup), parent);
    case TransferKind::Write:
      return new TFrmProgressoGravacao(std::move(setup), parent);
    case TransferKind::Format:
      break;
  }
  return new TFrmProgressoFormatacao(std::move(setup), parent);
}
