#pragma once

#include <QSize>
#include <QString>

class QDialog;

// The common frame of the transfer windows: a fixed-size dialog without title-bar buttons,
// centred on the screen, in the forms' font, freed when it closes.
void SetUpFixedForm(QDialog& form, const QString& name, const QString& caption, QSize client);
