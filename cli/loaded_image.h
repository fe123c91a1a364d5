#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "card/card_image.h"
#include "card/formats/card_file.h"
#include "cli/command_line.h"

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

// Written in the container's format, or in the one the output's extension names.
void SaveImage(const LoadedImage& loaded, const QString& path);

// A change of the loaded image (and of the comments its file keeps); a message shown during it
// means it did not go through.
using Edit = std::function<void(CardImage& image, CardContainer& container)>;

// The option that sends an edit's result elsewhere: -o, --saida.
inline const QString EditOutputOption = QStringLiteral("saida");
// Where an edit writes the image: --saida, else the image itself.
QString EditOutput(const CommandLine& line);

// Applies edit to the image named by the first argument and writes it back, to --saida or in
// place, only when the change went through and altered something. The image is locked from the
// read to the write, so that a second edit reads this one's result.
int ApplyEdit(const CommandLine& line, const Edit& edit, HeaderRule rule = HeaderRule::Exact);
