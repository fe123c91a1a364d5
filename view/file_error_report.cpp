#include "file_error_report.h"

#include "card/error_reason_text.h"
#include "card/file_io.h"
#include "system_path.h"
#include "transfer/user_dialogs.h"

QString FileErrorReason(std::error_code reason) {
  return QString::fromStdString(ErrorReasonText(reason));
}

QString FileErrorText(const FileError& failure) {
  return QStringLiteral("Não foi possível ler ou gravar o arquivo\n%1\n\nMotivo: %2.")
      .arg(TextFromSystemPath(failure.path()),
           QString::fromStdString(FileFailureReason(failure)));
}

void ReportFileError(UserDialogs& dialogs, QWidget* parent, const FileError& failure) {
  dialogs.ShowMessage(parent, FileErrorText(failure), ApplicationTitle);
}
