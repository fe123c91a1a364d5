// The window's card as a document: every edit an undo step named in Portuguese, the modified
// mark in the title, and the question before unsaved edits could be lost.
#include <QAction>
#include <QSet>
#include <QTest>
#include <QUndoStack>

#include "card/maintenance.h"
#include "card/single_save.h"
#include "main_window_fixture.h"

using namespace test_support;

namespace {

// Block 1: the save named in the directory as "BASLUS-00067DRAX00" ("B", region "A", product
// code "SLUS-00067", game ID "DRAX00"). Block 2: "BASLUS-01234SAVEGAME". Blocks 3..15 free.
CardImage DraxCard() {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1},
                   .title = SingleByteTitle("DRAX"),
                   .product_code = "SLUS-00067",
                   .game_id = "DRAX00",
                   .seed = 7});
  PlaceSave(card, {.blocks = {2}, .title = SingleByteTitle("OUTRO"), .seed = 8});
  for (int block : {1, 2}) {
    card[block * 128 + 10] = 'B';  // the name's first byte, directory frame of the block
    SetState(card, block, BlockState::InUseFirst);  // and its check byte again
  }
  return card;
}

bool FileHolds(const QString& path, const CardImage& card) {
  return std::ranges::equal(ReadBytes(path.toStdString()), card);
}

}  // namespace

class CardDocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  void undoesAndRedoesEveryKindOfEditExactly() {
    CardImage other = BlankCard();
    PlaceSave(other, {.blocks = {9}, .title = SingleByteTitle("IMPORTADO"), .seed = 9});
    const QString mcs = f.Path(QStringLiteral("um.mcs"));
    ExportSingleSave(other, 9, mcs.toStdString());
    f.OpenCard(DraxCard());
    QAction* undo = f.Action(QStringLiteral("Desfazer1"));
    QAction* redo = f.Action(QStringLiteral("Refazer1"));
    QCOMPARE(undo->text(), QStringLiteral("Desfazer"));
    QVERIFY(!undo->isEnabled());

    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("DeletarSave1"));  // line 0 is selected on opening
    QCOMPARE(undo->text(), QStringLiteral("Desfazer remoção de 'BASLUS-00067DRAX00'"));
    f.ClickLine(1);
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("AlterarlocalidadeJPJapons1"));
    QCOMPARE(undo->text(),
             QStringLiteral("Desfazer alteração de localidade de 'BASLUS-01234SAVEGAME'"));
    f.dialogs.QueueFile(mcs);
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    QCOMPARE(undo->text(), QStringLiteral("Desfazer importação de 'um.mcs'"));
    const CardImage edited = f.window->Document().Image();
    const QStringList edited_lines = f.Lines();
    QVERIFY(edited_lines.contains(QStringLiteral("IMPORTADO")));
    QCOMPARE(f.Text(QStringLiteral("Edit5")), QStringLiteral("JP"));

    // Undo through the standard shortcut, as a user does.
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    for (int i = 0; i < 3; ++i) QTest::keySequence(f.window.get(), QKeySequence::Undo);
    QVERIFY(f.window->Document().Image() == DraxCard());
    QVERIFY(!f.window->Document().IsModified());
    QCOMPARE(f.Lines().mid(0, 3), (QStringList{"DRAX", "OUTRO", "Livre"}));
    QCOMPARE(redo->text(), QStringLiteral("Refazer remoção de 'BASLUS-00067DRAX00'"));
    for (int i = 0; i < 3; ++i) redo->trigger();
    QVERIFY(f.window->Document().Image() == edited);
    QCOMPARE(f.Lines(), edited_lines);
    QVERIFY(!redo->isEnabled());
  }

  // The standard shortcuts sit beside the menus' access letters (all Alt+letter): no two
  // commands share a key, and none takes an Alt combination.
  void standardShortcutsCollideWithNothing() {
    const QList<QPair<QString, QKeySequence>> expected = {
        {QStringLiteral("Abrr1"), QKeySequence(QKeySequence::Open)},
        {QStringLiteral("Salvararquivoimagem1"), QKeySequence(QKeySequence::Save)},
        {QStringLiteral("DeletarSave1"), QKeySequence(QKeySequence::Delete)},
        {QStringLiteral("Desfazer1"), QKeySequence(QKeySequence::Undo)},
        {QStringLiteral("Refazer1"), QKeySequence(QKeySequence::Redo)},
    };
    for (const auto& [name, keys] : expected) QCOMPARE(f.Action(name)->shortcut(), keys);
    QSet<int> taken;
    for (const QAction* action : f.window->findChildren<QAction*>()) {
      for (const QKeySequence& keys : action->shortcuts()) {
        for (int i = 0; i < keys.count(); ++i) {
          const int key = keys[i].toCombined();
          QVERIFY2(!(key & Qt::AltModifier), qPrintable(keys.toString()));
          QVERIFY2(!taken.contains(key), qPrintable(keys.toString()));
          taken.insert(key);
        }
      }
    }
  }

  // A refused edit has said why and leaves no step behind.
  void aRefusedEditIsNoStep() {
    f.OpenCard(DraxCard());
    f.ClickLine(5);  // a free block
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("DeletarSave1"));
    QCOMPARE(f.dialogs.Messages().size(), 1);
    QVERIFY(!f.Action(QStringLiteral("Desfazer1"))->isEnabled());
    QVERIFY(!f.window->Document().IsModified());
  }

  void titleShowsTheFileAndItsModifiedMark() {
    const QString path = f.OpenCard(DraxCard(), QStringLiteral("meu.mc"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("meu.mc[*] - Vexilor v1.2"));
    QCOMPARE(f.window->windowFilePath(), path);
    QVERIFY(!f.window->isWindowModified());
    RemoveFirstSave(*f.window);
    QVERIFY(f.window->isWindowModified());
    // Saving marks the clean state: undoing back past it is a change again.
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("Salvararquivoimagem1"));
    QVERIFY(!f.window->isWindowModified());
    f.Action(QStringLiteral("Desfazer1"))->trigger();
    QVERIFY(f.window->isWindowModified());
    f.window->ShowCard(DraxCard(), {}, QStringLiteral("*MEMORY CARD*"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("*MEMORY CARD*[*] - Vexilor v1.2"));
    QVERIFY(!f.window->isWindowModified());
    QVERIFY(!f.Action(QStringLiteral("Desfazer1"))->isEnabled());  // a new history
  }

  // Each command that replaces the card asks first when it holds unsaved edits; Cancelar leaves
  // the window as it was and asks nothing more.
  void cancelBeforeReplacingKeepsTheEdit_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("Abrir") << QStringLiteral("Abrr1");
    QTest::newRow("Novo") << QStringLiteral("Novoarquivodeimagem1");
    QTest::newRow("Ler") << QStringLiteral("LerMemoryCard1");
    QTest::newRow("drop") << QString();
  }
  void cancelBeforeReplacingKeepsTheEdit() {
    QFETCH(QString, command);
    const QString other = f.Path(QStringLiteral("outro.mc"));
    WriteBytes(other.toStdString(), BlankCard());
    const QString path = f.OpenCard(DraxCard());
    RemoveFirstSave(*f.window);
    const CardImage edited = f.window->Document().Image();
    f.dialogs.Clear();
    if (command == QStringLiteral("Abrr1")) f.dialogs.QueueFile(other);
    f.dialogs.QueueCancel();
    if (command.isEmpty()) {
      f.DropFile(other.toUtf8());
    } else {
      f.Trigger(command);
    }
    QCOMPARE(f.dialogs.Log().last(), QStringLiteral("Confirmação: Deseja salvar o arquivo atual?"));
    QVERIFY(f.window->Document().Image() == edited);
    QCOMPARE(f.window->Document().Source(), path);
    QVERIFY(f.window->isWindowModified());
    QCOMPARE(f.Lines().first(), QStringLiteral("DRAX *"));
    QVERIFY(FileHolds(path, DraxCard()));
  }

  void simSavesAndNaoDropsTheEditBeforeOpening_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("Sim") << true;
    QTest::newRow("Não") << false;
  }
  void simSavesAndNaoDropsTheEditBeforeOpening() {
    QFETCH(bool, save);
    const QString other = f.Path(QStringLiteral("outro.mc"));
    WriteBytes(other.toStdString(), BlankCard());
    const QString path = f.OpenCard(DraxCard());
    RemoveFirstSave(*f.window);
    const CardImage edited = f.window->Document().Image();
    f.dialogs.QueueFile(other);
    save ? f.dialogs.QueueYes() : f.dialogs.QueueNo();
    f.Trigger(QStringLiteral("Abrr1"));
    QCOMPARE(f.window->Document().Source(), other);
    QCOMPARE(f.Lines(), QStringList(15, QStringLiteral("Livre")));
    QVERIFY(FileHolds(path, save ? edited : DraxCard()));
    QVERIFY(!f.window->isWindowModified());
  }

  // A file that cannot be opened, dropped on an edited card: its refusal, no question, the edit
  // stays.
  void aRefusedDropKeepsTheCard() {
    const QString text = f.Path(QStringLiteral("leia-me.txt"));
    WriteBytes(text.toStdString(), std::vector<uint8_t>{'o', 'l', 'a', '\n'});
    const QString path = f.OpenCard(DraxCard());
    RemoveFirstSave(*f.window);
    f.dialogs.Clear();
    f.DropFile(text.toUtf8());
    QCOMPARE(f.dialogs.Requests().size(), std::size_t{1});
    QCOMPARE(f.dialogs.Requests().front().kind, DialogRequest::Kind::Message);
    QCOMPARE(f.window->Document().Source(), path);
    QCOMPARE(f.Lines().first(), QStringLiteral("DRAX *"));
    QVERIFY(f.window->isWindowModified());
  }

  // The history reaches back at least 100 steps, and the container comes back with the image.
  void undoReachesBackManySteps() {
    f.OpenCard(DraxCard());
    CardDocument& document = f.window->Document();
    CardContainer with_comment = document.Container();
    with_comment.comments[0] = "antes";
    document.Edit(QStringLiteral("comentário"),
                  [&](CardImage&, CardContainer& container) { container = with_comment; });
    for (int i = 0; i < 120; ++i) {
      const RegionCode region = i % 2 == 0 ? RegionCode::JP : RegionCode::EU;
      QVERIFY(document.Edit(
          QStringLiteral("localidade"),
          [region](CardImage& image, CardContainer&) { SetSaveRegion(image, 1, region); }));
    }
    for (int i = 0; i < 120; ++i) document.UndoStack().undo();
    QVERIFY(document.Image() == DraxCard());
    QCOMPARE(document.Container().comments[0], std::string("antes"));
    document.UndoStack().undo();
    QCOMPARE(document.Container().comments[0], std::string());
    QVERIFY(!document.IsModified());
  }

 private:
  MainWindowFixture f;
};

QTEST_MAIN(CardDocumentTest)
#include "card_document_test.moc"
