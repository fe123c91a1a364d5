#include <gtest/gtest.h>

#include <filesystem>

#include "cli_process.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

class CheckCommandTest : public ::testing::Test {
 protected:
  QString Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteBytes(folder_.File(name), bytes);
    return QString::fromStdString(folder_.File(name));
  }
  std::vector<uint8_t> Read(const QString& path) { return ReadBytes(path.toStdString()); }
  TempFolder folder_;
};

std::vector<uint8_t> Bytes(const CardImage& image) {
  return {image.begin(), image.end()};
}

// A card of ten sound saves whose header check byte is 0x42, as six real cards have.
CardImage HeaderCheckByte42() {
  CardImage image = RandomCard(7);
  image[127] = 0x42;
  return image;
}

TEST_F(CheckCommandTest, VerificarListsEachFindingAndExitsByDamage) {
  CardImage chain = BlankCard();
  PlaceSave(chain, {.blocks = {2, 3}});
  SetLink(chain, 3, 0x1C43);
  CardImage notice = BlankCard();
  PlaceSave(notice, {.blocks = {5, 6}, .removed = true});
  SetLink(notice, 5, NoLink);
  const QString header = Write("header.mc", Bytes(HeaderCheckByte42()));
  const QString broken = Write("chain.mc", Bytes(chain));
  const QString removed = Write("removed.mc", Bytes(notice));

  CliResult sound = RunCli({"verificar", removed});
  EXPECT_EQ(sound.exit_code, 0);
  EXPECT_EQ(sound.out, removed +
                           ": aviso: bloco 6 (frame 6): bloco do meio ou final (estado 0xA3) "
                           "que nenhum primeiro bloco alcança\n" +
                           removed +
                           ": aviso: bloco 5 (frame 5): o tamanho diz 2 blocos, a "
                           "cadeia tem 1\n" +
                           removed + ": íntegro\n");
  CliResult damaged = RunCli({"verificar", header, broken});
  EXPECT_EQ(damaged.exit_code, 1);
  EXPECT_EQ(damaged.out, header + ": frame 0: byte de verificação 0x42, deveria ser 0x0E\n" +
                             broken +
                             ": bloco 3 (frame 3): ligação 0x1C43 não aponta para nenhum bloco "
                             "(cadeia do 'save' do bloco 2)\n");
  EXPECT_EQ(RunCli({"verificar"}).exit_code, 2);
  EXPECT_TRUE(
      RunCli({"verificar", "--json", broken}).out.contains("\"tipo\": \"ligacao-invalida\""));
}

// A repaired card opens and verifies clean; repairing it again changes nothing; a file that is
// no card is refused and left as it was.
TEST_F(CheckCommandTest, RepararMendsOnceAndRefusesWhatIsNoCard) {
  const QString card = Write("header.mc", Bytes(HeaderCheckByte42()));
  EXPECT_NE(RunCli({"listar", card}).exit_code, 0);
  CliResult repaired = RunCli({"reparar", card});
  EXPECT_EQ(repaired.exit_code, 0);
  EXPECT_EQ(repaired.out, card +
                              ": reparado: frame 0: byte de verificação corrigido de 0x42 para "
                              "0x0E\n");
  CardImage expected = HeaderCheckByte42();
  expected[127] = 0x0E;
  EXPECT_EQ(Read(card), Bytes(expected));
  EXPECT_EQ(RunCli({"verificar", card}).exit_code, 0);
  CliResult again = RunCli({"reparar", card});
  EXPECT_EQ(again.out, card + ": nada a reparar\n");
  EXPECT_EQ(Read(card), Bytes(expected));

  std::vector<uint8_t> text(131072, 'x');
  const QString no_card = Write("texto.mc", text);
  EXPECT_EQ(RunCli({"reparar", no_card}).exit_code, 1);
  EXPECT_EQ(Read(no_card), text);
}

// A sound card is not written, even when its file name holds the words of a mend.
TEST_F(CheckCommandTest, RepararWritesNothingForASoundCardWhateverItsName) {
  const QString card = Write("a: reparado: b.mc", Bytes(BlankCard()));
  const std::string copy = folder_.File("copia.mc");
  CliResult result = RunCli({"reparar", card, "-o", QString::fromStdString(copy)});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, card + ": nada a reparar\n");
  EXPECT_EQ(result.err, "Nada foi alterado; a imagem não foi gravada.\n");
  EXPECT_FALSE(std::filesystem::exists(copy));
}

// What the repair may not mend is listed, and the exit status says damage is left.
TEST_F(CheckCommandTest, RepararSaysWhatItLeft) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {1}});
  BlockOf(image, 1)[2] = 0x14;  // icon type
  const QString card = Write("icone.mc", Bytes(image));
  CliResult result = RunCli({"reparar", card});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out,
            card + ": não reparado: bloco 1: tipo de ícone 0x14, deveria ser de 0x11 a 0x13\n");
  EXPECT_EQ(Read(card), Bytes(image));
}

// A .gme cut in the middle of the save in block 6 opens with a warning, and that save can be
// neither exported nor copied into another card.
TEST_F(CheckCommandTest, SavesCutFromADexDriveFileAreNotHandedOut) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {6}});
  std::vector<uint8_t> gme(3904, 0);
  const std::string magic = "123-456-STD";
  std::copy(magic.begin(), magic.end(), gme.begin());
  gme.insert(gme.end(), image.begin(), image.begin() + 3 * 8192);
  const QString cut = Write("cortado.gme", gme);
  const QString blank = Write("branco.mc", Bytes(BlankCard()));
  CliResult exported =
      RunCli({"exportar", cut, "6", QString::fromStdString(folder_.File("6.mcs"))});
  EXPECT_EQ(exported.exit_code, 1);
  EXPECT_TRUE(exported.err.contains("perderam dados os 'saves' dos blocos 6"))
      << exported.err.toStdString();
  EXPECT_FALSE(std::filesystem::exists(folder_.File("6.mcs")));
  EXPECT_EQ(RunCli({"importar", blank, cut, "--bloco", "6"}).exit_code, 1);
  EXPECT_EQ(Read(blank), Bytes(BlankCard()));
}

}  // namespace
