#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "card/card_image.h"
#include "card/pocketstation.h"
#include "card/save_icon.h"

// A save's colour icon as pictures: every frame as a QImage, a PNG of its first frame and an
// animated GIF of all its frames, each pixel a square of scale x scale. Colour word 0x0000 is
// transparent, as the console draws it.

inline constexpr int MinPictureScale = 1;
inline constexpr int MaxPictureScale = 64;

// How long the console shows each frame of an icon of this many frames; 0 for a still icon.
int IconFrameDelayMs(int frames);

// 16 x 16 ARGB pictures, one per frame.
std::vector<QImage> IconPictures(const SaveIcon& icon);
// A PocketStation program's own icon: 32 x 32 pictures, one per frame, its set pixels black on
// white as the PocketStation's screen shows them.
std::vector<QImage> MonoIconPictures(const MonoIcon& icon);

// The bytes of the file; block must be a save block.
QByteArray IconPng(const CardImage& image, int block, int scale);
QByteArray IconGif(const CardImage& image, int block, int scale);

// The icon file formats, in the order the window's dialog offers them.
enum class IconFormat { Ico, Png, Gif };
// "ico", "png" or "gif" in any case.
std::optional<IconFormat> IconFormatNamed(const QString& name);
// The file of the save's icon: .ico (frame 1 as the window writes it; scale ignored), or the
// PNG or GIF above.
std::vector<uint8_t> IconFileBytes(const CardImage& image, int block, IconFormat format, int scale);
