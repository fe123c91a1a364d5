#include "vexilor_application.h"

#include <QLibraryInfo>
#include <QLocale>

#include "card/file_io.h"
#include "glyphs.h"
#include "view/file_error_report.h"

VexilorApplication::VexilorApplication(int& argc, char** argv, UserDialogs& dialogs)
    : QApplication(argc, argv), dialogs_(dialogs) {
  setApplicationName(ApplicationTitle);
  setWindowIcon(QIcon(QPixmap::fromImage(ProgramPicture())));
  // Dates and numbers in Qt's own widgets follow the program's language too, not the system's.
  QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
  // The program's own texts are Portuguese, so Qt's dialogs, buttons and context menus speak
  // Brazilian Portuguese too, whatever the user's locale. Without the catalogue they stay in
  // English and nothing else changes.
  if (qt_texts_.load(QStringLiteral("qtbase_pt_BR"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(&qt_texts_);
  }
}

bool VexilorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const FileError& failure) {
    ReportFileError(dialogs_, activeWindow(), failure);
    return true;
  }
}
