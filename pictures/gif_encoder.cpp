#include "pictures/gif_encoder.h"

#include <gif_lib.h>

#include <memory>
#include <new>

namespace {

constexpr int CentisecondMs = 10;
// The application extension that makes browsers and viewers loop: "NETSCAPE2.0", then
// sub-block 1 with a 16-bit loop count, 0 for ever.
constexpr GifByteType LoopIdentifier[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
constexpr GifByteType LoopForever[] = {1, 0, 0};
constexpr int ColourResolution = 8;

int AppendBytes(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), count);
  return count;
}

// The smallest power of two giflib takes as a colour map size.
int MapSize(std::size_t colours) {
  int size = 2;
  while (static_cast<std::size_t>(size) < colours) size *= 2;
  return size;
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};

bool WriteFrames(GifFileType* gif, const IndexedAnimation& animation) {
  std::vector<GifColorType> colours(static_cast<std::size_t>(MapSize(animation.palette.size())));
  for (std::size_t i = 0; i < animation.palette.size(); ++i) {
    colours[i] = {static_cast<GifByteType>(qRed(animation.palette[i])),
                  static_cast<GifByteType>(qGreen(animation.palette[i])),
                  static_cast<GifByteType>(qBlue(animation.palette[i]))};
  }
  std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(
      GifMakeMapObject(static_cast<int>(colours.size()), colours.data()), GifFreeMapObject);
  if (!map) return false;
  EGifSetGifVersion(gif, true);
  const int side = animation.side;
  if (EGifPutScreenDesc(gif, side, side, ColourResolution, 0, map.get()) == GIF_ERROR) return false;
  if (animation.frames.size() > 1) {
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof LoopIdentifier, LoopIdentifier) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof LoopForever, LoopForever) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif) == GIF_ERROR) {
      return false;
    }
  }
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_BACKGROUND;
  control.DelayTime = animation.delay_ms / CentisecondMs;
  control.TransparentColor = animation.transparent_index;
  GifByteType control_bytes[4];
  const auto control_size = static_cast<int>(EGifGCBToExtension(&control, control_bytes));
  for (const std::vector<uint8_t>& frame : animation.frames) {
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, control_size, control_bytes) == GIF_ERROR ||
        EGifPutImageDesc(gif, 0, 0, side, side, false, nullptr) == GIF_ERROR) {
      return false;
    }
    std::vector<GifPixelType> row(static_cast<std::size_t>(side));
    for (int y = 0; y < side; ++y) {
      std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(y) * side, side, row.begin());
      if (EGifPutLine(gif, row.data(), side) == GIF_ERROR) return false;
    }
  }
  return true;
}

}  // namespace

QByteArray EncodeGif(const IndexedAnimation& animation) {
  QByteArray bytes;
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, AppendBytes, &error));
  // giflib fails only when it runs out of memory.
  if (!gif || !WriteFrames(gif.get(), animation)) throw std::bad_alloc();
  // Closing writes the trailer.
  if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) throw std::bad_alloc();
  return bytes;
}
