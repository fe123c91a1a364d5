// The main window's icon pictures and PocketStation commands: "Salvar Ícone..." in each format,
// "Trocar Ícone..." with its preview, a PocketStation program's own icon, and the PocketStation
// submenu against an emulated MemCARDuino.
#include <QImageReader>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "card/save_icon.h"
#include "main_window_fixture.h"
#include "modal_helper.h"
#include "readers/emulated/emulated_reader.h"
#include "stretched_picture.h"

using namespace test_support;

class PicturesWindowTest : public QObject {
  Q_OBJECT

  MainWindowFixture f;

  // The window reaches the emulated reader as the only serial port there is.
  void StartWith(EmulatedReader& reader) {
    f.window.reset();
    f.window = std::make_unique<TForm1>(
        f.dialogs,
        ReaderAccess{[&reader] {
                       return std::vector<ReaderEntry>{
                           ParallelReader("LPT1"),
                           {"MemCARDuino (pts)", ReaderKind::Memcarduino, reader.device()}};
                     },
                     MakeReaderConnection});
    f.window->show();
  }

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  // Filter 0 is .ico as it always was; a name ending in .gif is a GIF whatever the filter.
  void savesTheIconInEachFormat_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("ico") << "icone" << 0 << "icone.ico" << QByteArray("ico");
    QTest::newRow("png filter") << "icone" << 1 << "icone.png" << QByteArray("png");
    QTest::newRow("gif by name") << "icone.gif" << 0 << "icone.gif" << QByteArray("gif");
  }
  void savesTheIconInEachFormat() {
    QFETCH(QString, chosen);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(QByteArray, format);
    f.OpenCard(StandardCard());
    f.dialogs.Clear();
    f.dialogs.QueueFile(f.Path(chosen), filter);
    f.Trigger(QStringLiteral("Salvarcone1"));
    const FileDialogRequest& request = f.dialogs.Requests().at(0).file;
    QCOMPARE(request.filter,
             QStringLiteral("Arquivos de Ícone (.ICO)|*.ico|Imagem PNG (.PNG)|*.png|Imagem GIF "
                            "animada (.GIF)|*.gif"));
    QCOMPARE(request.filter_file_names, (QStringList{"ABC_EU.ico", "ABC_EU.png", "ABC_EU.gif"}));
    QImageReader reader(f.Path(written));
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    // Block 1's icon has three frames; only the GIF carries them all.
    QCOMPARE(reader.imageCount(), format == "gif" ? 3 : 1);
  }

  void replacesTheIconAfterAPreview() {
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(qRgb(248, 0, 0));
    picture.save(f.Path(QStringLiteral("vermelho.png")));
    const CardImage card = StandardCard();
    f.OpenCard(card);
    f.dialogs.Clear();
    f.dialogs.QueueFile(f.Path(QStringLiteral("vermelho.png")));
    bool previewed = false;
    WhenModalOpens([&previewed](QWidget* preview) {
      previewed = preview->objectName() == "FrmTrocaIcone";
      QTest::mouseClick(preview->findChild<QPushButton*>(QStringLiteral("Button1")),
                        Qt::LeftButton);
    });
    f.Trigger(QStringLiteral("TrocarIcone1"));
    QVERIFY(previewed);
    const SaveIcon icon = ReadSaveIcon(f.window->Document().Image(), 1);
    QCOMPARE(BlockOf(f.window->Document().Image(), 1)[2], uint8_t(0x11));  // one frame now
    QCOMPARE(icon.palette[icon.frames[0][0]], uint16_t(0x001F));
    // Nothing but the flag, the palette and the first icon frame changed.
    for (std::size_t i = 0; i < CardSize; ++i) {
      if (i == 8192 + 2 || (i >= 8192 + 0x60 && i < 8192 + 0x100)) continue;
      QVERIFY2(f.window->Document().Image()[i] == card[i], qPrintable(QString::number(i)));
    }
    QCOMPARE(f.dialogs.Log(), QStringList{"OpenDialogIcone"});
    // One undo step brings the old icon back.
    QCOMPARE(f.Action(QStringLiteral("Desfazer1"))->text(),
             QStringLiteral("Desfazer troca do ícone de 'ESLUS-01234SAVEGAME'"));
    f.Trigger(QStringLiteral("Desfazer1"));
    QVERIFY(f.window->Document().Image() == card);
  }

  void refusesABadPictureBeforeAnyPreview() {
    WriteBytes(f.Path(QStringLiteral("falsa.png")).toStdString(), std::vector<uint8_t>(40, 'x'));
    const CardImage card = StandardCard();
    f.OpenCard(card);
    f.dialogs.Clear();
    f.dialogs.QueueFile(f.Path(QStringLiteral("falsa.png")));
    f.Trigger(QStringLiteral("TrocarIcone1"));
    QCOMPARE(f.dialogs.Messages().size(), 1);
    QVERIFY(f.dialogs.Messages().at(0).startsWith("Erro: Não foi possível ler a imagem "));
    QVERIFY(f.window->Document().Image() == card);
  }

  // A PocketStation program (name "BESLESP...", "MCX0") whose viewer icon has two frames: the
  // first all black, the second with only its top-left pixel black.
  void showsAPocketStationIconAnimated() {
    CardImage card = StandardCard();
    PlaceSave(card,
              {.blocks = {8}, .title = SingleByteTitle("RELOGIO"), .product_code = "SLESP12345"});
    auto title = BlockOf(card, 8);
    std::fill_n(title.begin() + 0x50, 16, 0);
    std::copy_n("MCX0", 4, title.begin() + 0x52);
    title[0x50] = 2;
    // Title 0x80 and one colour icon frame 0x80: the viewer icon starts at 0x100.
    std::fill_n(title.begin() + 0x100, 128, 0xFF);
    std::fill_n(title.begin() + 0x180, 128, 0x00);
    title[0x180] = 0x01;
    f.OpenCard(card);
    auto* mono = f.Find<StretchedPicture>(QStringLiteral("ImagePocketStation"));
    QVERIFY(!mono->isVisible());
    f.ClickLine(7);
    QVERIFY(mono->isVisible());
    QCOMPARE(mono->Picture().size(), QSize(32, 32));
    QCOMPARE(mono->Picture().pixel(31, 31), qRgb(0, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(mono->Picture().pixel(31, 31), qRgb(255, 255, 255), 1000);
    QCOMPARE(mono->Picture().pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(f.Find<QTimer>(QStringLiteral("TimerPocketStation"))->interval(), 200);
    f.ClickLine(0);
    QVERIFY(!mono->isVisible());
  }

  void pocketStationSubmenuReachesTheDevice() {
    auto card = std::make_unique<EmulatedCard>();
    EmulatedReader reader(ReaderFirmware::Memcarduino, *card);
    EmulatedPocketStation device;
    device.serial = 0x00C0FFEE;
    // Sunday 1 March 2026, 07:08:09.
    device.clock = {0x01, 0x03, 0x26, 0x20, 0x09, 0x08, 0x07, 0x01};
    device.bios.assign(16384, 0x5A);
    reader.pocketstation() = device;
    reader.faults().pulled_at_bios_part = 100;
    reader.Start();
    StartWith(reader);
    auto* submenu = f.Find<QMenu>(QStringLiteral("PocketStation1"));
    emit f.Find<QMenu>(QStringLiteral("MemoryCard1"))->aboutToShow();
    QVERIFY(submenu->isEnabled());

    f.Trigger(QStringLiteral("PocketStationInfo1"));
    QCOMPARE(f.dialogs.Log(),
             QStringList{"Informações da PocketStation: Número de série: 00C0FFEE\nData e hora: "
                         "01/03/2026 07:08:09 (domingo)"});
    f.dialogs.Clear();
    f.dialogs.QueueFile(f.Path(QStringLiteral("bios")));
    f.Trigger(QStringLiteral("PocketStationBios1"));
    QCOMPARE(f.dialogs.Log(),
             (QStringList{"SaveDialogBios",
                          "Erro: O leitor MemCARDuino foi desconectado ou parou de responder. "
                          "Nada foi gravado."}));
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("bios.bin"))));
  }

  // Of several serial readers the Arduino one is offered first; another chosen is told it has
  // no PocketStation commands.
  void pocketStationReaderChoice() {
    f.window.reset();
    f.window = std::make_unique<TForm1>(
        f.dialogs,
        ReaderAccess{[] {
                       return std::vector<ReaderEntry>{
                           {"DexDrive (ttyS0)", ReaderKind::DexDrive, "/dev/ttyS0"},
                           ParallelReader("LPT1"),
                           {"MemCARDuino (ttyUSB0)", ReaderKind::Memcarduino, "/dev/ttyUSB0"}};
                     },
                     MakeReaderConnection});
    f.dialogs.QueueItem(1);
    f.Trigger(QStringLiteral("PocketStationInfo1"));
    QCOMPARE(f.dialogs.Requests().front().items,
             (QStringList{"MemCARDuino (ttyUSB0)", "DexDrive (ttyS0)"}));
    QCOMPARE(f.dialogs.Log(),
             (QStringList{"PocketStation: Leitor:",
                          "Erro: Só o leitor MemCARDuino (firmware 0.8 ou mais recente) tem os "
                          "comandos da PocketStation."}));
  }

  void pocketStationSubmenuWantsASerialPort() {
    f.window.reset();
    f.window = std::make_unique<TForm1>(
        f.dialogs, ReaderAccess{[] { return ParallelReaders(); }, MakeReaderConnection});
    emit f.Find<QMenu>(QStringLiteral("MemoryCard1"))->aboutToShow();
    QVERIFY(!f.Find<QMenu>(QStringLiteral("PocketStation1"))->isEnabled());
  }
};

QTEST_MAIN(PicturesWindowTest)
#include "pictures_window_test.moc"
