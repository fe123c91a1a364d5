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
// the loader's message. use: whether the command may write this very file back, which decides
// what a bad signature's warning promises.
std::unique_ptr<LoadedImage> LoadImage(const QString& path, HeaderRule rule = HeaderRule::Exact,
                                       CardFileUse use = CardFileUse::OnlyRead);

// How an edit of the image at path that writes its result to output uses that image: edited
// when output is the image itself (by any name), only read when the result goes elsewhere.
CardFileUse EditUse(const QString& path, const QString& output);

// Written in the container's format, or in the one the output's extension names.
void SaveImage(const LoadedImage& loaded, const QString& path);

// Takes the lock that an edit of path holds from its read to its write, so that a second edit
// reads this one's result; false after saying that another command holds it.
bool LockForEdit(FileEditLock& lock, const QString& path);
