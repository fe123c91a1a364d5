// "vexilor ARQUIVO": the program opens the card image named on its command line as "Abrir
// arquivo imagem" would, with the same messages.

#include "program_entry.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

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

// The main windows on screen, oldest first.
std::vector<TForm1*> OpenWindows() {
  std::vector<TForm1*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<TForm1*>(widget);
    if (window != nullptr && window->isVisible()) windows.push_back(window);
  }
  std::ranges::sort(windows, [](TForm1* a, TForm1* b) { return a->x() < b->x(); });
  return windows;
}

TEST(ProgramEntry, OpensOneWindowPerFileAndEndsWithTheLastWindow) {
  test_support::TempFolder folder;
  test_support::WriteBytes(folder.File("b.mc"), test_support::BlankCard());
  std::string program = "vexilor";
  std::string first = VEXILOR_SAMPLES_DIR "/demo.mc";
  std::string second = folder.File("b.mc");
  std::vector<char*> argv = {program.data(), first.data(), second.data(), nullptr};
  int argc = 3;
  QStringList sources;
  int windows_after_new = 0;
  bool one_about_box = false;
  bool ended_by_last_window = true;
  const int status = RunProgram(argc, argv.data(), [&] {
    for (TForm1* window : OpenWindows()) {
      sources << window->findChild<QLabel*>(QStringLiteral("Label8"))->text();
    }
    TForm1* window = OpenWindows().front();
    window->findChild<QAction*>(QStringLiteral("Novajanela1"))->trigger();
    windows_after_new = static_cast<int>(OpenWindows().size());
    // Both "Sobre" show the one about box.
    QWidget* boxes[2] = {};
    for (int i = 0; i < 2; ++i) {
      QTimer::singleShot(0, [&boxes, i] {
        boxes[i] = QApplication::activeModalWidget();
        boxes[i]->close();
      });
      OpenWindows()[static_cast<std::size_t>(i * 2)]
          ->findChild<QAction*>(QStringLiteral("Sobre1"))
          ->trigger();
    }
    one_about_box = boxes[0] != nullptr && boxes[0] == boxes[1];
    // Should closing the last window not end the program, this ends it and says so.
    QTimer::singleShot(5000, [&ended_by_last_window] {
      ended_by_last_window = false;
      QCoreApplication::quit();
    });
    for (TForm1* open : OpenWindows()) {
      open->Document().Close();  // no save question on the way out
      open->close();
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(sources, (QStringList{"Fonte: 'demo.mc'", "Fonte: 'b.mc'"}));
  EXPECT_EQ(windows_after_new, 3);
  EXPECT_TRUE(one_about_box);
  EXPECT_TRUE(ended_by_last_window);
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
