#include "uFrmRenomearSave.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "card/card_image.h"
#include "card/directory_name.h"
#include "dialog_buttons.h"
#include "transfer/form_look.h"

namespace {

constexpr int kRegionLength = 2;
constexpr int kProductCodeLength = static_cast<int>(DirectoryFrame::ProductCodeLength);
constexpr int kIdentifierLength = static_cast<int>(DirectoryFrame::GameIdLength);

QString Part(const std::string& name, std::size_t from, std::size_t length) {
  if (from >= name.size()) return {};
  return QString::fromLatin1(name.substr(from, length)).trimmed();
}

std::string Padded(const QString& text, int length) {
  return text.leftJustified(length, u' ').toStdString();
}

}  // namespace

TFrmRenomearSave::TFrmRenomearSave(const std::string& name, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmRenomearSave"));
  setWindowTitle(QStringLiteral("Renomear 'Save'"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(FormFont());

  auto* ascii = new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[\\x%1-\\x%2]*")
                             .arg(static_cast<int>(FirstNameCharacter), 2, 16, QLatin1Char('0'))
                             .arg(static_cast<int>(LastNameCharacter), 2, 16, QLatin1Char('0'))),
      this);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->addItems({QStringLiteral("BA"), QStringLiteral("BE"), QStringLiteral("BI")});
  ComboBox1->lineEdit()->setMaxLength(kRegionLength);
  ComboBox1->setValidator(ascii);
  ComboBox1->setEditText(Part(name, 0, kRegionLength));
  Edit1 = new QLineEdit(Part(name, kRegionLength, kProductCodeLength), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaxLength(kProductCodeLength);
  Edit1->setValidator(ascii);
  Edit1->setPlaceholderText(QStringLiteral("AAAA-NNNNN"));
  Edit2 = new QLineEdit(Part(name, kRegionLength + kProductCodeLength, kIdentifierLength), this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setMaxLength(kIdentifierLength);
  Edit2->setValidator(ascii);

  QDialogButtonBox* buttons = NewOkCancelButtons(*this);

  auto* layout = new QFormLayout(this);
  layout->addRow(QStringLiteral("Região:"), ComboBox1);
  layout->addRow(QStringLiteral("Product Code:"), Edit1);
  layout->addRow(QStringLiteral("Identificador:"), Edit2);
  layout->addRow(buttons);
  Edit1->setFocus();
}

std::string TFrmRenomearSave::Name() const {
  const QString region = ComboBox1->currentText();
  const QString code = Edit1->text();
  const QString identifier = Edit2->text();
  if (!identifier.isEmpty()) {
    return Padded(region, kRegionLength) + Padded(code, kProductCodeLength) +
           identifier.toStdString();
  }
  if (!code.isEmpty()) return Padded(region, kRegionLength) + code.toStdString();
  return region.toStdString();
}
