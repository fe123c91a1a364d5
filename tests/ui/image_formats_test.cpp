#include <QListWidget>
#include <QTest>

#include "card/formats/sha1.h"
#include "card/maintenance.h"
#include "main_window_fixture.h"
#include "support/hex_bytes.h"

using namespace test_support;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FileBytes(const QString& path) {
  return ReadBytes(path.toStdString());
}

std::string Prefix(const Bytes& bytes, std::size_t size) {
  return ToHex(std::span(bytes).first(std::min(size, bytes.size())));
}

// A DexDrive file: magic, flags, the directory bytes copied, a comment for block 1, the card.
Bytes GmeFile(const CardImage& card, const std::string& comment) {
  Bytes file(0xF40 + card.size(), 0);
  const std::string magic = "123-456-STD";
  std::copy(magic.begin(), magic.end(), file.begin());
  file[0x12] = file[0x14] = 1;
  for (std::size_t frame = 0; frame < 16; ++frame) {
    file[0x15 + frame] = card[frame * 128];
    file[0x25 + frame] = card[frame * 128 + 8];
  }
  std::copy(comment.begin(), comment.end(), file.begin() + 0x40);
  std::copy(card.begin(), card.end(), file.begin() + 0xF40);
  return file;
}

}  // namespace

class ImageFormatsTest : public QObject {
  Q_OBJECT

  MainWindowFixture f;

  // The filters of a file dialog, as description and pattern pairs, read from a cancelled run.
  QStringList Filters(const QString& command) {
    f.dialogs.QueueCancel();
    f.Trigger(command);
    return f.dialogs.Requests().back().file.filter.split(u'|');
  }
  int SaveFilterIndex(const QString& pattern) {
    const QStringList parts = Filters(QStringLiteral("Novoarquivodeimagem1"));
    return static_cast<int>(parts.indexOf(pattern)) / 2;
  }

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  void openDialogOffersEveryFormatAfterTheCommonFilter() {
    const QStringList parts = Filters(QStringLiteral("Abrr1"));
    QCOMPARE(parts.size() % 2, 0);
    QCOMPARE(parts.at(0), QStringLiteral("Cartões de memória"));
    const QStringList all = parts.at(1).split(u';');
    for (const char* pattern :
         {"*.mc", "*.mcr", "*.mcd", "*.srm", "*.gme", "*.mem", "*.vgs", "*.vmp", "*.psx"}) {
      QVERIFY2(all.contains(QString::fromUtf8(pattern)), pattern);
    }
    QCOMPARE(parts.mid(2, 2), (QStringList{"Arquivo Memory Card (.MC)", "*.mc"}));
    QCOMPARE(parts.mid(parts.size() - 2), (QStringList{"Todos os arquivos (*)", "*"}));
    for (const char* pattern : {"*.gme", "*.vmp", "*.psx"}) {
      QVERIFY2(parts.mid(4).contains(QString::fromUtf8(pattern)), pattern);
    }
    const QStringList save = Filters(QStringLiteral("Novoarquivodeimagem1"));
    QCOMPARE(save.mid(0, 2), (QStringList{"Arquivo Memory Card (.MC)", "*.mc"}));
    QCOMPARE(f.dialogs.Requests().back().file.filter_index, 0);
  }

  void newImageIsWrittenInTheFormatOfTheChosenFilter_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("start");  // the file's first bytes
    QTest::newRow("mc") << "*.mc"
                        << "novo.mc" << 131072 << "4d43000000";
    QTest::newRow("gme") << "*.gme"
                         << "novo.gme" << 134976 << "3132332d3435362d53544400";
    QTest::newRow("mem") << "*.mem"
                         << "novo.mem" << 131136 << "5667734d01000000";
    QTest::newRow("vmp") << "*.vmp"
                         << "novo.vmp" << 131200 << "00504d5680000000";
    QTest::newRow("psx") << "*.psx"
                         << "novo.psx" << 131328 << "505356";
  }
  void newImageIsWrittenInTheFormatOfTheChosenFilter() {
    QFETCH(QString, pattern);
    QFETCH(QString, file);
    QFETCH(int, size);
    QFETCH(QString, start);
    f.dialogs.QueueFile(f.Path(QStringLiteral("novo")), SaveFilterIndex(pattern));
    f.Trigger(QStringLiteral("Novoarquivodeimagem1"));
    const Bytes written = FileBytes(f.Path(file));
    QCOMPARE(written.size(), static_cast<std::size_t>(size));
    QCOMPARE(QString::fromStdString(Prefix(written, start.size() / 2)), start);
    QCOMPARE(f.Text(QStringLiteral("Label8")), QStringLiteral("Fonte: '%1'").arg(file));
    QCOMPARE(f.Lines(), QStringList(15, QStringLiteral("Livre")));
    QVERIFY(f.dialogs.Messages().isEmpty());
  }

  void aCardReadIsSavedInTheChosenFormat() {
    f.window->ShowCard(StandardCard(), {}, QStringLiteral("*MEMORY CARD*"));
    const int vmp = SaveFilterIndex(QStringLiteral("*.vmp"));
    f.dialogs.QueueYes();
    f.dialogs.QueueFile(f.Path(QStringLiteral("lido")), vmp);
    f.Trigger(QStringLiteral("Salvararquivoimagem1"));
    const Bytes written = FileBytes(f.Path(QStringLiteral("lido.vmp")));
    QCOMPARE(written.size(), std::size_t{131200});
    QCOMPARE(QString::fromStdString(Prefix(written, 8)), QStringLiteral("00504d5680000000"));
  }

  void aDexDriveCommentIsTheLineTooltipAndSavingKeepsTheFile() {
    const QString path = f.Path(QStringLiteral("cartao.gme"));
    WriteBytes(path.toStdString(), GmeFile(StandardCard(), "Fase 3, antes do chefe"));
    f.dialogs.QueueFile(path);
    f.Trigger(QStringLiteral("Abrr1"));
    // The title, then the comment of the block on the next line.
    QCOMPARE(f.List()->item(0)->toolTip(), QStringLiteral("ABC\nFase 3, antes do chefe"));
    QCOMPARE(f.List()->item(1)->toolTip(), QStringLiteral("AB: SAVE/1"));

    f.ClickLine(0);
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("DeletarSave1"));
    f.dialogs.QueueYes();
    f.Trigger(QStringLiteral("Salvararquivoimagem1"));
    CardImage removed = StandardCard();
    removed[128] = 0xA1;  // block 1's state, removed
    removed[128 + 127] ^= 0x51 ^ 0xA1;
    QCOMPARE(FileBytes(path), GmeFile(removed, "Fase 3, antes do chefe"));
    QVERIFY(f.dialogs.Messages().isEmpty());
  }
};

QTEST_MAIN(ImageFormatsTest)
#include "image_formats_test.moc"
