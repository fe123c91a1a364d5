#pragma once

#include <string>
#include <vector>

#include "card_file.h"

// A card written into another container keeps every card byte, but not always what the first
// container carried besides: the DexDrive comments, header bytes no writer of that format would
// produce (a .VMP's own seed, the unknown words of a .vgs or .psx header).

// What writing image, held in from, in format to leaves behind, in words ("os comentários
// DexDrive", "o cabeçalho VGS"); empty when nothing.
std::vector<std::string> ConversionLosses(const CardImage& image, const CardContainer& from,
                                          CardFormat to);

// One warning (caption "Atenção") naming what the file written at path lost; nothing when it
// lost nothing.
void WarnOfConversionLosses(const CardImage& image, const CardContainer& from, CardFormat to,
                            const std::string& path);
