#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "card/card_image.h"

// The texts the window shows for a card image, without widgets, so the window and the
// command-line companion show exactly the same. Card bytes are read as Windows-1252 and every
// text ends at its first NUL.

QString CardText(const std::string& windows1252);
// The Windows-1252 bytes of text; nothing when it holds a character that code page lacks.
std::optional<std::string> CardBytes(const QString& text);
// Without the characters 0x00 to 0x20 at both ends.
QString TrimBlanksAndControls(const QString& text);

// The block list line of a save block (no number, no padding).
QString BlockLineText(const CardImage& image, int block);
// A save's title where it is named outside the block list (the save picker, a proposed file
// name): the Shift-JIS reading of its tooltip when that decodes cleanly, else the line's text.
QString ReadableSaveTitle(const CardImage& image, int block);
// The tooltip of that line: the save's title decoded as Shift-JIS, for a save's first block,
// then on the next line the comment a card file carried for the block (Windows-1252), if any.
QString BlockLineToolTip(const CardImage& image, int block, const std::string& comment = {});

// The save's name in the block's directory frame: "B", region, product code, game ID
// ("BASLUS-00067DRAX00"), without its NUL padding.
QString SaveNameText(const CardImage& image, int block);
// SaveNameText of each block.
QStringList SaveNamesText(const CardImage& image, const std::vector<int>& blocks);

struct SaveDetailTexts {
  QString product_code;  // Edit1
  QString game_id;       // Edit2
  QString blocks;        // Edit3
  QString icon_type;     // Edit4
  QString region;        // Edit5
  QString save_state;    // Edit6
  bool xor_valid;        // Edit7: "OK" in green or "Erro" in red
};
SaveDetailTexts SaveDetails(const CardImage& image, int block);
QString XorCheckText(bool xor_valid);
// "Removido", "Livre" or "Ocupado": the save state of a directory state code.
QString SaveStateText(uint32_t state);

QString SourceLineText(const QString& source_name);  // Label8
QString UsedBlocksText(const CardImage& image);      // Label9
QString FreeBlocksText(const CardImage& image);      // Label10

QString CleanFileName(const QString& text);
// The export name proposed for a save: its title (ReadableSaveTitle) and region, joined by "_".
QString SuggestSaveFileName(const QString& title, const QString& region_text);
// That name for the save that starts at block.
QString SuggestSaveFileName(const CardImage& image, int block);
QString AddMissingExtension(const QString& name, const QString& extension);
