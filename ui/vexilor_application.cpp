#include "vexilor_application.h"

#include "card/file_io.h"
#include "glyphs.h"
#include "view/file_error_report.h"

VexilorApplication::VexilorApplication(int& argc, char** argv, UserDialogs& dialogs)
    : QApplication(argc, argv), dialogs_(dialogs) {
  setApplicationName(ApplicationTitle);
  setWindowIcon(QIcon(QPixmap::fromImage(ProgramPicture())));
}

bool VexilorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const FileError& failure) {
    ReportFileError(dialogs_, activeWindow(), failure);
    return true;
  }
}
