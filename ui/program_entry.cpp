#include "program_entry.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>

#include "transfer/user_dialogs.h"
#include "uFrmSobre.h"
#include "uVexilor.h"
#include "vexilor_application.h"
#include "view/system_path.h"

int RunProgram(int argc, char** argv, const std::function<void()>& after_shown) {
  QtUserDialogs dialogs;
  VexilorApplication application(argc, argv, dialogs);
  TForm2 form2;
  // "vexilor A.mc B.gme": one window per file, each file opened once its window is up, so its
  // messages have a parent. The application has taken its own options out of argv; the names
  // keep the system's bytes.
  const int files = argc - 1;
  TForm1* first = nullptr;
  TForm1* previous = nullptr;
  for (int i = 0; i < std::max(files, 1); ++i) {
    previous = TForm1::OpenWindow(dialogs, SystemReaders(), &form2, previous);
    if (first == nullptr) first = previous;
    if (i >= files) continue;
    const QString path = TextFromSystemPath(argv[i + 1]);
    QTimer::singleShot(0, previous,
                       [window = previous, path] { window->OpenFileFromOutside(path); });
  }
  if (after_shown) QTimer::singleShot(0, first, after_shown);
  const int status = application.exec();
  // Windows still open when the loop was ended from elsewhere.
  QList<QPointer<TForm1>> open;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<TForm1*>(widget)) open << window;
  }
  for (const QPointer<TForm1>& window : open) delete window.data();
  return status;
}
