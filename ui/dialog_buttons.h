#pragma once

class QDialog;
class QDialogButtonBox;

// The OK ("Button1", the default) and Cancelar ("Button2") buttons of the small dialogs, wired to
// accept and reject.
QDialogButtonBox* NewOkCancelButtons(QDialog& dialog);
