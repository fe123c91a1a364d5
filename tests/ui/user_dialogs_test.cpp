#include "transfer/user_dialogs.h"

#include <QAbstractProxyModel>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "modal_helper.h"

namespace {

// What a box looked like while it was open; compared once it has closed, so a failed check
// never leaves a modal loop running.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QStringList buttons;
};

SeenBox Look(QMessageBox& box) {
  SeenBox seen{box.windowTitle(), box.text(), box.icon(), {}};
  for (QAbstractButton* button : box.buttons()) seen.buttons << button->text();
  return seen;
}

}  // namespace

// The real boxes and file dialogs, driven through their own widgets.
class QtUserDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void messageHasOnlyOkAndNoIcon() {
    SeenBox seen;
    WhenModalOpens([&](QWidget* modal) {
      auto& box = *qobject_cast<QMessageBox*>(modal);
      seen = Look(box);
      box.button(QMessageBox::Ok)->click();
    });
    QtUserDialogs().ShowMessage(nullptr, QStringLiteral("Arquivo x.mc não encontrado!"),
                                QStringLiteral("Erro"));
    QCOMPARE(seen.title, QStringLiteral("Erro"));
    QCOMPARE(seen.text, QStringLiteral("Arquivo x.mc não encontrado!"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons.size(), 1);
  }

  void questionAnswers_data() {
    QTest::addColumn<bool>("no_is_default");
    QTest::addColumn<int>("key");  // 0: click the button named by press_yes
    QTest::addColumn<bool>("press_yes");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Enter, Yes default") << false << int(Qt::Key_Return) << false << true;
    QTest::newRow("Enter, No default") << true << int(Qt::Key_Return) << false << false;
    QTest::newRow("Escape") << false << int(Qt::Key_Escape) << false << false;
    QTest::newRow("click Yes") << true << 0 << true << true;
    QTest::newRow("click No") << false << 0 << false << false;
  }
  void questionAnswers() {
    QFETCH(bool, no_is_default);
    QFETCH(int, key);
    QFETCH(bool, press_yes);
    QFETCH(bool, answer);
    SeenBox seen;
    WhenModalOpens([&](QWidget* modal) {
      auto& box = *qobject_cast<QMessageBox*>(modal);
      seen = Look(box);
      if (key != 0) {
        QTest::keyClick(&box, Qt::Key(key));
      } else {
        box.button(press_yes ? QMessageBox::Yes : QMessageBox::No)->click();
      }
    });
    QCOMPARE(QtUserDialogs().AskYesNo(nullptr, QStringLiteral("Confirma?"),
                                      QStringLiteral("Confirmação"), no_is_default),
             answer);
    QCOMPARE(seen.title, QStringLiteral("Confirmação"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, (QStringList{"&Sim", "&Não"}));
  }

  // The question before unsaved edits are dropped: only an explicit No discards them.
  void threeWayQuestionAnswers_data() {
    using A = UserDialogs::Answer;
    QTest::addColumn<int>("key");  // 0: close the box through its title bar
    QTest::addColumn<int>("answer");
    QTest::newRow("Enter takes Sim") << int(Qt::Key_Return) << int(A::Yes);
    QTest::newRow("Alt+N") << int(Qt::Key_N) << int(A::No);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(A::Cancel);
    QTest::newRow("title bar's close") << 0 << int(A::Cancel);
  }
  void threeWayQuestionAnswers() {
    QFETCH(int, key);
    QFETCH(int, answer);
    SeenBox seen;
    WhenModalOpens([&](QWidget* modal) {
      auto& box = *qobject_cast<QMessageBox*>(modal);
      seen = Look(box);
      if (key == 0) {
        box.close();
      } else {
        QTest::keyClick(&box, Qt::Key(key), key == Qt::Key_N ? Qt::AltModifier : Qt::NoModifier);
      }
    });
    const UserDialogs::Answer given = QtUserDialogs().AskYesNoCancel(
        nullptr, QStringLiteral("Deseja salvar o arquivo atual?"), QStringLiteral("Confirmação"));
    QCOMPARE(int(given), answer);
    QCOMPARE(seen.title, QStringLiteral("Confirmação"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    seen.buttons.sort();
    QCOMPARE(seen.buttons, (QStringList{"&Não", "&Sim", "Cancelar"}));
  }

  void fileDialogIsSetUpFromTheRequest_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");
    QTest::newRow("open, chosen") << false << true;
    QTest::newRow("save, chosen") << true << true;
    QTest::newRow("save, cancelled") << true << false;
  }
  void fileDialogIsSetUpFromTheRequest() {
    QFETCH(bool, save);
    QFETCH(bool, accept);
    FileDialogRequest request;
    request.name = QStringLiteral("SaveDialog1");
    request.kind = save ? FileDialogRequest::Kind::Save : FileDialogRequest::Kind::Open;
    request.filter = QStringLiteral("Arquivo Memory Card (.MC)|*.mc");
    request.initial_folder = QStringLiteral(".");
    request.file_name = QStringLiteral("novo_cartao.mc");
    request.confirm_overwrite = save;
    QString name, title, folder;
    QStringList filters;
    bool details_hidden = false, asks_overwrite = false, accepts_save = false;
    WhenModalOpens([&](QWidget* modal) {
      auto& dialog = *qobject_cast<QFileDialog*>(modal);
      name = dialog.objectName();
      title = dialog.windowTitle();
      filters = dialog.nameFilters();
      folder = QDir(dialog.directory()).canonicalPath();
      details_hidden = dialog.testOption(QFileDialog::HideNameFilterDetails);
      asks_overwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
      accepts_save = dialog.acceptMode() == QFileDialog::AcceptSave;
      QDialog& plain = dialog;
      accept ? plain.accept() : plain.reject();
    });
    const std::optional<QString> chosen = QtUserDialogs().ChooseFile(nullptr, request);
    QCOMPARE(chosen.has_value(), accept);
    if (chosen) QCOMPARE(QFileInfo(*chosen).fileName(), request.file_name);
    QCOMPARE(name, request.name);
    QCOMPARE(title, save ? QStringLiteral("Salvar como") : QStringLiteral("Abrir"));
    QCOMPARE(filters, QStringList{QStringLiteral("Arquivo Memory Card (.MC) (*.mc)")});
    QCOMPARE(folder, QDir::current().canonicalPath());
    QVERIFY(details_hidden);
    QCOMPARE(asks_overwrite, save);
    QCOMPARE(accepts_save, save);
  }

  // Under the C locale Qt's dialog says "Folder" and "8 Dec 2026"; it speaks the program's
  // Brazilian Portuguese instead.
  void foldersAndDatesInTheProgramsLanguage() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    QFile file(folder.filePath(QStringLiteral("a.mc")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(10, 0)),
                             QFileDevice::FileModificationTime));
    file.close();
    FileDialogRequest request;
    request.name = QStringLiteral("OpenDialog1");
    request.initial_folder = folder.path();
    QStringList rows;
    WhenModalOpens([&](QWidget* modal) {
      auto& dialog = *qobject_cast<QFileDialog*>(modal);
      auto* files = dialog.findChild<QFileSystemModel*>();
      const QModelIndex root = files->index(folder.path());
      QDeadlineTimer loaded(5000);
      while (files->rowCount(root) < 2 && !loaded.hasExpired()) QTest::qWait(20);
      for (int row = 0; row < files->rowCount(root); ++row) {
        auto shown = [&](int column) {
          return dialog.proxyModel()->mapFromSource(files->index(row, column, root)).data();
        };
        rows << shown(0).toString() + u'|' + shown(2).toString() + u'|' + shown(3).toString();
      }
      static_cast<QDialog&>(dialog).reject();
    });
    QtUserDialogs().ChooseFile(nullptr, request);
    rows.sort();
    QCOMPARE(rows.size(), 2);
    QVERIFY2(rows.at(0).startsWith(QStringLiteral("a.mc|")), qPrintable(rows.at(0)));
    QVERIFY2(rows.at(0).endsWith(QStringLiteral("|08/12/2026 10:00")), qPrintable(rows.at(0)));
    QVERIFY2(rows.at(1).startsWith(QStringLiteral("sub|Pasta|")), qPrintable(rows.at(1)));
  }

  void severalFiltersShowTheChosenOneAndReportTheUsersChoice() {
    FileDialogRequest request;
    request.name = QStringLiteral("SaveDialog2");
    request.kind = FileDialogRequest::Kind::Save;
    request.filter = QStringLiteral("Um (.UM)|*.um|Dois (.DOIS .DS)|*.dois;*.ds");
    request.filter_index = 1;
    request.file_name = QStringLiteral("salvo.dois");
    request.filter_file_names = {QStringLiteral("salvo.um"), QStringLiteral("salvo.dois")};
    QStringList filters;
    QString shown_filter, name_after_switch;
    WhenModalOpens([&](QWidget* modal) {
      auto& dialog = *qobject_cast<QFileDialog*>(modal);
      filters = dialog.nameFilters();
      shown_filter = dialog.selectedNameFilter();
      dialog.selectNameFilter(filters.first());
      emit dialog.filterSelected(QStringLiteral("Um (.UM)"));
      name_after_switch = QFileInfo(dialog.selectedFiles().value(0)).fileName();
      static_cast<QDialog&>(dialog).accept();
    });
    QVERIFY(QtUserDialogs().ChooseFile(nullptr, request).has_value());
    QCOMPARE(filters, (QStringList{QStringLiteral("Um (.UM) (*.um)"),
                                   QStringLiteral("Dois (.DOIS .DS) (*.dois *.ds)")}));
    QCOMPARE(shown_filter, QStringLiteral("Dois (.DOIS .DS)"));  // the details are hidden
    QCOMPARE(name_after_switch, QStringLiteral("salvo.um"));
    QCOMPARE(request.filter_index, 0);
  }

  // Several filters in one request; the one the user picks is left in the request.
  void fileDialogOffersEveryFilterAndKeepsTheChosenOne() {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.filter = QStringLiteral("Arquivo Memory Card (.MC)|*.mc|DexDrive (.GME)|*.gme;*.GME");
    request.file_name = QStringLiteral("cartao");
    request.filter_index = 0;
    QStringList filters;
    QString shown_first;
    WhenModalOpens([&](QWidget* modal) {
      auto& dialog = *qobject_cast<QFileDialog*>(modal);
      filters = dialog.nameFilters();
      shown_first = dialog.selectedNameFilter();
      dialog.selectNameFilter(filters.value(1));
      static_cast<QDialog&>(dialog).accept();
    });
    QVERIFY(QtUserDialogs().ChooseFile(nullptr, request).has_value());
    QCOMPARE(filters, (QStringList{QStringLiteral("Arquivo Memory Card (.MC) (*.mc)"),
                                   QStringLiteral("DexDrive (.GME) (*.gme *.GME)")}));
    QCOMPARE(shown_first, QStringLiteral("Arquivo Memory Card (.MC)"));
    QCOMPARE(request.filter_index, 1);  // a later filter, reported without its details
  }
};

QTEST_MAIN(QtUserDialogsTest)
#include "user_dialogs_test.moc"
