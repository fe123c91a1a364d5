#include "glyphs.h"

#include <QPixmap>
#include <QString>

// The pictures live in this static library; naming its resources keeps the linker from
// dropping them.
static void RegisterGlyphResources() {
  Q_INIT_RESOURCE(glyphs);
}

namespace {

// A disabled glyph is drawn embossed, as the classic desktop draws unavailable commands: its
// darker pixels in the shadow grey, over the same shape in white one pixel down and right. The
// colours are gone, so an unavailable command cannot be taken for an available one.
constexpr QRgb kShadowGrey = qRgb(128, 128, 128);
constexpr QRgb kHighlightWhite = qRgb(255, 255, 255);
constexpr int kShapeGreyLimit = 192;  // lighter pixels are the glyph's background or shine

QImage EmbossedGlyph(const QImage& glyph) {
  const QImage source = glyph.convertToFormat(QImage::Format_ARGB32);
  QImage embossed(source.size(), QImage::Format_ARGB32);
  embossed.fill(Qt::transparent);
  auto in_shape = [&source](int x, int y) {
    const QRgb pixel = source.pixel(x, y);
    return qAlpha(pixel) >= 128 && qGray(pixel) < kShapeGreyLimit;
  };
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) {
      if (in_shape(x, y)) {
        embossed.setPixel(x, y, kShadowGrey);
      } else if (x > 0 && y > 0 && in_shape(x - 1, y - 1)) {
        embossed.setPixel(x, y, kHighlightWhite);
      }
    }
  }
  return embossed;
}

}  // namespace

std::vector<QIcon> LoadCommandGlyphs() {
  RegisterGlyphResources();
  std::vector<QIcon> glyphs;
  glyphs.reserve(GlyphCount);
  for (int number = 0; number < GlyphCount; ++number) {
    const QImage glyph(QStringLiteral(":/glyphs/%1.xpm").arg(number, 2, 10, QLatin1Char('0')));
    QIcon icon(QPixmap::fromImage(glyph));
    icon.addPixmap(QPixmap::fromImage(EmbossedGlyph(glyph)), QIcon::Disabled);
    glyphs.push_back(std::move(icon));
  }
  return glyphs;
}

QImage ProgramPicture() {
  RegisterGlyphResources();
  return QImage(QStringLiteral(":/glyphs/vexilor.xpm"));
}
