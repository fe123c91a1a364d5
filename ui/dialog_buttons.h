#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;

// The OK ("Button1", the default, captioned ok_text) and Cancelar ("Button2") buttons of the small
// dialogs, wired to accept and reject.
QDialogButtonBox* NewOkCancelButtons(QDialog& dialog,
                                     const QString& ok_text = QStringLiteral("OK"));
