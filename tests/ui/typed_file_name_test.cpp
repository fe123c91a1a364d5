#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <utility>

#include "card/single_save.h"
#include "modal_helper.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"
#include "uVexilor.h"

using namespace test_support;

namespace {
enum class Form { BareName, FullPath, FolderPasted };
}  // namespace

// The window's open dialogs, the real ones as the window builds them, take a file of the folder
// they show typed in the name field either by its bare name or by its full path: "Abrir" is
// enabled and Enter opens it.
class TypedFileNameTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void openDialogsTakeABareNameOrAFullPath_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("form");
    const std::pair<const char*, const char*> opened[] = {{"Abrr1", "cartao.gme"},
                                                          {"Abrirnicosave1", "um.mcs"}};
    for (const auto& [command, file] : opened) {
      QTest::addRow("%s, bare name", file) << command << file << int(Form::BareName);
      QTest::addRow("%s, full path", file) << command << file << int(Form::FullPath);
      QTest::addRow("%s, folder pasted", file) << command << file << int(Form::FolderPasted);
    }
  }
  void openDialogsTakeABareNameOrAFullPath() {
    QFETCH(QString, command);
    QFETCH(QString, file);
    QFETCH(int, form);
    TempFolder folder;
    // The dialogs start in the working folder: it is the one shown.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(folder.path().string())));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });

    WriteBytes(folder.File("vazio.mc"), BlankCard());
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {1}, .title = SingleByteTitle("TECLADO")});
    ExportSingleSave(card, 1, folder.File("um.mcs"));
    PlaceSave(card, {.blocks = {2}, .title = SingleByteTitle("DIGITADO")});
    // A DexDrive image, "123-456-STD" and a header of 3904 bytes: shown under the first filter,
    // the one of several patterns.
    std::vector<uint8_t> gme(3904);
    const std::string magic = "123-456-STD";
    std::copy(magic.begin(), magic.end(), gme.begin());
    gme.insert(gme.end(), card.begin(), card.end());
    WriteBytes(folder.File("cartao.gme"), gme);

    QtUserDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    if (command == QStringLiteral("Abrirnicosave1")) {
      window.OpenImageFile(QString::fromStdString(folder.File("vazio.mc")));
    }

    // Typed as it reaches the field when the dialog has just opened, before it is active.
    const QString folder_path = QDir::currentPath() + u'/';
    bool open_enabled = false;
    bool still_open = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      auto* buttons = modal->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
      if (edit == nullptr || buttons == nullptr) {
        static_cast<QDialog*>(modal)->reject();
        return;
      }
      if (form == int(Form::FullPath)) QTest::keyClicks(edit, folder_path);
      if (form == int(Form::FolderPasted)) edit->insert(folder_path);
      QTest::keyClicks(edit, file);
      open_enabled = buttons->button(QDialogButtonBox::Open)->isEnabled();
      QTest::keyClick(edit, Qt::Key_Return);
      still_open = modal->isVisible();
      if (still_open) static_cast<QDialog*>(modal)->reject();
    });
    window.findChild<QAction*>(command)->trigger();

    QVERIFY(open_enabled);
    QVERIFY(!still_open);
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ListBox1"));
    if (command == QStringLiteral("Abrr1")) {
      QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label8"))->text(),
               QStringLiteral("Fonte: 'cartao.gme'"));
      QCOMPARE(list->item(1)->text(), QStringLiteral("DIGITADO"));
    } else {
      QCOMPARE(list->item(0)->text(), QStringLiteral("TECLADO"));
    }
    window.Document().Close();
  }
};

QTEST_MAIN(TypedFileNameTest)
#include "typed_file_name_test.moc"
