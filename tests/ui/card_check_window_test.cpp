// The card check in the window: findings listed once on opening, damaged lines marked, "Reparar
// cartão..." as one undo step, and the repaired copy offered for a header's check byte.
#include <QAction>
#include <QListWidget>
#include <QTest>

#include "card/check.h"
#include "main_window_fixture.h"
#include "vexilor_application.h"

using namespace test_support;

namespace {

// The standard card with the link of block 5, the middle of the save in blocks 4, 5, 6, naming
// no block: block 6 is then reached by no chain.
CardImage CardWithABadLink() {
  CardImage card = StandardCard();
  SetLink(card, 5, 0x1C43);
  return card;
}

}  // namespace

class CardCheckWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  void findingsAreListedOnceAndTheirLinesMarked() {
    f.OpenCard(CardWithABadLink());
    QCOMPARE(
        f.dialogs.Messages(),
        QStringList{QStringLiteral(
            "Atenção: O cartão tem inconsistências:\n"
            "• bloco 6 (frame 6): bloco do meio ou final (estado 0x53) que nenhum primeiro "
            "bloco alcança\n"
            "• bloco 5 (frame 5): ligação 0x1C43 não aponta para nenhum bloco (cadeia do "
            "'save' do bloco 4)\n\n"
            "\"Reparar cartão...\" (menu Editar) repara o que é certo, sem adivinhar dados.")});
    const QColor red(255, 0, 0);
    for (int row : {3, 4, 5}) {
      QCOMPARE(f.List()->item(row)->foreground().color(), red);
    }
    QVERIFY(f.List()->item(4)->toolTip().endsWith(QStringLiteral(
        "ligação 0x1C43 não aponta para nenhum bloco (cadeia do 'save' do bloco 4)")));
    QVERIFY(f.List()->item(0)->foreground().color() != red);
    // Editing the card lists nothing again.
    f.dialogs.Clear();
    RemoveFirstSave(*f.window);
    QVERIFY(f.dialogs.Messages().isEmpty());
  }

  void repairIsOneUndoStep() {
    f.OpenCard(CardWithABadLink());
    f.dialogs.Clear();
    f.Trigger(QStringLiteral("Repararcartao1"));
    QCOMPARE(f.dialogs.Messages(),
             QStringList{QStringLiteral(
                 "Atenção: Reparado:\n"
                 "• bloco 6 (frame 6): bloco que nenhum 'save' alcança marcado como livre\n"
                 "• bloco 5 (frame 5): a cadeia do 'save' do bloco 4 foi cortada antes deste "
                 "ponto; ficou com 2 blocos e o tamanho foi corrigido")});
    const CardImage repaired = f.window->Document().Image();
    QCOMPARE(GetNextLink(repaired, 5), NoLink);
    QCOMPARE(GetSaveSize(repaired, 4), 16384u);
    QVERIFY(CheckCard(repaired).empty());
    QVERIFY(f.window->Document().IsModified());
    QCOMPARE(f.Action(QStringLiteral("Desfazer1"))->text(),
             QStringLiteral("Desfazer reparo do cartão"));
    f.window->Document().UndoStack().undo();
    QVERIFY(f.window->Document().Image() == CardWithABadLink());
    QVERIFY(!f.window->Document().IsModified());
    f.window->Document().UndoStack().redo();
    QVERIFY(f.window->Document().Image() == repaired);

    // Nothing left to mend: said so, and no step is added.
    f.dialogs.Clear();
    f.Trigger(QStringLiteral("Repararcartao1"));
    QCOMPARE(f.dialogs.Messages(),
             QStringList{QStringLiteral("Atenção: Nada a reparar: o cartão não tem "
                                        "inconsistências que se possam reparar.")});
    QCOMPARE(f.window->Document().UndoStack().count(), 1);
  }

  void aHeaderCheckByteOfX42OffersARepairedCopy_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
  }
  void aHeaderCheckByteOfX42OffersARepairedCopy() {
    QFETCH(bool, yes);
    CardImage card = StandardCard();
    card[127] = 0x42;
    const QString path = f.Path(QStringLiteral("cabecalho.mc"));
    WriteBytes(path.toStdString(), card);
    f.dialogs.QueueFile(path);
    yes ? f.dialogs.QueueYes() : f.dialogs.QueueNo();
    f.Trigger(QStringLiteral("Abrr1"));
    const std::vector<DialogRequest>& asked = f.dialogs.Requests();
    QVERIFY(asked.size() >= 3);
    QVERIFY(asked[2].kind == DialogRequest::Kind::Question);
    QVERIFY(asked[2].no_is_default);
    QCOMPARE(asked[2].text,
             QStringLiteral("Só o byte de verificação do frame de identificação de %1 está "
                            "errado; o diretório está íntegro. Abrir uma cópia reparada?")
                 .arg(path));
    QCOMPARE(f.window->Document().HasImage(), yes);
    QVERIFY(ReadBytes(path.toStdString()) == std::vector<uint8_t>(card.begin(), card.end()));
    if (!yes) return;
    CardImage expected = card;
    expected[127] = 0x0E;
    QVERIFY(f.window->Document().Image() == expected);
    QCOMPARE(f.window->Document().Source(), path);
    QVERIFY(f.window->Document().IsModified());
  }

 private:
  MainWindowFixture f;
};

int main(int argc, char** argv) {
  ScriptedDialogs application_dialogs;
  VexilorApplication application(argc, argv, application_dialogs);
  CardCheckWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "card_check_window_test.moc"
