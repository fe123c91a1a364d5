#include "transfer/parameters_dialog.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "transfer/fixed_form.h"
#include "transfer/form_look.h"
#include "transfer/progress_window.h"
#include "transfer/transfer_texts.h"
#include "transfer/user_dialogs.h"

namespace {
constexpr QSize ClientSize(179, 95);
constexpr QRect GroupBoxGeometry(0, 0, 177, 65);
constexpr QPoint PortLabelPosition(8, 16);
constexpr QPoint DelayLabelPosition(96, 16);
constexpr QPoint PortListPosition(8, 32);
constexpr QPoint DelayListPosition(96, 32);
constexpr int ListWidth = 73;
constexpr QRect OkButtonGeometry(8, 68, 75, 25);
constexpr QRect CancelButtonGeometry(96, 68, 75, 25);

constexpr int FirstDelay = 1;
constexpr int LastDelay = 10;
constexpr int DefaultPortIndex = 0;   // "LPT1"
constexpr int DefaultDelayIndex = 2;  // "3"

QComboBox* MakeList(QWidget* parent, const char* name, QPoint position, const QStringList& items) {
  auto* list = new QComboBox(parent);  // a drop-down list without free text
  list->setObjectName(name);
  list->addItems(items);
  list->move(position);
  list->resize(ListWidth, list->sizeHint().height());
  return list;
}

// The closed box keeps its narrow specified form, so a long reader name ("MemCARDuino
// (ttyUSB0)") shows whole in the opened list, which may be wider, and as each entry's tooltip.
void ShowWholeNames(QComboBox& list) {
  QAbstractItemView& view = *list.view();
  int widest = 0;
  for (int i = 0; i < list.count(); ++i) {
    list.setItemData(i, list.itemText(i), Qt::ToolTipRole);
    widest = std::max(widest, view.fontMetrics().horizontalAdvance(list.itemText(i)));
  }
  const int item_margins = 4 * view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin);
  const int scroll_bar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  view.setMinimumWidth(widest + item_margins + scroll_bar +
                       2 * list.style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
  list.setToolTip(list.currentText());
  QObject::connect(&list, &QComboBox::currentTextChanged, &list, &QWidget::setToolTip);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint position) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(position);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

QStringList DelayItems() {
  QStringList items;
  for (int delay = FirstDelay; delay <= LastDelay; ++delay) items << QString::number(delay);
  return items;
}

}  // namespace

TransferParametersDialog::TransferParametersDialog(TransferKind kind, TransferSetup setup,
                                                   QWidget* parent)
    : QDialog(parent), kind_(kind), setup_(std::move(setup)) {
  const TransferTexts& texts = TextsOf(kind);
  SetUpFixedForm(*this, texts.parameters_name, texts.parameters_caption, ClientSize);

  GroupBox1 = new QGroupBox(QStringLiteral("Opções:"), this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(GroupBoxGeometry);
  UseFormGroupBoxStyle(*GroupBox1);
  Label1 = MakeLabel(GroupBox1, "Label1", QStringLiteral("Porta:"), PortLabelPosition);
  Label2 = MakeLabel(GroupBox1, "Label2", QStringLiteral("Delay:"), DelayLabelPosition);
  readers_ = setup_.readers.list();
  QStringList port_items;
  for (const ReaderEntry& reader : readers_) port_items << QString::fromStdString(reader.label);
  ComboBox1 = MakeList(GroupBox1, "ComboBox1", PortListPosition, port_items);
  ShowWholeNames(*ComboBox1);
  ComboBox2 = MakeList(GroupBox1, "ComboBox2", DelayListPosition, DelayItems());
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TransferParametersDialog::PortChosen);

  Button1 = MakeButton(this, "Button1", QStringLiteral("&OK"), OkButtonGeometry);
  // Enter presses the focused button, and OK when the focus is elsewhere; Esc cancels.
  Button1->setDefault(true);
  Button2 = MakeButton(this, "Button2", QStringLiteral("&Cancelar"), CancelButtonGeometry);
  Button2->setAutoDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TransferParametersDialog::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TransferParametersDialog::Button2Click);

  FormCreate();
}

void TransferParametersDialog::FormCreate() {
  ComboBox1->setCurrentIndex(DefaultPortIndex);
  ComboBox2->setCurrentIndex(DefaultDelayIndex);
}

// The delay paces only the parallel cable's bits; a reader keeps its own time.
void TransferParametersDialog::PortChosen(int index) {
  const bool parallel = index >= 0 && static_cast<std::size_t>(index) < readers_.size() &&
                        readers_[static_cast<std::size_t>(index)].kind == ReaderKind::ParallelCable;
  ComboBox2->setEnabled(parallel);
}

void TransferParametersDialog::Button1Click() {
  if (transfer_running_) return;
  const QString& question = TextsOf(kind_).question;
  const bool confirmed =
      question.isEmpty() || setup_.dialogs.AskYesNo(this, question, ConfirmationCaption,
                                                    /*no_is_default=*/true);
  if (confirmed) StartTransfer();
  close();
}

void TransferParametersDialog::Button2Click() {
  close();
}

void TransferParametersDialog::StartTransfer() {
  TransferProgressWindow* progress = CreateProgressWindow(kind_, setup_, this);
  progress->Reader = readers_.at(static_cast<std::size_t>(ComboBox1->currentIndex()));
  progress->Delay = ComboBox2->currentText().toInt();
  transfer_running_ = true;
  progress->exec();  // frees the window when it has closed
  transfer_running_ = false;
}

void TransferParametersDialog::closeEvent(QCloseEvent* event) {
  if (transfer_running_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TransferParametersDialog::reject() {
  if (!transfer_running_) QDialog::reject();
}
