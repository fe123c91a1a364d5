#pragma once

#include <string>

// Which kind of file a path holds, judged the same way wherever a file arrives without a
// command saying what it is (named at start-up, dropped on the window).
enum class CardFileKind { CardImage, SingleSave };

// A card image when the card-file recogniser knows the file; a single save when the file has a
// single save's shape and first byte; a card image otherwise, so that a missing or malformed
// file reaches the image loader, which says what is wrong with it.
CardFileKind KindOfFile(const std::string& path);
