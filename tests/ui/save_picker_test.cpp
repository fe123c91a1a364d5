// "Abrir arquivo de 'Save' único" with a card image, and "Salvar arquivo de 'Save' único " in
// each format, through the real picker window.
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "card/single_save.h"
#include "main_window_fixture.h"
#include "modal_helper.h"
#include "vexilor_application.h"

using namespace test_support;

namespace {

// Block 1: a save titled "テスト" (Shift-JIS 83 65 83 58 83 67), region JP.
CardImage JapaneseCard() {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1},
                   .title = {0x83, 0x65, 0x83, 0x58, 0x83, 0x67},
                   .region = 'I',
                   .product_code = "SLPS-01234"});
  return card;
}

}  // namespace

class SavePickerTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  void picksASaveOfAnotherCardWithTheKeyboard() {
    const QString other = f.Path(QStringLiteral("outro.mc"));
    WriteBytes(other.toStdString(), StandardCard());
    // What the .mcs of the three-block save would give on the same card.
    ExportSingleSave(StandardCard(), 4, f.Path(QStringLiteral("tres.mcs")).toStdString());
    CardImage expected = StandardCard();
    QVERIFY(ImportSingleSave(expected, f.Path(QStringLiteral("tres.mcs")).toStdString()));

    f.OpenCard(StandardCard());
    f.dialogs.QueueFile(other);
    QString title;
    QStringList rows;
    bool ok_is_default = false;
    WhenModalOpens([&](QWidget* modal) {
      title = modal->windowTitle();
      auto* list = modal->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
      for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        rows << item->text(0) + u'|' + item->text(1) + u'|' + item->text(2);
      }
      ok_is_default = modal->findChild<QPushButton*>(QStringLiteral("Button1"))->isDefault();
      QTest::keyClick(list, Qt::Key_Down);
      QTest::keyClick(list, Qt::Key_Down);
      QTest::keyClick(list, Qt::Key_Return);
    });
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    QCOMPARE(title, QStringLiteral("Escolha o 'Save' a importar"));
    // The removed save of block 3 is not offered.
    QCOMPARE(rows, (QStringList{QStringLiteral("ABC|SLUS-01234|1"),
                                QStringLiteral("AB: SAVE/1|SLUS-01234|1"),
                                QStringLiteral("TRES BLOCOS|SLUS-01234|3")}));
    QVERIFY(ok_is_default);
    QCOMPARE(f.dialogs.Messages(), QStringList());
    QVERIFY(f.window->Document().Image() == expected);
    // Block 7, the first never used, takes it; the removed save in block 3 stays.
    QCOMPARE(f.List()->item(6)->text(), QStringLiteral("TRES BLOCOS"));
    QCOMPARE(f.List()->item(2)->text(), QStringLiteral("APAGADO *"));
    f.Trigger(QStringLiteral("Desfazer1"));
    QVERIFY(f.window->Document().Image() == StandardCard());
  }

  // A Japanese title ("テスト", Shift-JIS 83 65 83 58 83 67) reads as such in the picker, and
  // the export of that save proposes it as the file's name.
  void japaneseTitlesAreReadable() {
    const CardImage card = JapaneseCard();
    const QString other = f.Path(QStringLiteral("japones.mc"));
    WriteBytes(other.toStdString(), card);
    f.OpenCard(card);
    f.dialogs.QueueFile(other);
    QString shown;
    QString tip;
    WhenModalOpens([&](QWidget* modal) {
      auto* list = modal->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
      shown = list->topLevelItem(0)->text(0);
      tip = list->topLevelItem(0)->toolTip(0);
      QTest::keyClick(modal, Qt::Key_Escape);
    });
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    QCOMPARE(shown, QStringLiteral("テスト"));
    QCOMPARE(tip, QStringLiteral("テスト"));
    f.dialogs.QueueCancel();
    f.Trigger(QStringLiteral("Salvarnico1"));
    QCOMPARE(f.dialogs.Requests().back().file.file_name, QStringLiteral("テスト_JP.mcs"));
  }

  // Saves exported together into a folder are named as each would be alone.
  void severalSavesExportedTogetherKeepTheirReadableTitles() {
    CardImage card = JapaneseCard();
    PlaceSave(card, {.blocks = {2}, .title = SingleByteTitle("ABC"), .region = 'A', .seed = 2});
    f.OpenCard(card);
    f.ClickLine(0);
    QTest::mouseClick(f.List()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      f.List()->visualItemRect(f.List()->item(1)).center());
    const QString folder = f.Path(QStringLiteral("saves"));
    QVERIFY(QDir().mkpath(folder));
    f.dialogs.QueueFile(folder);
    f.Trigger(QStringLiteral("Salvarnico1"));
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             (QStringList{QStringLiteral("ABC_US.mcs"), QStringLiteral("テスト_JP.mcs")}));
  }

  void cancelChangesNothing() {
    const QString other = f.Path(QStringLiteral("outro.mc"));
    WriteBytes(other.toStdString(), StandardCard());
    f.OpenCard(StandardCard());
    f.dialogs.QueueFile(other);
    WhenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    QVERIFY(f.window->Document().Image() == StandardCard());
    QCOMPARE(f.dialogs.Messages(), QStringList());
  }

  void aCardWithoutSavesIsSaidSo() {
    const QString other = f.Path(QStringLiteral("vazio.mc"));
    WriteBytes(other.toStdString(), BlankCard());
    f.OpenCard(StandardCard());
    f.dialogs.QueueFile(other);
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    QCOMPARE(
        f.dialogs.Messages(),
        QStringList{QStringLiteral("Atenção: O arquivo %1 não contém nenhum 'Save'!").arg(other)});
    QVERIFY(f.window->Document().Image() == StandardCard());
  }

  void exportsInTheFormatOfTheChosenFilter_data() {
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("magic_offset");
    QTest::newRow("mcs") << 0 << "salvo.mcs" << 128 + 3 * 8192 << 128;
    QTest::newRow("raw") << 1 << "salvo" << 3 * 8192 << 0;
    QTest::newRow("54-byte header") << 2 << "salvo.psx" << 54 + 3 * 8192 << 54;
    QTest::newRow("psv") << 3 << "salvo.PSV" << 0x84 + 3 * 8192 << 0x84;
  }
  void exportsInTheFormatOfTheChosenFilter() {
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(int, size);
    QFETCH(int, magic_offset);
    f.OpenCard(StandardCard());
    f.ClickLine(3);
    f.dialogs.Clear();
    f.dialogs.QueueFile(f.Path(QStringLiteral("salvo")), filter);
    f.Trigger(QStringLiteral("Salvarnico1"));
    const FileDialogRequest& asked = f.dialogs.Requests().front().file;
    QCOMPARE(asked.filter_index, 0);  // .mcs is offered first
    QCOMPARE(asked.filter_file_names.size(), 4);
    QCOMPARE(asked.filter_file_names.at(0), asked.file_name);
    const auto bytes = ReadBytes(f.Path(written).toStdString());
    QCOMPARE(static_cast<int>(bytes.size()), size);
    QCOMPARE(bytes.at(static_cast<std::size_t>(magic_offset)), uint8_t{'S'});
    QCOMPARE(bytes.at(static_cast<std::size_t>(magic_offset) + 1), uint8_t{'C'});
  }

 private:
  MainWindowFixture f;
};

int main(int argc, char** argv) {
  ScriptedDialogs application_dialogs;
  VexilorApplication application(argc, argv, application_dialogs);
  SavePickerTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "save_picker_test.moc"
