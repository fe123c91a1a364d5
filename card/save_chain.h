#pragma once

#include <optional>
#include <vector>

#include "card_image.h"

// The blocks of the chain that starts at block first (1..15), in chain order. Nothing when a
// link names no save block or the chain comes back to a block it has passed: such a chain has
// no end. Never shows a message.
std::optional<std::vector<int>> FollowSaveChain(const CardImage& image, int first);

// The block a link designates, or 0 when it designates none (NoLink included).
int LinkedBlock(uint16_t link);
