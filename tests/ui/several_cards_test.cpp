// Two windows in one process exchanging saves: drops (through the drop handler, with the
// program's own data), the clipboard, several lines at once, the question before a save replaces
// one of the same name, and Renomear 'Save'... and Comentário... with undo.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <cstring>

#include "card/formats/card_file.h"
#include "main_window_fixture.h"
#include "modal_helper.h"

using namespace test_support;

namespace {

// Block 1: "UM", US, named BASLUS-00001AAAA. Blocks 2..4: "TRES", EU, BESLES-00002BBBB.
// Block 5: a removed save. Blocks 6..15 free.
CardImage NamedCard() {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1}, .title = SingleByteTitle("UM"), .region = 'A', .seed = 1});
  PlaceSave(card,
            {.blocks = {2, 3, 4}, .title = SingleByteTitle("TRES"), .region = 'E', .seed = 2});
  PlaceSave(card, {.blocks = {5}, .title = SingleByteTitle("VELHO"), .removed = true, .seed = 3});
  for (const auto& [block, name] : {std::pair{1, "BASLUS-00001AAAA"}, {2, "BESLES-00002BBBB"}}) {
    std::memset(card.data() + block * 128 + 10, 0, 20);  // directory frame, name field
    std::memcpy(card.data() + block * 128 + 10, name, 16);
    SetState(card, block, BlockState::InUseFirst);  // and its check byte again
  }
  return card;
}

std::string NameOf(const CardImage& card, int block) {
  const char* name = reinterpret_cast<const char*>(card.data() + block * 128 + 10);
  return std::string(name, strnlen(name, 20));
}

// Sends the drag's arrival and its drop to window; the action the drop ended in, or
// IgnoreAction when the window did not take the drag.
Qt::DropAction Drop(TForm1& window, const QMimeData* data, Qt::KeyboardModifiers modifiers) {
  const QPoint at = window.rect().center();
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(at, actions, data, Qt::LeftButton, modifiers);
  QCoreApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return Qt::IgnoreAction;
  QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, modifiers);
  QCoreApplication::sendEvent(&window, &drop);
  return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

void Select(TForm1& window, std::initializer_list<int> lines) {
  auto* list = window.findChild<QListWidget*>(QStringLiteral("ListBox1"));
  list->clearSelection();
  list->setCurrentRow(*lines.begin());
  for (int line : lines) list->item(line)->setSelected(true);
}

void Trigger(TForm1& window, const char* action) {
  window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

}  // namespace

class SeveralCardsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    f.Start();
    other = std::make_unique<TForm1>(f.dialogs);
    other->show();
  }
  void cleanup() {
    other->Document().Close();
    other.reset();
    f.Finish();
  }

  void aDropCopiesAndAShiftDropMovesWithUndoOnBothSides() {
    Open(*f.window, NamedCard(), "a.gme", {{2, "tres blocos"}});
    Open(*other, BlankCard(), "b.gme");
    Select(*f.window, {1});
    std::unique_ptr<QMimeData> three(f.window->SelectedSavesData());
    QCOMPARE(Drop(*other, three.get(), Qt::NoModifier), Qt::CopyAction);
    QCOMPARE(NameOf(other->Document().Image(), 1), std::string("BESLES-00002BBBB"));
    QCOMPARE(GetBlockState(other->Document().Image(), 3), BlockState::InUseLast);
    QCOMPARE(CardFileComment(other->Document().Container(), 1), std::string("tres blocos"));
    QVERIFY(f.window->Document().Image() == NamedCard());
    const CardImage after_copy = other->Document().Image();

    Select(*f.window, {0});
    std::unique_ptr<QMimeData> one(f.window->SelectedSavesData());
    QCOMPARE(Drop(*other, one.get(), Qt::ShiftModifier), Qt::MoveAction);
    f.window->SavesDragged({1}, Qt::MoveAction);  // what the drag reports to its source
    QCOMPARE(NameOf(other->Document().Image(), 4), std::string("BASLUS-00001AAAA"));
    QCOMPARE(GetBlockState(f.window->Document().Image(), 1), BlockState::RemovedFirst);

    Trigger(*f.window, "Desfazer1");
    Trigger(*other, "Desfazer1");
    QVERIFY(f.window->Document().Image() == NamedCard());
    QVERIFY(other->Document().Image() == after_copy);
    QVERIFY(f.dialogs.Messages().isEmpty());
  }

  void aMoveThatDoesNotFitStaysACopy() {
    Open(*f.window, NamedCard(), "a.mc");
    CardImage almost_full = BlankCard();
    for (int block = 1; block <= 13; ++block) PlaceSave(almost_full, {.blocks = {block}});
    Open(*other, almost_full, "b.mc");
    Select(*f.window, {0, 1});  // one block and three blocks; two free over there
    std::unique_ptr<QMimeData> both(f.window->SelectedSavesData());
    QCOMPARE(Drop(*other, both.get(), Qt::ShiftModifier), Qt::CopyAction);
    QCOMPARE(f.dialogs.Messages(),
             QStringList{QStringLiteral("Erro: Não há blocos livres para: BESLES-00002BBBB.")});
    QCOMPARE(NameOf(other->Document().Image(), 14), std::string("BASLUS-00001AAAA"));
  }

  void theClipboardCarriesSavesAndAskedBeforeReplacingOneOfTheSameName() {
    Open(*f.window, NamedCard(), "a.mc");
    Open(*other, BlankCard(), "b.mc");
    auto* list = f.window->findChild<QListWidget*>(QStringLiteral("ListBox1"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);  // every line; two saves in use
    Trigger(*f.window, "Copiar1");
    QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(
        QStringLiteral("application/x-vexilor-saves")));
    Trigger(*other, "Colar1");
    QCOMPARE(NameOf(other->Document().Image(), 1), std::string("BASLUS-00001AAAA"));
    QCOMPARE(NameOf(other->Document().Image(), 2), std::string("BESLES-00002BBBB"));
    QCOMPARE(other->findChild<QAction*>(QStringLiteral("Desfazer1"))->text(),
             QStringLiteral("Desfazer colagem de 2 'Saves'"));
    const CardImage pasted = other->Document().Image();

    Select(*f.window, {0});
    Trigger(*f.window, "Recortar1");
    QCOMPARE(GetBlockState(f.window->Document().Image(), 1), BlockState::RemovedFirst);
    f.dialogs.QueueNo();
    Trigger(*other, "Colar1");
    QVERIFY(other->Document().Image() == pasted);
    f.dialogs.QueueYes();
    Trigger(*other, "Colar1");
    QCOMPARE(f.dialogs.Log(),
             QStringList(2, QStringLiteral("Confirmação: Já existe um 'Save' com o nome "
                                           "BASLUS-00001AAAA. Substituir?")));
    // The old one removed, so it can be restored; the new one in the first free block.
    QCOMPARE(GetBlockState(other->Document().Image(), 1), BlockState::RemovedFirst);
    QCOMPARE(NameOf(other->Document().Image(), 5), std::string("BASLUS-00001AAAA"));
  }

  void severalLinesAreRemovedAsOneStepAndExportedIntoAFolder() {
    Open(*f.window, NamedCard(), "a.mc");
    f.ClickLine(0);
    QTest::mouseClick(f.List()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      f.List()->visualItemRect(f.List()->item(1)).center());
    QCOMPARE(f.window->SelectedBlocks(), (std::vector<int>{1, 2}));
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("DeletarSave1"));
    QCOMPARE(f.Lines().mid(0, 2), (QStringList{"UM *", "TRES *"}));
    QCOMPARE(f.Action(QStringLiteral("Desfazer1"))->text(),
             QStringLiteral("Desfazer remoção de 2 'Saves'"));
    f.Trigger(QStringLiteral("Desfazer1"));
    QCOMPARE(f.Lines().mid(0, 2), (QStringList{"UM", "TRES"}));
    QCOMPARE(f.window->SelectedBlocks(), (std::vector<int>{1, 2}));

    const QString folder = f.Path(QStringLiteral("saves"));
    QDir().mkpath(folder);
    WriteBytes((folder + "/TRES_EU.mcs").toStdString(), std::vector<uint8_t>{1, 2, 3});
    f.dialogs.Clear();
    f.dialogs.QueueFile(folder);
    f.dialogs.QueueNo();
    f.Trigger(QStringLiteral("Salvarnico1"));
    QCOMPARE(f.dialogs.Log(), (QStringList{QStringLiteral("PastaDialog1"),
                                           QStringLiteral("Confirmação: O arquivo ") + folder +
                                               QStringLiteral("/TRES_EU.mcs já existe. Deseja "
                                                              "substituí-lo?")}));
    QCOMPARE(ReadBytes((folder + "/UM_US.mcs").toStdString()).size(), std::size_t{8320});
    QCOMPARE(ReadBytes((folder + "/TRES_EU.mcs").toStdString()), (std::vector<uint8_t>{1, 2, 3}));
  }

  void renameChecksTheNameAndIsUndoable_data() {
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("refusal");  // empty: renamed
    QTest::newRow("new name") << "NOVO"
                              << "";
    QTest::newRow("name of another save")
        << "BBBB"
        << "Erro: Já existe um 'Save' com o nome BESLES-00002BBBB.";
  }
  void renameChecksTheNameAndIsUndoable() {
    QFETCH(QString, identifier);
    QFETCH(QString, refusal);
    Open(*f.window, NamedCard(), "a.mc");
    f.ClickLine(0);
    WhenModalOpens([&](QWidget* dialog) {
      dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText("BE");
      auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
      code->clear();
      QTest::keyClicks(code, QStringLiteral("SLES-00002"));
      auto* id = dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"));
      id->clear();
      id->insert(QStringLiteral("é"));  // refused by the field
      QTest::keyClicks(id, identifier);
      QTest::keyClick(id, Qt::Key_Return);
    });
    f.Trigger(QStringLiteral("RenomearSave1"));
    if (!refusal.isEmpty()) {
      QCOMPARE(f.dialogs.Messages(), QStringList{refusal});
      QVERIFY(f.window->Document().Image() == NamedCard());
      QVERIFY(!f.window->Document().IsModified());
      return;
    }
    QCOMPARE(NameOf(f.window->Document().Image(), 1), "BESLES-00002" + identifier.toStdString());
    QVERIFY(IsDirectoryXorValid(f.window->Document().Image(), 1));
    f.Trigger(QStringLiteral("Desfazer1"));
    QVERIFY(f.window->Document().Image() == NamedCard());
  }

  void aCommentIsEditedInADexDriveImageOnly() {
    Open(*f.window, NamedCard(), "a.mc");
    f.Trigger(QStringLiteral("Comentario1"));
    QCOMPARE(f.dialogs.Messages(),
             QStringList{"Atenção: Só uma imagem DexDrive (.gme) guarda comentários."});

    Open(*f.window, NamedCard(), "a.gme", {{1, "antigo"}});
    WhenModalOpens([](QWidget* dialog) {
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
      QCOMPARE(edit->text(), QStringLiteral("antigo"));
      edit->setText(QStringLiteral("Fase 3 — 99 vidas"));
      QTest::keyClick(edit, Qt::Key_Return);
    });
    f.Trigger(QStringLiteral("Comentario1"));
    QCOMPARE(CardFileComment(f.window->Document().Container(), 1),
             std::string("Fase 3 \x97 99 vidas"));
    QCOMPARE(f.List()->item(0)->toolTip(), QStringLiteral("UM\nFase 3 — 99 vidas"));
    f.Trigger(QStringLiteral("Desfazer1"));
    QCOMPARE(CardFileComment(f.window->Document().Container(), 1), std::string("antigo"));
  }

 private:
  // Writes card (with DexDrive comments by block when name ends in .gme) and opens it in window.
  void Open(TForm1& window, const CardImage& card, const QString& name,
            const std::vector<std::pair<int, std::string>>& comments = {}) {
    const QString path = f.Path(name);
    CardContainer container =
        NewCardContainer(name.endsWith(".gme") ? CardFormat::DexDrive : CardFormat::Raw);
    for (const auto& [block, comment] : comments) container.comments[block - 1] = comment;
    SaveCardFile(card, container, path.toStdString());
    f.dialogs.QueueFile(path);
    Trigger(window, "Abrr1");
    f.dialogs.Clear();
  }

  MainWindowFixture f;
  std::unique_ptr<TForm1> other;
};

QTEST_MAIN(SeveralCardsTest)
#include "several_cards_test.moc"
