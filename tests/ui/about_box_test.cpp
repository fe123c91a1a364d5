#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "modal_helper.h"
#include "scripted_dialogs.h"
#include "uFrmSobre.h"
#include "uVexilor.h"

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void showsItsFixedContent() {
    TForm2 about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Sobre o Vexilor..."));
    QCOMPARE(about.size(), QSize(267, 323));
    QVERIFY(!(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Vexilor"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
             QStringLiteral("Versão 1.2"));
    const QStringList memo =
        about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(u'\n');
    QCOMPARE(
        memo.mid(0, 8),
        (QStringList{"Este programa é um Gerenciador de ", "Memory Cards para Playstation.", "",
                     "Com ele você pode ler e gravar seus Memory ", "Cards através do computador ",
                     "utilizando um cabo especial, que você mesmo pode ",
                     "construir, chamado DirectPad Pro.", ""}));
    QVERIFY(memo.join(u' ').contains(QStringLiteral("docs/cabo.md")));
    auto* close = about.findChild<QPushButton*>(QStringLiteral("Button1"));
    QCOMPARE(close->text(), QStringLiteral("&Fechar"));
    QVERIFY(close->isDefault());
  }

  void enterClosesAndTheSameBoxOpensAgain() {
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    TForm2 about;
    window.SetAboutBox(&about);
    window.show();
    for (int opening = 0; opening < 2; ++opening) {
      QWidget* shown = nullptr;
      WhenModalOpens([&](QWidget* modal) {
        shown = modal;
        QTest::keyClick(modal, Qt::Key_Return);
      });
      window.findChild<QAction*>(QStringLiteral("Sobre1"))->trigger();
      QCOMPARE(shown, &about);
      QVERIFY(!about.isVisible());
    }
    QVERIFY(dialogs.Requests().empty());
  }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
