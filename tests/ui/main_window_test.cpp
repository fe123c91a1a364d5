#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "card/file_io.h"
#include "card/icon_file.h"
#include "card/image_file.h"
#include "card/maintenance.h"
#include "card/single_save.h"
#include "main_window_fixture.h"
#include "platform_version.h"
#include "stretched_picture.h"
#include "transport/port.h"
#include "vexilor_application.h"

using namespace test_support;

namespace {

// Every command, with its tool button, its long hint and whether it is enabled in each state.
struct CommandRow {
  const char* action;
  const char* caption;
  const char* button;  // "" when the command has no tool button
  const char* long_hint;
  bool at_start;
  bool with_image;
};

const CommandRow kCommands[] = {
    {"Novoarquivodeimagem1", "Novo arquivo imagem", "ToolButton1",
     "Cria um arquivo imagem vazio para livre preenchimento", true, true},
    {"Abrr1", "Abrir arquivo imagem", "ToolButton3", "Abre um arquivo imagem", true, true},
    {"Salvararquivoimagem1", "Salvar arquivo imagem", "ToolButton4", "Salva a imagem em arquivo",
     false, true},
    {"Abrirnicosave1", "Abrir arquivo de 'Save' único", "ToolButton6",
     "Abre um único 'Save' gravado em arquivo", false, true},
    {"Salvarnico1", "Salvar arquivo de 'Save' único ", "ToolButton7",
     "Salva o bloco atual em um arquivo de 'Save' único", false, true},
    {"SepararPorJogo1", "Separar por jogo...", "",
     "Grava um cartão por jogo com os 'saves' da imagem", false, true},
    {"Sair1", "Sair", "ToolButton16", "Sair do Vexilor", true, true},
    {"DeletarSave1", "Remover 'Save'", "ToolButton9", "Remove o bloco atualmente selecionado",
     false, true},
    {"RestaurarSave1", "Restaurar 'Save'", "ToolButton11",
     "Restaura o bloco selecionado, caso seja possível", false, true},
    {"LimparSavesremovidos1", "Limpar 'Saves' removidos", "ToolButton10",
     "Remove definitivamente os blocos removidos", false, true},
    {"Repararcartao1", "Reparar cartão...", "",
     "Repara as inconsistências do cartão que não exigem adivinhar dados", false, true},
    {"AlterarlocalidadeUSAmericano1", "Alterar localidade US - Americano", "",
     "Altera localidade para Americano", false, true},
    {"AlterarlocalidadeEUEuropeu1", "Alterar localidade EU - Europeu", "",
     "Altera localidade para Europeu", false, true},
    {"AlterarlocalidadeJPJapons1", "Alterar localidade JP - Japonês", "",
     "Altera localidade para Japonês", false, true},
    {"Salvarcone1", "Salvar Ícone...", "", "Salva o ícone do 'save' em formato .ICO", false, true},
    {"LerMemoryCard1", "Ler Memory Card", "ToolButton13",
     "Lê as informações do Memory Card conectado", true, true},
    {"GravarMemoryCard1", "Gravar Memory Card", "ToolButton14",
     "Grava as informações atuais no Memory Card conectado", false, true},
    {"FormatarMemoryCard1", "Formatar Memory Card", "", "Formata o Memory Card conectado", true,
     true},
};

QImage Shown(const QImage& icon) {
  QImage picture(16, 16, QImage::Format_RGB888);
  QPainter painter(&picture);
  painter.drawImage(0, 0, icon);
  return picture;
}

// An object whose event handler fails the way a command does when a file cannot be written.
class FailingObject : public QObject {
 public:
  bool event(QEvent*) override {
    throw FileError("/sem/acesso.mc", std::make_error_code(std::errc::permission_denied));
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 public:
  explicit MainWindowTest(ScriptedDialogs& application_dialogs)
      : application_dialogs_(application_dialogs) {}

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  void startsEmptyWithTheFrameOfTheWindow() {
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Vexilor v1.2"));
    QCOMPARE(f.window->size() - QSize(0, f.window->menuBar()->height()), QSize(432, 329));
    QCOMPARE(f.Find(QStringLiteral("StatusBar1"))->geometry().bottom(), f.window->height() - 1);
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!f.List()->isEnabled());
    QCOMPARE(f.List()->count(), 0);
    QCOMPARE(f.Text(QStringLiteral("Label8")), QStringLiteral("Fonte: <não selecionada>"));
    QCOMPARE(f.Text(QStringLiteral("Label9")), QStringLiteral("Blocos Usados: 0"));
    QCOMPARE(f.Text(QStringLiteral("Label10")), QStringLiteral("Blocos Livres: 0"));
    QVERIFY(!DirectPortIO);
    QVERIFY(f.window->ImageList2().empty());
  }

  // Qt's own texts, dates and numbers follow the program's language, whatever the system's.
  void qtSpeaksBrazilianPortuguese() {
    QCOMPARE(QLocale().toString(1234.5, 'f', 1), QStringLiteral("1.234,5"));
    QCOMPARE(QLocale().toString(QDate(2026, 12, 8), QLocale::ShortFormat),
             QStringLiteral("08/12/2026"));
  }

  void enablesCommandsByViewState() {
    auto check = [&](bool image_shown) {
      for (const CommandRow& row : kCommands) {
        const bool expected = image_shown ? row.with_image : row.at_start;
        QVERIFY2(f.Action(row.action)->isEnabled() == expected, row.action);
        if (*row.button) QVERIFY2(f.Find(row.button)->isEnabled() == expected, row.button);
      }
      for (int n = 1; n <= 7; ++n) {
        QCOMPARE(f.Find(QStringLiteral("Edit%1").arg(n))->isEnabled(), image_shown);
      }
      QCOMPARE(f.List()->isEnabled(), image_shown);
    };
    check(false);
    f.OpenCard(StandardCard());
    check(true);
    f.ClickLine(4);  // a continuation line has no icon to export
    QVERIFY(!f.Action(QStringLiteral("Salvarcone1"))->isEnabled());
    QVERIFY(!f.Find(QStringLiteral("Image1"))->isVisible());
    f.ClickLine(0);
    QVERIFY(f.Action(QStringLiteral("Salvarcone1"))->isEnabled());
  }

  void choosesThePortPathByPlatform() {
    QVERIFY(!DirectPortIOForPlatform(std::nullopt));
    QVERIFY(!DirectPortIOForPlatform(0));
    QVERIFY(DirectPortIOForPlatform(1));
    QVERIFY(!DirectPortIOForPlatform(2));
  }

  void newImageIsBlankAndHasItsFile() {
    f.dialogs.QueueFile(f.Path(QStringLiteral("novo")));
    f.Trigger(QStringLiteral("Novoarquivodeimagem1"));
    const DialogRequest& request = f.dialogs.Requests().at(0);
    QCOMPARE(request.file.name, QStringLiteral("SaveDialog1"));
    QCOMPARE(request.file.title, QStringLiteral("Informe o nome do NOVO arquivo imagem"));
    QVERIFY(request.file.confirm_overwrite);
    QCOMPARE(ReadBytes(f.Path(QStringLiteral("novo.mc")).toStdString()).size(), CardSize);
    QCOMPARE(f.Lines(), QStringList(15, QStringLiteral("Livre")));
    QCOMPARE(f.List()->verticalScrollBar()->maximum(), 0);  // all 15 rows fit
    QCOMPARE(f.Text(QStringLiteral("Label8")), QStringLiteral("Fonte: 'novo.mc'"));
    QCOMPARE(f.Text(QStringLiteral("Label9")), QStringLiteral("Blocos Usados: 0"));
    QCOMPARE(f.Text(QStringLiteral("Label10")), QStringLiteral("Blocos Livres: 15"));
    QCOMPARE(f.List()->currentRow(), 0);
    const QStringList details = {
        {}, {}, QStringLiteral("0"), {}, {}, QStringLiteral("Livre"), QStringLiteral("OK")};
    for (int n = 1; n <= 7; ++n) QCOMPARE(f.Text(QStringLiteral("Edit%1").arg(n)), details[n - 1]);
    QCOMPARE(f.Find<QLineEdit>(QStringLiteral("Edit7"))->palette().color(QPalette::Text),
             QColor(0, 128, 0));
    QVERIFY(!f.Action(QStringLiteral("Salvarcone1"))->isEnabled());
    QVERIFY(f.Find<QTimer>(QStringLiteral("Timer1"))->isActive());
    QCOMPARE(f.Find<QTimer>(QStringLiteral("Timer1"))->interval(), 300);
  }

  void showsSavesRemovedAndNot() {
    f.OpenCard(StandardCard());
    QCOMPARE(f.Lines().mid(0, 6),
             (QStringList{"ABC", "AB: SAVE/1", "APAGADO *", "TRES BLOCOS", "Continuação do Bloco",
                          "Continuação final do Bloco"}));
    QCOMPARE(f.Text(QStringLiteral("Label10")),
             QStringLiteral("Blocos Livres: %1").arg(StandardFreeBlocks));
    const char* blocks[] = {"3", "", ""};
    for (int line = 3; line <= 5; ++line) {
      f.ClickLine(line);
      QCOMPARE(f.Text(QStringLiteral("Edit3")), QString::fromUtf8(blocks[line - 3]));
      QCOMPARE(f.Text(QStringLiteral("Edit6")), QStringLiteral("Ocupado"));
    }
    f.ClickLine(3);
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("DeletarSave1"));
    QCOMPARE(f.Lines().mid(3, 3), (QStringList{"TRES BLOCOS *", "Continuação do Bloco *",
                                               "Continuação final do Bloco *"}));
    QCOMPARE(f.Text(QStringLiteral("Label10")),
             QStringLiteral("Blocos Livres: %1").arg(StandardFreeBlocks + 3));
    QCOMPARE(f.List()->currentRow(), 3);
    QCOMPARE(f.Text(QStringLiteral("Edit6")), QStringLiteral("Removido"));
  }

  void loadFailureKeepsTheCardShown_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("Erro: Arquivo %1 não encontrado!");
    QTest::newRow("short") << QByteArray(CardSize - 1, '\0')
                           << QStringLiteral("Erro: Tamanho do arquivo %1 inválido!");
    QTest::newRow("bad header") << QByteArray(CardSize, '\0')
                                << QStringLiteral(
                                       "Erro: Frame de identificação no arquivo %1 inválido!");
  }
  void loadFailureKeepsTheCardShown() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString shown = f.OpenCard(StandardCard());
    RemoveFirstSave(*f.window);
    f.ClickLine(3);
    const QStringList lines = f.Lines();
    const QString source_line = f.Text(QStringLiteral("Label8"));
    const QString path = f.Path(QStringLiteral("outro.mc"));
    if (!content.isEmpty()) {
      WriteBytes(path.toStdString(),
                 std::span(reinterpret_cast<const uint8_t*>(content.data()), content.size()));
    }
    f.dialogs.QueueFile(path);
    f.Trigger(QStringLiteral("Abrr1"));
    QCOMPARE(f.dialogs.Messages(), QStringList{message.arg(path)});
    // No question either: the refused file could not have replaced the edited card.
    QCOMPARE(f.dialogs.Log(), (QStringList{QStringLiteral("OpenDialog1"),
                                           QStringLiteral("OpenDialog1"), message.arg(path)}));
    QCOMPARE(f.Lines(), lines);
    QCOMPARE(f.List()->currentRow(), 3);
    QCOMPARE(f.window->Document().Source(), shown);
    QVERIFY(f.window->Document().IsModified());
    QCOMPARE(f.Text(QStringLiteral("Label8")), source_line);
    QVERIFY(f.Find<QTimer>(QStringLiteral("Timer1"))->isActive());
  }

  void asksToSaveOnClosing_data() {
    QTest::addColumn<bool>("from_card");
    QTest::addColumn<int>("answer");      // UserDialogs::Answer
    QTest::addColumn<QString>("chosen");  // empty: the save dialog is cancelled
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("closes");
    using A = UserDialogs::Answer;
    QTest::newRow("file, no") << false << int(A::No) << QString() << QString() << true;
    QTest::newRow("file, yes") << false << int(A::Yes) << QString() << QStringLiteral("cartao.mc")
                               << true;
    QTest::newRow("file, cancel") << false << int(A::Cancel) << QString() << QString() << false;
    QTest::newRow("card, yes") << true << int(A::Yes) << QStringLiteral("lido")
                               << QStringLiteral("lido.mc") << true;
    // Without a file to keep the edits in, closing would lose them: as Cancelar.
    QTest::newRow("card, save dialog cancelled")
        << true << int(A::Yes) << QString() << QString() << false;
  }
  void asksToSaveOnClosing() {
    QFETCH(bool, from_card);
    QFETCH(int, answer);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, closes);
    f.OpenCard(StandardCard());
    if (from_card) f.window->ShowCard(StandardCard(), {}, QStringLiteral("*MEMORY CARD*"));
    RemoveFirstSave(*f.window);  // a change only the image in memory has
    f.dialogs.Clear();
    switch (static_cast<UserDialogs::Answer>(answer)) {
      case UserDialogs::Answer::Yes:
        f.dialogs.QueueYes();
        if (from_card)
          chosen.isEmpty() ? f.dialogs.QueueCancel() : f.dialogs.QueueFile(f.Path(chosen));
        break;
      case UserDialogs::Answer::No:
        f.dialogs.QueueNo();
        break;
      case UserDialogs::Answer::Cancel:
        f.dialogs.QueueCancel();
        break;
    }
    QCOMPARE(f.window->close(), closes);
    QCOMPARE(f.window->isVisible(), !closes);
    QCOMPARE(f.dialogs.Log().first(),
             QStringLiteral("Confirmação: Deseja salvar o arquivo atual?"));
    QCOMPARE(f.dialogs.Requests().front().kind, DialogRequest::Kind::YesNoCancel);
    QCOMPARE(f.dialogs.Log().size(), from_card && answer == int(UserDialogs::Answer::Yes) ? 2 : 1);
    const CardImage original = StandardCard();
    const bool original_kept = ReadBytes(f.Path(QStringLiteral("cartao.mc")).toStdString()) ==
                               std::vector<uint8_t>(original.begin(), original.end());
    QCOMPARE(original_kept, written != QStringLiteral("cartao.mc"));
    if (!written.isEmpty()) {
      QVERIFY(std::ranges::equal(ReadBytes(f.Path(written).toStdString()),
                                 f.window->Document().Image()));
    }
    if (!closes) QCOMPARE(GetBlockState(f.window->Document().Image(), 1), BlockState::RemovedFirst);
  }

  void closesUnaskedWhenNothingChanged() {
    f.OpenCard(StandardCard());
    RemoveFirstSave(*f.window);
    f.Trigger(QStringLiteral("Desfazer1"));
    f.dialogs.Clear();
    QVERIFY(f.window->close());
    QVERIFY(f.dialogs.Requests().empty());
  }

  void staysOpenWhenTheSaveOnClosingFails() {
    f.OpenCard(StandardCard());
    RemoveFirstSave(*f.window);
    // The file in use became a folder: saving over it fails.
    const std::string source = f.window->Document().Source().toStdString();
    std::filesystem::remove(source);
    std::filesystem::create_directory(source);
    f.dialogs.Clear();
    f.dialogs.QueueYes();
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.dialogs.Messages().size(), 1);
    QVERIFY(f.dialogs.Messages().first().startsWith(QStringLiteral("Vexilor: ")));
    QCOMPARE(GetBlockState(f.window->Document().Image(), 1), BlockState::RemovedFirst);
    f.dialogs.QueueNo();
    QVERIFY(f.window->close());
  }

  // Another program saved the file in use after it was opened: its work is not replaced unasked.
  void asksBeforeReplacingAFileChangedOnDisk_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("no keeps the other save") << false;
    QTest::newRow("yes replaces it") << true;
  }
  void asksBeforeReplacingAFileChangedOnDisk() {
    QFETCH(bool, replace);
    const QString path = f.OpenCard(StandardCard());
    const CardImage other = test_support::BlankCard();
    WriteBytes(path.toStdString(), other);
    f.dialogs.Clear();
    f.dialogs.QueueYes();
    replace ? f.dialogs.QueueYes() : f.dialogs.QueueNo();
    f.Trigger(QStringLiteral("Salvararquivoimagem1"));
    QCOMPARE(f.dialogs.Log(),
             (QStringList{QStringLiteral("Confirmação: Deseja salvar o arquivo atual?"),
                          QStringLiteral("Confirmação: O arquivo %1 foi alterado por outro "
                                         "programa depois de aberto ou salvo aqui. Deseja "
                                         "substituí-lo mesmo assim?")
                              .arg(path)}));
    QVERIFY(f.dialogs.Requests().back().no_is_default);
    const CardImage expected = replace ? StandardCard() : other;
    QVERIFY(ReadBytes(path.toStdString()) ==
            std::vector<uint8_t>(expected.begin(), expected.end()));
    if (!replace) return;
    // Saved here, the file is again what the window knows: no second question.
    f.dialogs.Clear();
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("Salvararquivoimagem1"));
    QCOMPARE(f.dialogs.Log().size(), 1);
  }

  void closesWithoutQuestionWhenNoImage() {
    QVERIFY(f.window->close());
    QVERIFY(f.dialogs.Requests().empty());
  }

  void savesACardImageUnderANewNameEachTime() {
    f.window->ShowCard(StandardCard(), {}, QStringLiteral("*MEMORY CARD*"));
    for (const char* name : {"primeiro", "segundo.bin"}) {
      f.dialogs.QueueYes();
      f.dialogs.QueueFile(f.Path(QString::fromUtf8(name)));
      f.Trigger(QStringLiteral("Salvararquivoimagem1"));
      QCOMPARE(f.dialogs.Requests().back().file.title, QString());
    }
    QVERIFY(RegularFileExists(f.Path(QStringLiteral("primeiro.mc")).toStdString()));
    QVERIFY(RegularFileExists(f.Path(QStringLiteral("segundo.bin")).toStdString()));
    QCOMPARE(f.Text(QStringLiteral("Label8")), QStringLiteral("Fonte: '*MEMORY CARD*'"));
  }

  void reportsAFileThatCannotBeWritten() {
    WriteBytes(f.Path(QStringLiteral("arquivo")).toStdString(), std::vector<uint8_t>{1});
    const QString path = f.Path(QStringLiteral("arquivo/novo.mc"));
    f.dialogs.QueueFile(path);
    f.Trigger(QStringLiteral("Novoarquivodeimagem1"));
    QCOMPARE(f.dialogs.Messages(),
             QStringList{QStringLiteral("Vexilor: Não foi possível ler ou gravar o arquivo\n%1\n\n"
                                        "Motivo: uma parte do caminho não é uma pasta.")
                             .arg(path)});
    QVERIFY(f.window->Document().Source().isEmpty());
    QCOMPARE(f.List()->count(), 0);
    f.OpenCard(StandardCard());  // the program goes on
    QCOMPARE(f.List()->count(), SaveBlockCount);
  }

  void applicationReportsFailuresThatReachTheEventLoop() {
    application_dialogs_.Clear();
    FailingObject failing;
    QEvent event(QEvent::User);
    QVERIFY(QCoreApplication::sendEvent(&failing, &event));
    QCOMPARE(application_dialogs_.Messages(),
             QStringList{QStringLiteral("Vexilor: Não foi possível ler ou gravar o arquivo\n"
                                        "/sem/acesso.mc\n\nMotivo: permissão negada.")});
  }

  void showsHints_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < static_cast<int>(std::size(kCommands)); ++row) {
      QTest::newRow(kCommands[row].action) << row;
    }
  }
  void showsHints() {
    QFETCH(int, row);
    f.OpenCard(StandardCard());  // every command enabled
    const CommandRow& command = kCommands[row];
    QAction* action = f.Action(command.action);
    auto* panel = f.Find<QLabel>(QStringLiteral("StatusBar1Panel"));
    QCOMPARE(action->text(), QString::fromUtf8(command.caption));
    QCOMPARE(action->toolTip(), QString::fromUtf8(command.caption).trimmed());
    if (*command.button) {
      QWidget* button = f.Find(command.button);
      QCOMPARE(button->toolTip(), action->toolTip());
      QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
      QCoreApplication::sendEvent(button, &enter);
      QCOMPARE(panel->text(), QString::fromUtf8(command.long_hint));
      QEvent leave(QEvent::Leave);
      QCoreApplication::sendEvent(button, &leave);
      QCOMPARE(panel->text(), QString());
    }
    // Opened from the menu bar, as the user does.
    auto* menu = qobject_cast<QMenu*>(action->associatedObjects().first());
    f.window->menuBar()->setActiveAction(menu->menuAction());
    menu->setActiveAction(action);
    QCOMPARE(panel->text(), QString::fromUtf8(command.long_hint));
    menu->hide();
  }

  void animatesIconsAtTheSharedPhase_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QList<int>>("frames");  // the frame shown at phases 1, 2, 3
    QTest::newRow("three frames") << 0 << QList<int>{1, 2, 3};
    QTest::newRow("one frame") << 1 << QList<int>{1, 1, 1};
    QTest::newRow("two frames") << 3 << QList<int>{1, 2, 2};
  }
  void animatesIconsAtTheSharedPhase() {
    QFETCH(int, line);
    QFETCH(QList<int>, frames);
    f.OpenCard(StandardCard());
    f.Find<QTimer>(QStringLiteral("Timer1"))->stop();
    QCOMPARE(f.window->ImageList2().size(), std::size_t{45});
    f.window->Timer1Timer();
    f.window->Timer1Timer();
    QCOMPARE(f.window->IconPhase, 3);
    f.ClickLine(line);  // another line does not restart the animation
    QCOMPARE(f.window->IconPhase, 3);
    auto* image1 = f.Find<StretchedPicture>(QStringLiteral("Image1"));
    for (int phase : {3, 1, 2}) {
      IconFileImage icon_file{};
      BuildIconFile(f.window->Document().Image(), line + 1, frames[phase - 1], icon_file);
      QImage expected;
      QVERIFY(expected.loadFromData(icon_file.data(), static_cast<int>(icon_file.size()), "ICO"));
      QCOMPARE(f.window->IconPhase, phase);
      QCOMPARE(image1->Picture(), Shown(expected));
      f.window->Timer1Timer();
    }
  }

  void decodesIconsThroughTheIconReader() {
    f.OpenCard(StandardCard());
    const CardImage& image = f.window->Document().Image();
    // Top-left pixel of frame 1 of block 1: low half of the first pixel byte, through the palette.
    const uint8_t index = BlockOf(image, 1)[TitleFrame::IconFramesOffset] & 0x0F;
    const std::size_t colour_at = TitleFrame::ColourTableOffset + 2u * index;
    const IconRgb rgb = IconColour(static_cast<uint16_t>(BlockOf(image, 1)[colour_at] |
                                                         BlockOf(image, 1)[colour_at + 1] << 8));
    QCOMPARE(f.window->ImageList2().front().pixelColor(0, 0), QColor(rgb.red, rgb.green, rgb.blue));
    QTRY_VERIFY_WITH_TIMEOUT(f.window->IconPhase != 1, 1000);  // the real timer ticks
  }

  void exportsFrameOneOfTheIcon_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << QStringLiteral("icone") << QStringLiteral("icone.ico");
    QTest::newRow("other extension") << QStringLiteral("icone.bmp") << QStringLiteral("icone.bmp");
    QTest::newRow("folder with a full stop")
        << QStringLiteral("v1.0/icone") << QStringLiteral("v1.0/icone.ico");
  }
  void exportsFrameOneOfTheIcon() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    std::filesystem::create_directory(f.folder->path() / "v1.0");
    WriteBytes(f.Path(written).toStdString(), std::vector<uint8_t>(1000, 0xEE));
    f.OpenCard(StandardCard());
    f.window->Timer1Timer();  // the animation shows frame 2; the export still writes frame 1
    f.dialogs.Clear();
    f.dialogs.QueueFile(f.Path(chosen));
    QTest::mouseDClick(f.Find(QStringLiteral("Image1")), Qt::LeftButton);
    const FileDialogRequest& request = f.dialogs.Requests().at(0).file;
    QCOMPARE(request.name, QStringLiteral("SaveDialog3"));
    QCOMPARE(request.file_name, QStringLiteral("ABC_EU.ico"));
    QVERIFY(!request.confirm_overwrite);
    IconFileImage expected{};
    BuildIconFile(f.window->Document().Image(), 1, 1, expected);
    const std::vector<uint8_t> bytes = ReadBytes(f.Path(written).toStdString());
    QVERIFY(std::equal(bytes.begin(), bytes.end(), expected.begin(), expected.end()));
    const std::vector<uint8_t> head = {0, 0, 1, 0,    1, 0, 16, 16,   16, 0, 0,
                                       0, 4, 0, 0x28, 1, 0, 0,  0x16, 0,  0, 0};
    QVERIFY(std::equal(head.begin(), head.end(), bytes.begin()));
  }

  void refusesExportsOffAFirstBlock_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("line");
    for (const char* command : {"Salvarnico1", "Salvarcone1"}) {
      QTest::addRow("%s, removed", command) << QString::fromUtf8(command) << 2;
      QTest::addRow("%s, continuation", command) << QString::fromUtf8(command) << 4;
      QTest::addRow("%s, free", command) << QString::fromUtf8(command) << 8;
    }
  }
  void refusesExportsOffAFirstBlock() {
    QFETCH(QString, command);
    QFETCH(int, line);
    f.OpenCard(StandardCard());
    f.dialogs.Clear();
    f.ClickLine(line);
    command == QStringLiteral("Salvarnico1") ? f.Trigger(command) : f.window->Salvarcone1Click();
    QCOMPARE(f.dialogs.Log(), QStringList{QStringLiteral(
                                  "Atenção: Selecione um bloco que seja o primeiro de uma série e "
                                  "esteja ocupado!")});
  }

  void exportsASingleSaveUnderItsProposedName() {
    f.OpenCard(StandardCard());
    f.ClickLine(1);
    f.dialogs.QueueFile(f.Path(QStringLiteral("salvo")));
    f.Trigger(QStringLiteral("Salvarnico1"));
    QCOMPARE(f.dialogs.Requests().back().file.file_name, QStringLiteral("AB SAVE1_US.mcs"));
    QCOMPARE(CheckSingleSaveFile(f.Path(QStringLiteral("salvo.mcs")).toStdString()), 1);
  }

  void maintenanceAnsweredNoChangesNothing_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::newRow("remove") << "DeletarSave1"
                            << "Confirma remoção do Save selecionado?";
    QTest::newRow("restore") << "RestaurarSave1"
                             << "Confirma restauração do Save selecionado?";
    QTest::newRow("purge") << "LimparSavesremovidos1"
                           << "Confirma limpeza de todos os Saves removidos?";
    QTest::newRow("US") << "AlterarlocalidadeUSAmericano1"
                        << "Confirma alteração de localidade para US - Americano?";
    QTest::newRow("EU") << "AlterarlocalidadeEUEuropeu1"
                        << "Confirma alteração de localidade para EU - Europeu?";
    QTest::newRow("JP") << "AlterarlocalidadeJPJapons1"
                        << "Confirma alteração de localidade para JP - Japonês?";
  }
  void maintenanceAnsweredNoChangesNothing() {
    QFETCH(QString, command);
    QFETCH(QString, question);
    f.OpenCard(StandardCard());
    f.ClickLine(2);
    const QStringList lines = f.Lines();
    f.dialogs.Clear();
    f.dialogs.QueueNo();
    f.Trigger(command);
    QCOMPARE(f.dialogs.Log(), QStringList{QStringLiteral("Confirmação: ") + question});
    QVERIFY(!f.dialogs.Requests().front().no_is_default);
    QVERIFY(f.window->Document().Image() == StandardCard());
    QCOMPARE(f.Lines(), lines);
  }

  void maintenanceKeepsTheSelectedLine_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");  // empty: the operation goes through
    QTest::addColumn<QString>("line_after");
    QTest::newRow("remove free") << "DeletarSave1" << 8
                                 << "Atenção: Este bloco já encontra-se livre!"
                                 << "Livre";
    QTest::newRow("restore in use")
        << "RestaurarSave1" << 0 << "Atenção: Este bloco não foi removido!"
        << "ABC";
    QTest::newRow("region of a continuation")
        << "AlterarlocalidadeJPJapons1" << 4
        << "Erro: Não é possível alterar a localidade para este tipo de bloco!"
        << "Continuação do Bloco";
    QTest::newRow("remove") << "DeletarSave1" << 0 << ""
                            << "ABC *";
    QTest::newRow("restore") << "RestaurarSave1" << 2 << ""
                             << "APAGADO";
    QTest::newRow("purge") << "LimparSavesremovidos1" << 2 << ""
                           << "Livre";
  }
  void maintenanceKeepsTheSelectedLine() {
    QFETCH(QString, command);
    QFETCH(int, line);
    QFETCH(QString, message);
    QFETCH(QString, line_after);
    f.OpenCard(StandardCard());
    f.ClickLine(line);
    f.dialogs.Clear();
    f.dialogs.QueueYes();
    f.Trigger(command);
    QCOMPARE(f.dialogs.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) QVERIFY(f.window->Document().Image() == StandardCard());
    QCOMPARE(f.List()->currentRow(), line);
    QCOMPARE(f.List()->currentItem()->text(), line_after);
  }

  void importsASingleSaveIntoFreeBlocks_data() {
    QTest::addColumn<int>("free");
    QTest::addColumn<QString>("message");
    QTest::newRow("too few") << 1
                             << "Erro: São necessário(s) 2 bloco(s) livre(s). Encontrado(s) apenas "
                                "1 Bloco(s) livre(s)!";
    QTest::newRow("enough") << 2 << "";
  }
  void importsASingleSaveIntoFreeBlocks() {
    QFETCH(int, free);
    QFETCH(QString, message);
    CardImage source = BlankCard();
    PlaceSave(source, {.blocks = {9, 3}, .title = SingleByteTitle("IMPORTADO")});
    const QString save_file = f.Path(QStringLiteral("dois.mcs"));
    ExportSingleSave(source, 9, save_file.toStdString());
    CardImage target = StandardCard();
    PurgeRemovedSaves(target);
    for (int block = 7; block <= LastSaveBlock - (free - 1); ++block) {
      PlaceSave(target, {.blocks = {block}, .title = SingleByteTitle("CHEIO")});
    }
    f.OpenCard(target);
    f.ClickLine(1);
    f.dialogs.Clear();
    f.dialogs.QueueFile(save_file);
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    QCOMPARE(f.dialogs.Requests().front().file.name, QStringLiteral("OpenDialog2"));
    QCOMPARE(f.dialogs.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.List()->item(2)->text(),
             message.isEmpty() ? QStringLiteral("IMPORTADO") : QStringLiteral("Livre"));
    QCOMPARE(f.List()->currentRow(), 1);
    if (message.isEmpty()) {  // the imported save's icon, not the free block's
      IconFileImage icon_file{};
      BuildIconFile(source, 9, 1, icon_file);
      QImage expected;
      expected.loadFromData(icon_file.data(), static_cast<int>(icon_file.size()), "ICO");
      QCOMPARE(f.window->ImageList2().at(2 * 3), expected);
    }
  }

  void xorErrorIsRed() {
    CardImage card = StandardCard();
    card[DirectoryFrameOffset(1) + DirectoryFrame::XorOffset] ^= 0xFF;
    f.OpenCard(card);
    QCOMPARE(f.Text(QStringLiteral("Edit7")), QStringLiteral("Erro"));
    QCOMPARE(f.Find<QLineEdit>(QStringLiteral("Edit7"))->palette().color(QPalette::Text),
             QColor(255, 0, 0));
  }

  // Only the exact "*MEMORY CARD*" asks for a name; a file of a similar name is written in place.
  void savesAFileNamedLikeTheCardSourceInPlace() {
    const QString previous = QDir::currentPath();
    const auto restore = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    QDir::setCurrent(f.folder->path().c_str());
    f.window->ShowCard(StandardCard(), {}, QStringLiteral("*memory card*"));
    f.dialogs.Clear();
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("Salvararquivoimagem1"));
    QCOMPARE(f.dialogs.Requests().size(), std::size_t{1});
    QVERIFY(RegularFileExists(f.Path(QStringLiteral("*memory card*")).toStdString()));
  }

  void ctrlClickKeepsTheLineSelected() {
    f.OpenCard(StandardCard());
    QListWidget* list = f.List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(0)).center());
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(0)});
    QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(0)});
  }

  // Qt's own dialogs and menus, translated by its Brazilian-Portuguese catalogue.
  void qtTextsArePortuguese() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
             QStringLiteral("Procurar em:"));
    const std::unique_ptr<QMenu> menu(
        f.Find<QLineEdit>(QStringLiteral("Edit1"))->createStandardContextMenu());
    QCOMPARE(menu->actions().at(0)->text().section(u'\t', 0, 0), QStringLiteral("&Copiar"));
  }

  // Every dialog starts in the folder last used in any of them during the run.
  void fileDialogsStartInTheLastFolder() {
    std::filesystem::create_directory(f.folder->path() / "outra");
    f.OpenCard(StandardCard(), QStringLiteral("outra/cartao.mc"));
    QCOMPARE(f.dialogs.Requests().at(0).file.initial_folder, QStringLiteral("."));
    f.dialogs.QueueCancel();
    f.Trigger(QStringLiteral("Salvarnico1"));
    const FileDialogRequest& request = f.dialogs.Requests().back().file;
    QCOMPARE(request.initial_folder, f.Path(QStringLiteral("outra")));
    QCOMPARE(request.file_name, QStringLiteral("ABC_EU.mcs"));
  }

  // Unavailable commands lose their colours: grey shape, white shadow, nothing else.
  void disabledGlyphsAreEmbossed() {
    const QImage glyph = f.Action(QStringLiteral("Salvararquivoimagem1"))
                             ->icon()
                             .pixmap(16, QIcon::Disabled)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < glyph.height(); ++y) {
      for (int x = 0; x < glyph.width(); ++x) {
        if (qAlpha(glyph.pixel(x, y)) != 0) colours << glyph.pixel(x, y);
      }
    }
    QCOMPARE(colours, (QSet<QRgb>{qRgb(128, 128, 128), qRgb(255, 255, 255)}));
  }

  // The caption crosses the frame's top line, so the first control under it stays clear.
  void groupCaptionsSitOnTheFrameLine() {
    for (const char* name : {"GroupBox1", "GroupBox2", "GroupBox3"}) {
      auto* box = f.Find<QGroupBox>(QString::fromUtf8(name));
      QStyleOptionGroupBox option;
      option.initFrom(box);
      option.text = box->title();
      option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
      const QRect frame =
          box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box);
      const QRect label =
          box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
      QVERIFY2(frame.top() > label.top() && frame.top() < label.bottom(), name);
    }
  }

  void lineTooltipIsTheShiftJisTitle() {
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {1}, .title = {0x83, 0x65, 0x83, 0x58, 0x83, 0x67}});
    f.OpenCard(card);
    QCOMPARE(f.List()->item(0)->toolTip(), QStringLiteral("テスト"));
    QCOMPARE(f.List()->item(1)->toolTip(), QString());
  }

  void droppedFilesOpenOrImport_data() {
    QTest::addColumn<bool>("image_shown");
    QTest::addColumn<QByteArray>("dropped");  // the file name's bytes
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("line");
    QTest::newRow("card image") << false << QByteArray("solto.mc") << 2 << "Livre";
    QTest::newRow("card image named in bytes that are not UTF-8")
        << false << QByteArray("solto\xff.mc") << 2 << "Livre";
    // Block 7, the first never used: the removed save in block 3 stays.
    QTest::newRow("single save into the image") << true << QByteArray("um.mcs") << 6 << "IMPORTADO";
  }
  void droppedFilesOpenOrImport() {
    QFETCH(bool, image_shown);
    QFETCH(QByteArray, dropped);
    QFETCH(int, row);
    QFETCH(QString, line);
    CardImage save_source = BlankCard();
    PlaceSave(save_source, {.blocks = {5}, .title = SingleByteTitle("IMPORTADO")});
    ExportSingleSave(save_source, 5, f.Path(QStringLiteral("um.mcs")).toStdString());
    const std::string folder = f.Path(QString()).toStdString();
    WriteBytes(folder + "solto.mc", BlankCard());
    WriteBytes(folder + "solto\xff.mc", BlankCard());
    if (image_shown) f.OpenCard(StandardCard());
    f.dialogs.Clear();

    f.DropFile(QByteArray::fromStdString(folder) + dropped);

    QCOMPARE(f.dialogs.Messages(), QStringList());
    QCOMPARE(f.List()->item(row)->text(), line);
  }

 private:
  ScriptedDialogs& application_dialogs_;
  MainWindowFixture f;
};

int main(int argc, char** argv) {
  ScriptedDialogs application_dialogs;
  VexilorApplication application(argc, argv, application_dialogs);
  MainWindowTest test(application_dialogs);
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
