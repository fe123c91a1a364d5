#pragma once

#include <QApplication>
#include <QTranslator>

class UserDialogs;

// The application object. An input/output failure that escapes an event handler is caught where
// Qt hands out the event and shown in the application-wide error box; the program goes on.
class VexilorApplication : public QApplication {
 public:
  VexilorApplication(int& argc, char** argv, UserDialogs& dialogs);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  UserDialogs& dialogs_;
  QTranslator qt_texts_;
};
