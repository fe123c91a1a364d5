#pragma once

#include <QString>

#include "transfer/card_run.h"

// The names and texts of one kind of transfer's two windows.
struct TransferTexts {
  QString parameters_name;  // object name of the parameters dialog
  QString parameters_caption;
  QString question;       // asked before the transfer starts; empty: none
  QString progress_name;  // object name of the progress window
  QString progress_caption;
};

const TransferTexts& TextsOf(TransferKind kind);

inline const QString ConfirmationCaption = QStringLiteral("Confirmação");
