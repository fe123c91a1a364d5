#include "transfer/user_dialogs.h"
#include "uFrmSobre.h"
#include "uVexilor.h"
#include "vexilor_application.h"

int main(int argc, char** argv) {
  QtUserDialogs dialogs;
  VexilorApplication application(argc, argv, dialogs);
  TForm1 form1(dialogs);
  TForm2 form2;
  form1.SetAboutBox(&form2);
  form1.show();
  return application.exec();
}
