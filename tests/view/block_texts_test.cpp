#include "view/block_texts.h"

#include <QTest>

#include "support/card_builder.h"

using namespace test_support;

class BlockTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void linesAndDetailsFollowTheState_data() {
    QTest::addColumn<uint>("state");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("save_state");
    QTest::addColumn<bool>("counted_free");
    QTest::newRow("free") << 0xA0u << "Livre"
                          << "Livre" << true;
    QTest::newRow("first") << 0x51u << "TITULO"
                           << "Ocupado" << false;
    QTest::newRow("middle") << 0x52u << "Continuação do Bloco"
                            << "Ocupado" << false;
    QTest::newRow("last") << 0x53u << "Continuação final do Bloco"
                          << "Ocupado" << false;
    QTest::newRow("removed first") << 0xA1u << "TITULO *"
                                   << "Removido" << true;
    QTest::newRow("removed middle") << 0xA2u << "Continuação do Bloco *"
                                    << "Removido" << true;
    QTest::newRow("removed last") << 0xA3u << "Continuação final do Bloco *"
                                  << "Removido" << true;
    QTest::newRow("filler") << 0x434Du << "*** MC *** Apenas para complementação"
                            << "Ocupado" << false;
    QTest::newRow("reserved") << 0xFFFFFFFFu << "*** Reservado *** "
                              << "Ocupado" << false;
    QTest::newRow("zero") << 0u << "*** ERRO *** Tipo de Bloco Desconhecido"
                          << "Ocupado" << false;
    QTest::newRow("wide first") << 0x151u << "*** ERRO *** Tipo de Bloco Desconhecido"
                                << "Ocupado" << false;
  }
  void linesAndDetailsFollowTheState() {
    QFETCH(uint, state);
    QFETCH(QString, line);
    QFETCH(QString, save_state);
    QFETCH(bool, counted_free);
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {7}, .title = SingleByteTitle("  TITULO\x01 ")});
    SetState(card, 7, state);
    QCOMPARE(BlockLineText(card, 7), line);
    QCOMPARE(SaveDetails(card, 7).save_state, save_state);
    QCOMPARE(FreeBlocksText(card), QStringLiteral("Blocos Livres: %1").arg(counted_free ? 15 : 14));
    QCOMPARE(UsedBlocksText(card), QStringLiteral("Blocos Usados: %1").arg(counted_free ? 0 : 1));
  }

  void detailsOfAThreeBlockSave() {
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {4, 5, 6},
                     .icon_frames = 3,
                     .region = 'I',
                     .product_code = "BISLPS-000",
                     .game_id = std::string("JO\0GOXYZ", 8)});
    const SaveDetailTexts first = SaveDetails(card, 4);
    QCOMPARE(first.product_code, QStringLiteral("BISLPS-000"));
    QCOMPARE(first.game_id, QStringLiteral("JO"));  // ends at the first NUL
    QCOMPARE(first.blocks, QStringLiteral("3"));
    QCOMPARE(first.icon_type, QStringLiteral("Animado"));
    QCOMPARE(first.region, QStringLiteral("JP"));
    QVERIFY(first.xor_valid);
    QCOMPARE(SaveDetails(card, 5).blocks, QString());
    QCOMPARE(SaveDetails(card, 6).blocks, QString());
    card[DirectoryFrameOffset(4) + DirectoryFrame::XorOffset] ^= 1;
    QCOMPARE(XorCheckText(SaveDetails(card, 4).xor_valid), QStringLiteral("Erro"));
    QCOMPARE(XorCheckText(SaveDetails(BlankCard(), 1).xor_valid), QStringLiteral("OK"));
  }

  void iconTypeTexts_data() {
    QTest::addColumn<int>("frames");  // icon type 0x10 + frames
    QTest::addColumn<QString>("text");
    QTest::newRow("0x10") << 0 << "";
    QTest::newRow("0x11") << 1 << "Estático";
    QTest::newRow("0x12") << 2 << "Animado";
    QTest::newRow("0x13") << 3 << "Animado";
    QTest::newRow("0x14") << 4 << "";
  }
  void iconTypeTexts() {
    QFETCH(int, frames);
    QFETCH(QString, text);
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {2}, .icon_frames = frames});
    QCOMPARE(SaveDetails(card, 2).icon_type, text);
  }

  void titlesAreWindows1252AndEndAtANul() {
    CardImage card = BlankCard();
    // 0x80 is the euro sign in Windows-1252 and 0xE7 c-cedilla; the removed mark is cut too.
    PlaceSave(card, {.blocks = {1}, .title = {'P', 0x80, 0xE7, 0, 'X'}, .removed = true});
    QCOMPARE(BlockLineText(card, 1), QStringLiteral("P€ç"));
    PlaceSave(card, {.blocks = {2}, .title = ShiftJisTitle("AB 12")});
    QCOMPARE(BlockLineText(card, 2), QStringLiteral("AB 12"));
    PlaceSave(card, {.blocks = {3}, .title = {}, .removed = true});
    QCOMPARE(BlockLineText(card, 3), QStringLiteral(" *"));
    QCOMPARE(CardText(std::string("\x81\x9F\xA9", 3)), QStringLiteral("\u0081Ÿ©"));
    // The five codes Windows-1252 leaves undefined pass through as the C1 controls.
    QCOMPARE(CardText("\x81\x8D\x8F\x90\x9D"), QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
  }

  void titlesDecodedAsShiftJis_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::newRow("full-width Latin, ideographic space, katakana")
        << QByteArray("\x82\x60\x82\x61\x82\x62\x81\x40\x83\x65\x83\x58\x83\x67")
        << QStringLiteral("ABC テスト");
    QTest::newRow("hiragana") << QByteArray("\x82\xA0\x82\xA2") << QStringLiteral("あい");
    QTest::newRow("kanji level 1") << QByteArray("\x88\x9F") << QStringLiteral("亜");
    QTest::newRow("half-width katakana widened") << QByteArray("\xB1") << QStringLiteral("ア");
    QTest::newRow("wave dash of code page 932") << QByteArray("A\x81\x60") << QStringLiteral("A~");
    QTest::newRow("ends at the first NUL")
        << QByteArray("\x82\x60\x00\x82\x61", 5) << QStringLiteral("A");
    QTest::newRow("lone lead byte at the end") << QByteArray("\x82\x60\x81") << QStringLiteral("A");
    QTest::newRow("undefined pair") << QByteArray("\x85\x40") << QStringLiteral("\uFFFD");
  }
  // The tooltip of a save's line; other lines have none.
  void titlesDecodedAsShiftJis() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {1, 2}, .title = std::vector<uint8_t>(bytes.begin(), bytes.end())});
    QCOMPARE(BlockLineToolTip(card, 1), title);
    QCOMPARE(BlockLineToolTip(card, 1, "Fase\xE7"), title + QStringLiteral("\nFaseç"));
    QCOMPARE(BlockLineToolTip(card, 2), QString());
    QCOMPARE(BlockLineToolTip(card, 2, "Fase"), QStringLiteral("Fase"));
    QCOMPARE(BlockLineToolTip(card, 3), QString());
  }

  // A PocketStation program says so in its tooltip and beside its icon type.
  void pocketStationSaveIsNoted() {
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {4},
                     .title = SingleByteTitle("Relogio"),
                     .icon_frames = 3,
                     .product_code = "SLESP12345"});
    std::copy_n("MCX1", 4, BlockOf(card, 4).begin() + 0x52);
    QCOMPARE(BlockLineToolTip(card, 4), QStringLiteral("Relogio\nPocketStation"));
    QCOMPARE(BlockLineToolTip(card, 4, "Nota"), QStringLiteral("Relogio\nPocketStation\nNota"));
    QCOMPARE(SaveDetails(card, 4).icon_type, QStringLiteral("Animado (PocketStation)"));
  }

  void sourceLine_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("line");
    QTest::newRow("none") << ""
                          << "Fonte: <não selecionada>";
#ifdef Q_OS_WIN
    QTest::newRow("drive and folders") << "C:\\Jogos\\Cartoes\\jogo.mc"
                                       << "Fonte: 'jogo.mc'";
    QTest::newRow("drive only") << "A:jogo.mc"
                                << "Fonte: 'jogo.mc'";
#else
    // On Linux only '/' separates folders; ':' and '\\' are parts of names.
    QTest::newRow("colon and backslash in a Linux name") << "/home/ana/a:b\\jogo.mc"
                                                         << "Fonte: 'a:b\\jogo.mc'";
#endif
    QTest::newRow("Linux folders") << "/home/ana/jogo.mc"
                                   << "Fonte: 'jogo.mc'";
    QTest::newRow("card") << "*MEMORY CARD*"
                          << "Fonte: '*MEMORY CARD*'";
  }
  void sourceLine() {
    QFETCH(QString, source);
    QFETCH(QString, line);
    QCOMPARE(SourceLineText(source), line);
  }

  // Where a save is named outside the list: its Shift-JIS reading, unless that does not decode.
  void readableTitlesAndTheNamesTheyPropose_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readable");
    QTest::addColumn<QString>("name");  // with the region "JP"
    QTest::newRow("katakana, ideographic space, full-width digit")
        << QByteArray("\x83\x65\x83\x58\x83\x67\x81\x40\x82\x50") << QStringLiteral("テスト 1")
        << QStringLiteral("テスト 1_JP");
    QTest::newRow("full-width colon and slash left out")
        << QByteArray("\x82\x60\x81\x46\x82\x61\x81\x5E\x82\x62") << QStringLiteral("A:B/C")
        << QStringLiteral("ABC_JP");
    QTest::newRow("plain Latin as the list shows it")
        << QByteArray("AB: SAVE/1") << QStringLiteral("AB: SAVE/1")
        << QStringLiteral("AB SAVE1_JP");
    QTest::newRow("undefined pair: the list line's text")
        << QByteArray("\x85\x40") << QStringLiteral("…@") << QStringLiteral("…@_JP");
  }
  void readableTitlesAndTheNamesTheyPropose() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readable);
    QFETCH(QString, name);
    CardImage card = BlankCard();
    PlaceSave(card, {.blocks = {1}, .title = std::vector<uint8_t>(bytes.begin(), bytes.end())});
    QCOMPARE(ReadableSaveTitle(card, 1), readable);
    QCOMPARE(SuggestSaveFileName(ReadableSaveTitle(card, 1), QStringLiteral("JP")), name);
  }

  void proposedSaveNames_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("name");
    QTest::newRow("colon and slash") << "AB: SAVE/1"
                                     << "US"
                                     << "AB SAVE1_US";
    QTest::newRow("no region") << "ABC"
                               << ""
                               << "ABC_";
    QTest::newRow("full stop") << "VER.1"
                               << "EU"
                               << "VER1_EU";
    QTest::newRow("all ten left out") << "a\"*./:<>?\\|b"
                                      << "JP"
                                      << "ab_JP";
    QTest::newRow("blanks and controls trimmed, inner kept")
        << QStringLiteral("\t A\u0001 B ç \u0002") << " US " << QStringLiteral("A\u0001 B ç_US");
  }
  void proposedSaveNames() {
    QFETCH(QString, line);
    QFETCH(QString, region);
    QFETCH(QString, name);
    QCOMPARE(SuggestSaveFileName(line, region), name);
  }

  void missingExtensions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("completed");
    QTest::newRow("bare") << "jogo"
                          << "jogo.mc";
    QTest::newRow("has one") << "jogo.bin"
                             << "jogo.bin";
    QTest::newRow("ends in a full stop") << "jogo."
                                         << "jogo.";
#ifdef Q_OS_WIN
    QTest::newRow("Windows folder with a full stop") << "C:\\v1.0\\jogo"
                                                     << "C:\\v1.0\\jogo.mc";
    QTest::newRow("drive") << "A:jogo"
                           << "A:jogo.mc";
#endif
    QTest::newRow("Linux folder with a full stop") << "/home/ana/v1.0/jogo"
                                                   << "/home/ana/v1.0/jogo.mc";
    QTest::newRow("hidden Linux folder, named file") << "/home/.cartoes/jogo.mc"
                                                     << "/home/.cartoes/jogo.mc";
  }
  void missingExtensions() {
    QFETCH(QString, name);
    QFETCH(QString, completed);
    QCOMPARE(AddMissingExtension(name, QStringLiteral(".mc")), completed);
  }
};

QTEST_APPLESS_MAIN(BlockTextsTest)
#include "block_texts_test.moc"
