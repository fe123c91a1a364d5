#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_process.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"
#include "view/block_texts.h"

namespace {

using test_support::TempFolder;

// A card with everything the list can show: Windows-1252 and full-width titles, a NUL inside a
// title, unknown, reserved and filler states, a bad XOR byte and a removed two-block save.
CardImage UnusualCard() {
  CardImage image = test_support::BlankCard();
  const std::vector<uint8_t> sugar_loaf = {'P',  0xE3, 'o', ' ', 'd', 'e', ' ', 'a',
                                           0xE7, 0xFA, 'c', 'a', 'r', ' ', 0x80};
  test_support::PlaceSave(image, {.blocks = {1}, .title = sugar_loaf, .region = 'A'});
  test_support::PlaceSave(image, {.blocks = {2}, .title = {'A', 'B', 0x00, 'C', 'D'}});
  test_support::SetState(image, 3, 0);
  test_support::SetState(image, 4, BlockState::Reserved);
  test_support::SetState(image, 5, BlockState::McFiller);
  test_support::PlaceSave(image, {.blocks = {6},
                                  .title = test_support::ShiftJisTitle("Dia 3"),
                                  .icon_frames = 3,
                                  .region = 'I'});
  test_support::SetSize(image, 6, 2 * BlockSize, /*fix_xor=*/false);
  test_support::PlaceSave(image, {.blocks = {9, 7},
                                  .title = test_support::SingleByteTitle("Removido"),
                                  .icon_frames = 2,
                                  .region = 'E',
                                  .removed = true});
  return image;
}

QJsonObject ListAsJson(const std::string& path) {
  CliResult result = RunCli({"listar", QString::fromStdString(path), "--json"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  return document.object();
}

// Every text in the JSON is the one the window shows for the same image.
void ExpectWindowTexts(const QJsonObject& listing, const CardImage& image, const QString& source) {
  EXPECT_EQ(listing["fonte"].toString(), SourceLineText(source));
  EXPECT_EQ(UsedBlocksText(image), "Blocos Usados: " + QString::number(listing["usados"].toInt()));
  EXPECT_EQ(FreeBlocksText(image), "Blocos Livres: " + QString::number(listing["livres"].toInt()));
  const QJsonArray blocks = listing["blocos"].toArray();
  ASSERT_EQ(blocks.size(), SaveBlockCount);
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    SCOPED_TRACE("bloco " + std::to_string(block));
    const QJsonObject entry = blocks[block - FirstSaveBlock].toObject();
    const SaveDetailTexts details = SaveDetails(image, block);
    EXPECT_EQ(entry["bloco"].toInt(), block);
    EXPECT_EQ(entry["estado"].toInteger(), GetBlockState(image, block));
    EXPECT_EQ(entry["linha"].toString(), BlockLineText(image, block));
    EXPECT_EQ(entry["codigo_produto"].toString(), details.product_code);
    EXPECT_EQ(entry["id_jogo"].toString(), details.game_id);
    EXPECT_EQ(entry["blocos"].toString(), details.blocks);
    EXPECT_EQ(entry["tipo_icone"].toString(), details.icon_type);
    EXPECT_EQ(entry["localidade"].toString(), details.region);
    EXPECT_EQ(entry["estado_save"].toString(), details.save_state);
    EXPECT_EQ(entry["xor"].toString(), XorCheckText(details.xor_valid));
  }
}

TEST(ListarJson, SampleCardMatchesTheWindowTexts) {
  const std::string path = SamplePath("demo.mc");
  const QJsonObject listing = ListAsJson(path);
  ExpectWindowTexts(listing, LoadCard(path), QString::fromStdString(path));
  EXPECT_EQ(listing["usados"].toInt(), 9);
  EXPECT_EQ(listing["livres"].toInt(), 6);
}

TEST(ListarJson, UnusualCardMatchesTheWindowTextsInUtf8) {
  TempFolder folder;
  const std::string path = folder.File("estranho.mc");
  const CardImage image = UnusualCard();
  test_support::WriteBytes(path, image);
  const QJsonObject listing = ListAsJson(path);
  ExpectWindowTexts(listing, image, QString::fromStdString(path));

  const QJsonArray blocks = listing["blocos"].toArray();
  EXPECT_EQ(blocks[0].toObject()["linha"].toString(), QStringLiteral("Pão de açúcar €"));
  EXPECT_EQ(blocks[1].toObject()["linha"].toString(), "AB");  // card text ends at its NUL
  EXPECT_EQ(blocks[2].toObject()["estado"].toInteger(), 0);
  EXPECT_EQ(blocks[3].toObject()["estado"].toInteger(), 0xFFFFFFFF);
  EXPECT_EQ(blocks[5].toObject()["xor"].toString(), "Erro");
}

// A katakana title keeps its single-byte line and gains its reading; bytes that Windows-1252
// leaves undefined reach the JSON as the C1 controls of the same value, so nothing is lost.
TEST(ListarJson, GivesTheShiftJisTitleBesideTheLine) {
  TempFolder folder;
  const std::string path = folder.File("japones.mc");
  CardImage image = test_support::BlankCard();
  test_support::PlaceSave(image, {.blocks = {1}, .title = {0x83, 0x65, 0x83, 0x58, 0x83, 0x67}});
  test_support::PlaceSave(image, {.blocks = {2}, .title = {'A', 0x81, 0x8D, 0x8F, 0x90, 0x9D}});
  test_support::WriteBytes(path, image);
  const QJsonArray blocks = ListAsJson(path)["blocos"].toArray();
  EXPECT_EQ(blocks[0].toObject()["linha"].toString(), QStringLiteral("ƒeƒXƒg"));
  EXPECT_EQ(blocks[0].toObject()["titulo"].toString(), QStringLiteral("テスト"));
  EXPECT_EQ(blocks[1].toObject()["linha"].toString(),
            QStringLiteral("A\u0081\u008D\u008F\u0090\u009D"));
  EXPECT_EQ(blocks[2].toObject()["titulo"].toString(), QString());
}

// A PocketStation program (name "BESLESP...", "MCX0" at title 0x52) with a two-frame viewer icon.
TEST(ListarJson, MarksPocketStationSavesWithTheirIconFrames) {
  TempFolder folder;
  const std::string path = folder.File("pocket.mc");
  CardImage image = test_support::BlankCard();
  test_support::PlaceSave(image, {.blocks = {2}, .product_code = "SLESP12345"});
  test_support::PlaceSave(image, {.blocks = {3}, .product_code = "SLESP12345"});
  for (int block : {2, 3}) {
    std::fill_n(BlockOf(image, block).begin() + 0x50, 16, 0);
    std::copy_n("MCX0", 4, BlockOf(image, block).begin() + 0x52);
  }
  BlockOf(image, 2)[0x50] = 2;  // block 3: no viewer icon and no executable icon list
  test_support::WriteBytes(path, image);
  const QJsonArray blocks = ListAsJson(path)["blocos"].toArray();
  EXPECT_FALSE(blocks[0].toObject()["pocketstation"].toBool());
  EXPECT_FALSE(blocks[0].toObject().contains("quadros_icone_pocketstation"));
  EXPECT_TRUE(blocks[1].toObject()["pocketstation"].toBool());
  EXPECT_EQ(blocks[1].toObject()["quadros_icone_pocketstation"].toInt(), 2);
  EXPECT_EQ(blocks[2].toObject()["quadros_icone_pocketstation"].toInt(-1), 0);
}

TEST(ListarText, ShowsTheSameLinesAsTheJson) {
  TempFolder folder;
  const std::string path = folder.File("estranho.mc");
  test_support::WriteBytes(path, UnusualCard());
  const QJsonObject listing = ListAsJson(path);
  const QStringList lines =
      RunCli({"listar", QString::fromStdString(path)}).out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), SaveBlockCount + 3);
  for (int i = 0; i < SaveBlockCount; ++i) {
    EXPECT_EQ(lines[i], QStringLiteral("%1  %2").arg(i + 1, 2).arg(
                            listing["blocos"].toArray()[i].toObject()["linha"].toString()));
  }
  EXPECT_EQ(lines[SaveBlockCount], listing["fonte"].toString());
}

}  // namespace
