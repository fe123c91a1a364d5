// icone in its three formats and trocar-icone, on copies of the sample card (block 3 holds a
// three-frame icon).
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include "cli_process.h"
#include "support/temp_folder.h"

namespace {

using test_support::ReadBytes;
using test_support::TempFolder;

class IconCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(SamplePath("demo.mc"), card_); }
  QString Card() const { return QString::fromStdString(card_); }
  QString File(const std::string& name) const { return QString::fromStdString(folder_.File(name)); }

  TempFolder folder_;
  std::string card_ = folder_.File("cartao.mc");
};

TEST_F(IconCommandTest, IconeTakesTheFormatFromTheOptionOrTheExtension) {
  CliResult png = RunCli({"icone", Card(), "3", File("foguete.png"), "--escala", "4"});
  EXPECT_EQ(png.exit_code, 0) << png.err.toStdString();
  QImageReader png_reader(File("foguete.png"));
  EXPECT_EQ(png_reader.format(), "png");
  EXPECT_EQ(png_reader.size(), QSize(64, 64));

  CliResult gif = RunCli({"icone", Card(), "3", File("foguete.bin"), "--formato", "GIF"});
  EXPECT_EQ(gif.exit_code, 0) << gif.err.toStdString();
  QImageReader gif_reader(File("foguete.bin"));
  gif_reader.setDecideFormatFromContent(true);
  EXPECT_EQ(gif_reader.format(), "gif");
  EXPECT_EQ(gif_reader.imageCount(), 3);

  EXPECT_EQ(RunCli({"icone", Card(), "3", File("a.ico"), "--escala", "2"}).exit_code, 2);
  EXPECT_EQ(RunCli({"icone", Card(), "3", File("a.png"), "--escala", "65"}).exit_code, 2);
  EXPECT_EQ(RunCli({"icone", Card(), "3", File("a.bmp"), "--formato", "bmp"}).exit_code, 2);
}

// A picture of one frame takes the place of a three-frame icon: the flag, the palette and the
// first frame change, nothing else.
TEST_F(IconCommandTest, TrocarIconeWritesOnlyTheIcon) {
  const auto before = ReadBytes(card_);
  QImage red(10, 20, QImage::Format_RGB32);
  red.fill(qRgb(255, 0, 0));
  ASSERT_TRUE(red.save(File("vermelho.bmp")));
  CliResult changed =
      RunCli({"trocar-icone", Card(), "3", File("vermelho.bmp"), "-o", File("novo.mc")});
  EXPECT_EQ(changed.exit_code, 0) << changed.err.toStdString();
  EXPECT_EQ(ReadBytes(card_), before);
  const auto after = ReadBytes(folder_.File("novo.mc"));
  ASSERT_EQ(after.size(), before.size());
  const std::size_t title = 3 * 8192;
  EXPECT_EQ(after[title + 2], 0x11);
  // Fitted to 8 x 16 in the middle: columns 0..3 hold the transparent word, 4..11 red.
  auto word_at = [&](int x) {
    const int index = (after[title + 0x80 + x / 2] >> (x % 2 * 4)) & 0x0F;
    return after[title + 0x60 + 2 * index] | after[title + 0x61 + 2 * index] << 8;
  };
  EXPECT_EQ(word_at(3), 0x0000);
  EXPECT_EQ(word_at(4), 0x001F);
  EXPECT_EQ(word_at(11), 0x001F);
  EXPECT_EQ(word_at(12), 0x0000);
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i == title + 2 || (i >= title + 0x60 && i < title + 0x100)) continue;
    ASSERT_EQ(after[i], before[i]) << i;
  }

  std::filesystem::copy_file(card_, folder_.File("texto.png"));
  CliResult bad = RunCli({"trocar-icone", Card(), "3", File("texto.png")});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_TRUE(bad.err.startsWith("Erro: Não foi possível ler a imagem ")) << bad.err.toStdString();
  EXPECT_EQ(ReadBytes(card_), before);
}

}  // namespace
