// "vexilor ARQUIVO": the program opens the card image named on its command line as "Abrir
// arquivo imagem" would, with the same messages.

#include "program_entry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

#include "support/card_builder.h"
#include "support/temp_folder.h"
#include "uVexilor.h"

namespace {

// Runs the program on path; once the window is up, reads what it shows and ends the run.
struct StartUp {
  QString source_line;
  QString message;  // "caption: text" of the box open over the window, if any
};

StartUp StartWith(const std::string& path) {
  StartUp seen;
  std::string program = "vexilor";
  std::string argument = path;
  std::vector<char*> argv = {program.data(), argument.data(), nullptr};
  int argc = 2;
  RunProgram(argc, argv.data(), [&seen] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen.message = box->windowTitle() + QStringLiteral(": ") + box->text();
      box->done(QMessageBox::Ok);
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* form = qobject_cast<TForm1*>(window)) {
        seen.source_line = form->findChild<QLabel*>(QStringLiteral("Label8"))->text();
        form->Document().Close();  // no save question on the way out
      }
    }
    QCoreApplication::quit();
  });
  return seen;
}

TEST(ProgramEntry, OpensTheCardImageNamedOnTheCommandLine) {
  const StartUp seen = StartWith(VEXILOR_SAMPLES_DIR "/demo.mc");
  EXPECT_EQ(seen.source_line, QStringLiteral("Fonte: 'demo.mc'"));
  EXPECT_EQ(seen.message, QString());
}

TEST(ProgramEntry, OpensAFileWhoseNameIsNotUtf8) {
  test_support::TempFolder folder;
  test_support::WriteBytes(folder.File("na\xffme.mc"), test_support::BlankCard());
  // Named relative to the current folder, as a shell passes it.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const StartUp seen = StartWith("na\xffme.mc");
  std::filesystem::current_path(previous);
  EXPECT_EQ(seen.message, QString());
  EXPECT_EQ(seen.source_line,
            QStringLiteral("Fonte: 'na") + QChar(0xDCFF) + QStringLiteral("me.mc'"));
}

TEST(ProgramEntry, ReportsAMissingFileAsTheOpenCommandDoes) {
  test_support::TempFolder folder;
  const std::string path = folder.File("nao_existe.mc");
  const StartUp seen = StartWith(path);
  EXPECT_EQ(seen.message,
            QStringLiteral("Erro: Arquivo %1 não encontrado!").arg(QString::fromStdString(path)));
  EXPECT_EQ(seen.source_line, QStringLiteral("Fonte: <não selecionada>"));
}

}  // namespace
