#include "program_entry.h"

#include <QTimer>

#include "transfer/user_dialogs.h"
#include "uFrmSobre.h"
#include "uVexilor.h"
#include "vexilor_application.h"
#include "view/system_path.h"

int RunProgram(int argc, char** argv, const std::function<void()>& after_shown) {
  QtUserDialogs dialogs;
  VexilorApplication application(argc, argv, dialogs);
  TForm1 form1(dialogs);
  TForm2 form2;
  form1.SetAboutBox(&form2);
  form1.show();
  // "vexilor ARQUIVO": the file opens once the window is up, so its messages have a parent.
  // The application has taken its own options out of argv; the name keeps the system's bytes.
  if (argc > 1) {
    const QString path = TextFromSystemPath(argv[1]);
    QTimer::singleShot(0, &form1, [&form1, path] { form1.OpenFileFromOutside(path); });
  }
  if (after_shown) QTimer::singleShot(0, &form1, after_shown);
  return application.exec();
}
