#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <set>

#include "card/save_icon.h"
#include "pictures/gif_encoder.h"
#include "pictures/icon_import.h"
#include "pictures/icon_pictures.h"
#include "support/card_builder.h"
#include "support/message_recorder.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

// Colour words and how a picture shows them: 0x0000 is a hole, 0x8000 solid black, 5 bits
// widened by three.
struct Colour {
  uint16_t word;
  QRgb shown;
};
const Colour kColours[] = {
    {0x0000, qRgba(0, 0, 0, 0)},   {0x001F, qRgb(248, 0, 0)},   {0x8000, qRgb(0, 0, 0)},
    {0x7FFF, qRgb(248, 248, 248)}, {0x0000, qRgba(0, 0, 0, 0)}, {0x03E0, qRgb(0, 248, 0)},
    {0x7C00, qRgb(0, 0, 248)},     {0x0421, qRgb(8, 8, 8)},
};
constexpr int kColourCount = std::size(kColours);

int PatternIndex(int frame, int x, int y) {
  return (x + 2 * y + frame) % kColourCount;
}

// A save whose icon of the given frames draws the pattern, written byte by byte: palette at
// title 0x60, frames from 0x80, two pixels a byte with the left one in the low nibble.
CardImage IconCard(int block, int frames) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {block}, .icon_frames = frames});
  auto title = BlockOf(image, block);
  for (int i = 0; i < 16; ++i) {
    const uint16_t word = kColours[i % kColourCount].word;
    title[0x60 + 2 * i] = uint8_t(word);
    title[0x61 + 2 * i] = uint8_t(word >> 8);
  }
  for (int f = 0; f < frames; ++f) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; x += 2) {
        title[0x80 + 0x80 * f + 8 * y + x / 2] =
            uint8_t(PatternIndex(f, x, y) | PatternIndex(f, x + 1, y) << 4);
      }
    }
  }
  return image;
}

QImageReader ReaderOf(QBuffer& buffer, const std::vector<uint8_t>& bytes) {
  buffer.setData(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  buffer.open(QIODevice::ReadOnly);
  return QImageReader(&buffer);
}

void ExpectPattern(const QImage& picture, int frame, int scale) {
  ASSERT_EQ(picture.size(), QSize(16 * scale, 16 * scale));
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 16 * scale; ++y) {
    for (int x = 0; x < 16 * scale; ++x) {
      const QRgb expected = kColours[PatternIndex(frame, x / scale, y / scale)].shown;
      const QRgb got = argb.pixel(x, y);
      if (qAlpha(expected) == 0) {
        ASSERT_EQ(qAlpha(got), 0) << frame << " " << x << "," << y;
      } else {
        ASSERT_EQ(got, expected) << frame << " " << x << "," << y;
      }
    }
  }
}

}  // namespace

TEST(IconPictures, PngIsTheFirstFrameScaled) {
  const CardImage image = IconCard(3, 3);
  for (int scale : {1, 3}) {
    QBuffer buffer;
    QImageReader reader = ReaderOf(buffer, IconFileBytes(image, 3, IconFormat::Png, scale));
    EXPECT_EQ(reader.format(), "png");
    ExpectPattern(reader.read(), 0, scale);
  }
}

// The console's pace: two frames every 16 PAL frames (320 ms), three every 11 (220 ms).
TEST(IconPictures, GifHasEveryFrameAtTheConsolesPace) {
  const std::pair<int, int> cases[] = {{1, 0}, {2, 320}, {3, 220}};
  for (auto [frames, delay] : cases) {
    const CardImage image = IconCard(5, frames);
    QBuffer buffer;
    QImageReader reader = ReaderOf(buffer, IconFileBytes(image, 5, IconFormat::Gif, 2));
    EXPECT_EQ(reader.format(), "gif");
    EXPECT_EQ(reader.imageCount(), frames);
    if (frames > 1) {
      EXPECT_EQ(reader.loopCount(), -1);  // for ever
    }
    for (int f = 0; f < frames; ++f) {
      const QImage picture = reader.read();
      ExpectPattern(picture, f, 2);
      if (frames > 1) {
        EXPECT_EQ(reader.nextImageDelay(), delay) << frames;
      }
    }
  }
}

// A picture of the icon comes back as the same colour words on the same pixels, every frame.
TEST(IconImport, ExportedIconComesBackExactly) {
  TempFolder folder;
  const CardImage original = IconCard(2, 3);
  for (IconFormat format : {IconFormat::Gif, IconFormat::Png}) {
    const std::string path = folder.File(format == IconFormat::Gif ? "icone.gif" : "icone.png");
    WriteBytes(path, IconFileBytes(original, 2, format, 1));
    const IconImport picture = IconFromPicture(QString::fromStdString(path));
    ASSERT_TRUE(picture.icon) << picture.refusal.toStdString();
    CardImage changed = IconCard(2, 3);
    std::fill_n(BlockOf(changed, 2).begin() + 0x60, 0x1A0, 0x33);
    ASSERT_TRUE(WriteSaveIcon(changed, 2, *picture.icon));
    const SaveIcon back = ReadSaveIcon(changed, 2);
    ASSERT_EQ(back.frames.size(), format == IconFormat::Gif ? 3U : 1U);
    EXPECT_EQ(BlockOf(changed, 2)[2], format == IconFormat::Gif ? 0x13 : 0x11);
    for (std::size_t f = 0; f < back.frames.size(); ++f) {
      for (int p = 0; p < 256; ++p) {
        // Black without the bit would be a hole; the import writes solid black as 0x8000.
        ASSERT_EQ(back.palette[back.frames[f][p]],
                  kColours[PatternIndex(int(f), p % 16, p / 16)].word)
            << f << " " << p;
      }
    }
  }
}

// A wide photograph: fitted to 16 x 12 in the middle rows, the rest a hole, 16 colours in all.
TEST(IconImport, PhotoIsFittedAndReducedToSixteenColours) {
  TempFolder folder;
  QImage photo(256, 192, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y) {
    for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x, y, (x * y) % 256));
  }
  const std::string path = folder.File("foto.jpg");
  ASSERT_TRUE(photo.save(QString::fromStdString(path), "JPEG"));
  const IconImport picture = IconFromPicture(QString::fromStdString(path));
  ASSERT_TRUE(picture.icon) << picture.refusal.toStdString();
  ASSERT_EQ(picture.icon->frames.size(), 1U);
  std::set<uint16_t> used;
  for (int p = 0; p < 256; ++p) {
    const uint16_t word = picture.icon->palette[picture.icon->frames[0][p]];
    const int row = p / 16;
    EXPECT_EQ(word == 0x0000, row < 2 || row >= 14) << p;
    used.insert(word);
  }
  EXPECT_EQ(used.size(), 16U);
}

TEST(IconImport, BadPicturesAreRefusedAndTheCardKept) {
  TempFolder folder;
  const std::string text = folder.File("texto.png");
  WriteBytes(text, std::vector<uint8_t>{'n', 'a', 'o', ' ', 'e', ' ', 'P', 'N', 'G'});
  // Four frames of a 2 x 2 animation: one more than an icon holds.
  IndexedAnimation four{2, {qRgb(1, 2, 3), qRgb(4, 5, 6)}, std::vector(4, std::vector<uint8_t>(4))};
  const std::string animated = folder.File("quatro.gif");
  const QByteArray gif = EncodeGif(four);
  WriteBytes(animated, std::vector<uint8_t>(gif.begin(), gif.end()));
  const std::pair<std::string, std::string> cases[] = {
      {text, "Não foi possível ler a imagem " + text},
      {folder.File("nenhuma.bmp"), "Não foi possível ler a imagem " + folder.File("nenhuma.bmp")},
      {animated, "A imagem " + animated + " tem mais de 3 quadros; um ícone tem no máximo 3."},
  };
  for (const auto& [path, start] : cases) {
    const IconImport picture = IconFromPicture(QString::fromStdString(path));
    EXPECT_FALSE(picture.icon);
    EXPECT_TRUE(picture.refusal.startsWith(QString::fromStdString(start)))
        << picture.refusal.toStdString();
  }

  // Three frames into a save that keeps room for one: its data follows the icon.
  const std::string three = folder.File("tres.gif");
  WriteBytes(three, IconFileBytes(IconCard(2, 3), 2, IconFormat::Gif, 1));
  CardImage card = IconCard(4, 1);
  const CardImage before = card;
  MessageRecorder recorder;
  EXPECT_FALSE(WriteSaveIcon(card, 4, *IconFromPicture(QString::fromStdString(three)).icon));
  EXPECT_EQ(card, before);
  EXPECT_EQ(recorder.messages(),
            (std::vector<RecordedMessage>{{"Este 'save' tem espaço para 1 quadro(s) de ícone, e "
                                           "a imagem tem 3. Nada foi alterado.",
                                           "Atenção"}}));
}
