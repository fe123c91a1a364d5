#include "glyphs.h"

#include <QString>

// The pictures live in this static library; naming its resources keeps the linker from
// dropping them.
static void RegisterGlyphResources() {
  Q_INIT_RESOURCE(glyphs);
}

std::vector<QIcon> LoadCommandGlyphs() {
  RegisterGlyphResources();
  std::vector<QIcon> glyphs;
  glyphs.reserve(GlyphCount);
  for (int number = 0; number < GlyphCount; ++number) {
    glyphs.emplace_back(QStringLiteral(":/glyphs/%1.xpm").arg(number, 2, 10, QLatin1Char('0')));
  }
  return glyphs;
}

QImage ProgramPicture() {
  RegisterGlyphResources();
  return QImage(QStringLiteral(":/glyphs/vexilor.xpm"));
}
