// Prints the file type the desktop's shared-mime-info database gives each file, judged by its
// content alone (whatever the names).
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QMimeDatabase database;
  for (const QString& path : application.arguments().mid(1)) {
    std::printf("%s\n",
                qPrintable(database.mimeTypeForFile(path, QMimeDatabase::MatchContent).name()));
  }
  return 0;
}
