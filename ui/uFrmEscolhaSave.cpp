#include "uFrmEscolhaSave.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "transfer/form_look.h"
#include "view/block_texts.h"

namespace {
const QString kTitle = QStringLiteral("Escolha o 'Save' a importar");
const QStringList kColumns = {QStringLiteral("Título"), QStringLiteral("Código do produto"),
                              QStringLiteral("Blocos")};
constexpr QSize kMinimumSize(420, 240);
}  // namespace

TFrmEscolhaSave::TFrmEscolhaSave(const CardImage& card, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmEscolhaSave"));
  setWindowTitle(kTitle);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(FormFont());
  setMinimumSize(kMinimumSize);

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setHeaderLabels(kColumns);
  ListView1->setRootIsDecorated(false);
  ListView1->setAllColumnsShowFocus(true);
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (GetBlockState(card, block) != BlockState::InUseFirst) continue;
    const SaveDetailTexts details = SaveDetails(card, block);
    const QString title = ReadableSaveTitle(card, block);
    auto* line = new QTreeWidgetItem(ListView1, {title, details.product_code, details.blocks});
    line->setToolTip(0, title);
    blocks_.push_back(block);
  }
  ListView1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  ListView1->header()->setStretchLastSection(false);
  if (!blocks_.empty()) ListView1->setCurrentItem(ListView1->topLevelItem(0));

  auto* buttons = new QDialogButtonBox(this);
  Button1 = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);
  Button1->setEnabled(!blocks_.empty());
  Button2 = buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
  Button2->setObjectName(QStringLiteral("Button2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Enter or a double click on a line chooses it, as OK does.
  connect(ListView1, &QTreeWidget::itemActivated, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListView1);
  layout->addWidget(buttons);
  ListView1->setFocus();
}

int TFrmEscolhaSave::SelectedBlock() const {
  const int row = ListView1->indexOfTopLevelItem(ListView1->currentItem());
  return row >= 0 ? blocks_.at(static_cast<std::size_t>(row)) : 0;
}
