#pragma once

#include <QIcon>
#include <QImage>
#include <vector>

// ImageList1: the 16 command glyphs of 16 x 16, numbered as the menu items use them.
inline constexpr int GlyphCount = 16;
std::vector<QIcon> LoadCommandGlyphs();

// The program's 32 x 32, 16-colour picture.
QImage ProgramPicture();
