#pragma once

#include <QString>
#include <system_error>

class FileError;
class QWidget;
class UserDialogs;

// The application title, caption of the application-wide error box.
inline const QString ApplicationTitle = QStringLiteral("Vexilor");

// The system's reason for an input/output failure, in Portuguese.
QString FileErrorReason(std::error_code reason);

// The whole text of the box: the path and the reason.
QString FileErrorText(const FileError& failure);

// Shows the failure in a box captioned with the application title; the program goes on.
void ReportFileError(UserDialogs& dialogs, QWidget* parent, const FileError& failure);
