#pragma once

#include "card_image.h"

// Removal, restoration and purge of saves, and the region of a save. Every refusal is shown
// through the message service before anything is written.

bool CheckSaveChain(const CardImage& image, int block);
void RemoveSave(CardImage& image, int block);
void RestoreSave(CardImage& image, int block);
void PurgeRemovedSaves(CardImage& image);
void SetSaveRegion(CardImage& image, int block, RegionCode region);
