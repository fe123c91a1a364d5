#pragma once

#include <QString>
#include <memory>

#include "card/card_image.h"
#include "card/file_lock.h"
#include "card/formats/card_file.h"

// An image file in any format, with what its container carried, as the commands read and write
// it.
struct LoadedImage {
  CardImage image;
  CardContainer container;
};

// The image lives on the heap: 128 KiB is too much for a comfortable stack frame. Nothing after
// the loader's message.
std::unique_ptr<LoadedImage> LoadImage(const QString& path, HeaderRule rule = HeaderRule::Exact,
                                       CardFileUse use = CardFileUse::Edited);

// Written in the container's format, or in the one the output's extension names.
void SaveImage(const LoadedImage& loaded, const QString& path);

// Takes the lock that an edit of path holds from its read to its write, so that a second edit
// reads this one's result; false after saying that another command holds it.
bool LockForEdit(FileEditLock& lock, const QString& path);
