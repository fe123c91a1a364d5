#pragma once

#include "card_image.h"

// Removal, restoration and purge of saves, and the region of a save. Every refusal is shown
// through the message service before anything is written.

// True when block is the first block of a save in use; otherwise false after showing the
// invalid-block message or "Selecione um bloco que seja o primeiro de uma série e esteja
// ocupado!".
bool RequireSaveInUse(const CardImage& image, int block);

bool CheckSaveChain(const CardImage& image, int block);
void RemoveSave(CardImage& image, int block);
void RestoreSave(CardImage& image, int block);
void PurgeRemovedSaves(CardImage& image);
void SetSaveRegion(CardImage& image, int block, RegionCode region);
