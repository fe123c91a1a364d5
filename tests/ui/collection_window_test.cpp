// "Separar por jogo..." and the name asked for a raw save, in the main window with scripted
// dialogs, offscreen.

#include <QtTest>
#include <filesystem>

#include "main_window_fixture.h"

using namespace test_support;

namespace {

// Block 1: a save of SLUS-00001; blocks 2-3: a save of SCES-00002; block 4: a removed save.
CardImage TwoGamesCard() {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1}, .product_code = "SLUS-00001"});
  PlaceSave(card, {.blocks = {2, 3}, .product_code = "SCES-00002", .seed = 2});
  PlaceSave(card, {.blocks = {4}, .product_code = "SLPS-00003", .removed = true});
  return card;
}

}  // namespace

class CollectionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { f.Start(); }
  void cleanup() { f.Finish(); }

  void splitsTheOpenCardShowingThePlanFirst_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("Sim") << true;
    QTest::newRow("Não") << false;
  }
  void splitsTheOpenCardShowingThePlanFirst() {
    QFETCH(bool, confirmed);
    f.OpenCard(TwoGamesCard());
    f.dialogs.Clear();
    const QString destination = f.Path(QStringLiteral("cartoes"));
    std::filesystem::create_directory(destination.toStdString());
    f.dialogs.QueueFile(destination);
    f.dialogs.QueueItem(1);  // memcardpro, the second layout offered
    confirmed ? f.dialogs.QueueYes() : f.dialogs.QueueNo();
    f.Trigger(QStringLiteral("SepararPorJogo1"));

    const QString first = destination + QStringLiteral("/SLUS-00001/SLUS-00001-1.mcd");
    const QString second = destination + QStringLiteral("/SCES-00002/SCES-00002-1.mcd");
    const QString lines = QStringLiteral("cartao.mc 1 → ") + first +
                          QStringLiteral("\ncartao.mc 2 → ") + second + u'\n';
    const auto& requests = f.dialogs.Requests();
    QCOMPARE(requests.at(0).file.kind, FileDialogRequest::Kind::Folder);
    QCOMPARE(requests.at(1).items.at(0),
             QStringLiteral("pasta: PASTA/<código>.mc, PASTA/<código>-<N>.mc"));
    QCOMPARE(requests.at(2).caption, QStringLiteral("Confirmação"));
    QCOMPARE(requests.at(2).text,
             lines + QStringLiteral("A gravar: 2 em 2 cartões; idênticos: 0; não gravados: 0\n"
                                    "Simulação: nada foi gravado.\n\nGravar os cartões?"));
    QCOMPARE(QFile::exists(first), confirmed);
    QCOMPARE(QFile::exists(second), confirmed);
    if (!confirmed) {
      QCOMPARE(static_cast<int>(requests.size()), 3);
      return;
    }
    QCOMPARE(
        f.dialogs.Messages(),
        QStringList{QStringLiteral("Separar por jogo: ") + lines +
                    QStringLiteral("Gravados: 2 em 2 cartões; idênticos: 0; não gravados: 0")});
    // The per-game card holds the save's bytes: the title frame's "SC" at block 1.
    QFile card(second);
    QVERIFY(card.open(QIODevice::ReadOnly));
    QCOMPARE(card.readAll().mid(8192, 2), QByteArray("SC"));
  }

  void asksTheNameOfARawSaveWhoseFileNameHasNone() {
    f.OpenCard(BlankCard());
    f.dialogs.Clear();
    CardImage source = BlankCard();
    PlaceSave(source, {.blocks = {1}, .seed = 5});
    const auto block = BlockOf(source, 1);
    const std::vector<uint8_t> raw(block.begin(), block.end());
    const QString unnamed = f.Path(QStringLiteral("meu save.srm"));
    const QString named = f.Path(QStringLiteral("Jogo-BESLES-01234PARTE2-1.srm"));
    WriteBytes(unnamed.toStdString(), raw);
    WriteBytes(named.toStdString(), raw);

    f.dialogs.QueueFile(unnamed);
    f.dialogs.QueueText(QStringLiteral("BASLUS-00958GS2-1"));
    f.Trigger(QStringLiteral("Abrirnicosave1"));
    f.dialogs.QueueFile(named);  // the name is in the file name: nothing is asked
    f.Trigger(QStringLiteral("Abrirnicosave1"));

    QCOMPARE(f.dialogs.Requests().at(1).kind, DialogRequest::Kind::Text);
    QCOMPARE(f.dialogs.Requests().at(1).text,
             QStringLiteral("O nome do arquivo meu save.srm não traz o nome do 'save'.\nNome do "
                            "'save' (até 20 caracteres, como BASLUS-00958GAME):"));
    QCOMPARE(static_cast<int>(f.dialogs.Requests().size()), 3);
    const CardImage& image = f.window->Document().Image();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&image[128 + 10]), 20),
             QByteArray("BASLUS-00958GS2-1\0\0\0", 20));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&image[2 * 128 + 10]), 20),
             QByteArray("BESLES-01234PARTE2-1", 20));
  }

 private:
  MainWindowFixture f;
};

QTEST_MAIN(CollectionWindowTest)
#include "collection_window_test.moc"
