#include "pictures/icon_import.h"

#include <libimagequant.h>

#include <QImageReader>
#include <QPainter>
#include <memory>

namespace {

// A pixel at least this opaque is drawn; anything fainter becomes a hole.
constexpr int OpaqueFrom = 128;
constexpr int ComponentShift = 3;  // 8 bits to the card's 5
constexpr int GreenShift = 5;
constexpr int BlueShift = 10;

template <typename T, void (*Destroy)(T*)>
struct LiqDeleter {
  void operator()(T* object) const { Destroy(object); }
};
using Attributes = std::unique_ptr<liq_attr, LiqDeleter<liq_attr, liq_attr_destroy>>;
using Histogram = std::unique_ptr<liq_histogram, LiqDeleter<liq_histogram, liq_histogram_destroy>>;
using LiqImage = std::unique_ptr<liq_image, LiqDeleter<liq_image, liq_image_destroy>>;
using Result = std::unique_ptr<liq_result, LiqDeleter<liq_result, liq_result_destroy>>;

// The frame scaled to fit 16 x 16, centred on a clear square, each pixel either see-through or
// solid, as bytes R, G, B, A.
QImage FittedFrame(const QImage& frame) {
  QImage square(SaveIconSide, SaveIconSide, QImage::Format_RGBA8888);
  square.fill(Qt::transparent);
  const QImage fitted =
      frame.scaled(SaveIconSide, SaveIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&square);
  painter.drawImage((SaveIconSide - fitted.width()) / 2, (SaveIconSide - fitted.height()) / 2,
                    fitted);
  painter.end();
  for (int y = 0; y < SaveIconSide; ++y) {
    auto* pixel = square.scanLine(y);
    for (int x = 0; x < SaveIconSide; ++x, pixel += 4) {
      // Premultiplied drawing leaves faint colours dim; the alpha decides alone.
      if (pixel[3] < OpaqueFrom) {
        std::fill_n(pixel, 4, 0);
      } else {
        pixel[3] = 255;
      }
    }
  }
  return square;
}

uint16_t ColourWord(const liq_color& colour) {
  if (colour.a < OpaqueFrom) return TransparentColour;
  const auto word = static_cast<uint16_t>(colour.r >> ComponentShift |
                                          (colour.g >> ComponentShift) << GreenShift |
                                          (colour.b >> ComponentShift) << BlueShift);
  return word == TransparentColour ? SolidBlack : word;
}

std::optional<SaveIcon> Quantised(std::vector<QImage>& frames) {
  Attributes attributes(liq_attr_create());
  if (!attributes) return std::nullopt;
  liq_set_max_colors(attributes.get(), SaveIconColours);
  Histogram histogram(liq_histogram_create(attributes.get()));
  std::vector<LiqImage> images;
  for (QImage& frame : frames) {
    images.emplace_back(
        liq_image_create_rgba(attributes.get(), frame.bits(), SaveIconSide, SaveIconSide, 0));
    if (!images.back() ||
        liq_histogram_add_image(histogram.get(), attributes.get(), images.back().get()) != LIQ_OK) {
      return std::nullopt;
    }
  }
  liq_result* raw_result = nullptr;
  if (liq_histogram_quantize(histogram.get(), attributes.get(), &raw_result) != LIQ_OK) {
    return std::nullopt;
  }
  Result result(raw_result);
  SaveIcon icon;
  for (LiqImage& image : images) {
    SaveIconFrame& frame = icon.frames.emplace_back();
    if (liq_write_remapped_image(result.get(), image.get(), frame.data(), frame.size()) != LIQ_OK) {
      return std::nullopt;
    }
  }
  const liq_palette* palette = liq_get_palette(result.get());
  for (unsigned i = 0; i < palette->count && i < icon.palette.size(); ++i) {
    icon.palette[i] = ColourWord(palette->entries[i]);
  }
  return icon;
}

}  // namespace

IconImport IconFromPicture(const QString& path) {
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  std::vector<QImage> frames;
  // One frame past the most an icon holds is enough to refuse.
  do {
    const QImage frame = reader.read();
    if (frame.isNull()) break;
    frames.push_back(FittedFrame(frame));
  } while (frames.size() <= MaxSaveIconFrames && reader.canRead());
  if (frames.empty()) {
    return {std::nullopt, QStringLiteral("Não foi possível ler a imagem %1: o arquivo não existe, "
                                         "não é PNG, BMP, GIF ou JPEG, ou está danificado.")
                              .arg(path)};
  }
  if (frames.size() > MaxSaveIconFrames) {
    return {std::nullopt,
            QStringLiteral("A imagem %1 tem mais de %2 quadros; um ícone tem no máximo %2.")
                .arg(path)
                .arg(MaxSaveIconFrames)};
  }
  std::optional<SaveIcon> icon = Quantised(frames);
  if (!icon)
    return {std::nullopt,
            QStringLiteral("Não foi possível reduzir as cores da imagem %1.").arg(path)};
  return {std::move(icon), {}};
}
