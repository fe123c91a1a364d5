#include "pictures/icon_pictures.h"

#include <QBuffer>

#include "card/icon_file.h"
#include "pictures/gif_encoder.h"

namespace {

// The console's animation, counted in PAL frames of 20 ms: every 16th with two icon frames,
// every 11th with three.
constexpr int PalFrameMs = 20;
constexpr int TwoFrameStep = 16;
constexpr int ThreeFrameStep = 11;

QRgb PixelColour(uint16_t colour) {
  if (colour == TransparentColour) return qRgba(0, 0, 0, 0);
  const IconRgb rgb = IconColour(colour);
  return qRgb(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

int IconFrameDelayMs(int frames) {
  if (frames == 2) return TwoFrameStep * PalFrameMs;
  if (frames == 3) return ThreeFrameStep * PalFrameMs;
  return 0;
}

std::vector<QImage> IconPictures(const SaveIcon& icon) {
  std::vector<QImage> pictures;
  for (const SaveIconFrame& frame : icon.frames) {
    QImage picture(SaveIconSide, SaveIconSide, QImage::Format_ARGB32);
    for (int y = 0; y < SaveIconSide; ++y) {
      auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < SaveIconSide; ++x) {
        line[x] = PixelColour(icon.palette[frame[static_cast<std::size_t>(y * SaveIconSide + x)]]);
      }
    }
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

std::vector<QImage> MonoIconPictures(const MonoIcon& icon) {
  std::vector<QImage> pictures;
  for (const MonoIconFrame& frame : icon.frames) {
    QImage picture(MonoIconSide, MonoIconSide, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < MonoIconSide; ++y) {
      for (int x = 0; x < MonoIconSide; ++x) picture.setPixel(x, y, MonoPixel(frame, x, y));
    }
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

QByteArray IconPng(const CardImage& image, int block, int scale) {
  const QImage first = IconPictures(ReadSaveIcon(image, block)).front();
  const QImage scaled =
      first.scaled(first.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  scaled.save(&buffer, "PNG");
  return bytes;
}

QByteArray IconGif(const CardImage& image, int block, int scale) {
  const SaveIcon icon = ReadSaveIcon(image, block);
  IndexedAnimation animation;
  animation.side = SaveIconSide * scale;
  animation.delay_ms = IconFrameDelayMs(static_cast<int>(icon.frames.size()));
  // Every colour word 0x0000 draws the same hole: one index stands for them all.
  int hole = -1;
  for (std::size_t i = 0; i < icon.palette.size(); ++i) {
    const QRgb colour = PixelColour(icon.palette[i]);
    animation.palette.push_back(colour);
    if (icon.palette[i] == TransparentColour && hole < 0) hole = static_cast<int>(i);
  }
  animation.transparent_index = hole;
  for (const SaveIconFrame& frame : icon.frames) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(animation.side * animation.side));
    for (int y = 0; y < animation.side; ++y) {
      for (int x = 0; x < animation.side; ++x) {
        uint8_t index = frame[static_cast<std::size_t>(y / scale * SaveIconSide + x / scale)];
        if (icon.palette[index] == TransparentColour) index = static_cast<uint8_t>(hole);
        pixels[static_cast<std::size_t>(y * animation.side + x)] = index;
      }
    }
    animation.frames.push_back(std::move(pixels));
  }
  return EncodeGif(animation);
}

std::optional<IconFormat> IconFormatNamed(const QString& name) {
  const std::pair<const char*, IconFormat> names[] = {
      {"ico", IconFormat::Ico}, {"png", IconFormat::Png}, {"gif", IconFormat::Gif}};
  for (const auto& [text, format] : names) {
    if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0) return format;
  }
  return std::nullopt;
}

std::vector<uint8_t> IconFileBytes(const CardImage& image, int block, IconFormat format,
                                   int scale) {
  QByteArray bytes;
  switch (format) {
    case IconFormat::Ico: {
      IconFileImage icon{};
      BuildIconFile(image, block, 1, icon);
      return {icon.begin(), icon.end()};
    }
    case IconFormat::Png:
      bytes = IconPng(image, block, scale);
      break;
    case IconFormat::Gif:
      bytes = IconGif(image, block, scale);
      break;
  }
  return {bytes.begin(), bytes.end()};
}
