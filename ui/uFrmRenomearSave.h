#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;

// "Renomear 'Save'...": a save's directory name in its three parts (region, product code,
// identifier), of which only characters 0x20..0x7E can be typed. Whether the card takes the name
// is the caller's question (RenameSave). Also for saves that come without a name.
class TFrmRenomearSave : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmRenomearSave(const std::string& name, QWidget* parent = nullptr);

  // The whole name: the region and the product code padded with spaces to their 2 and 10
  // characters where more follows, then the identifier.
  std::string Name() const;

 private:
  QComboBox* ComboBox1;  // region: BA, BE, BI or other text
  QLineEdit* Edit1;      // product code
  QLineEdit* Edit2;      // identifier
};
