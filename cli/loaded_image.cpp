#include "cli/loaded_image.h"

#include <chrono>

#include "card/file_io.h"
#include "card/file_lock.h"
#include "cli/message_report.h"
#include "view/system_path.h"

namespace {

// How long an edit waits for another edit of the same image to finish.
constexpr std::chrono::milliseconds kEditPatience{2000};

// Edited when output is the image itself (by any name), only read when the result goes
// elsewhere.
CardFileUse EditUse(const QString& path, const QString& output) {
  return output == path || SameFile(SystemPath(output), SystemPath(path)) ? CardFileUse::Edited
                                                                          : CardFileUse::OnlyRead;
}

bool LockForEdit(FileEditLock& lock, const QString& path) {
  if (lock.Acquire(kEditPatience)) return true;
  ReportFailure(QStringLiteral("O arquivo %1 está sendo alterado por outro comando; nada foi "
                               "gravado. Tente de novo.")
                    .arg(path)
                    .toStdString(),
                "Erro");
  return false;
}

}  // namespace

std::unique_ptr<LoadedImage> LoadImage(const QString& path, HeaderRule rule, CardFileUse use) {
  auto loaded = std::make_unique<LoadedImage>();
  if (!LoadCardFile(loaded->image, loaded->container, SystemPath(path), use, rule)) return nullptr;
  return loaded;
}

void SaveImage(const LoadedImage& loaded, const QString& path) {
  SaveCardFile(loaded.image, ContainerForOutput(loaded.container, SystemPath(path)),
               SystemPath(path));
}

QString EditOutput(const CommandLine& line) {
  return line.IsSet(EditOutputOption) ? line.Value(EditOutputOption) : line.Positional(0);
}

int ApplyEdit(const CommandLine& line, const Edit& edit, HeaderRule rule) {
  const QString path = line.Positional(0);
  const QString output = EditOutput(line);
  // -o naming the image itself is the same as no -o.
  const CardFileUse use = EditUse(path, output);
  if (use == CardFileUse::OnlyRead) line.RequireNewOutput(output, {path});

  FileEditLock lock(SystemPath(path));
  if (!LockForEdit(lock, path)) return ExitFailed;
  auto loaded = LoadImage(path, rule, use);
  if (!loaded) return ExitFailed;
  const auto before = std::make_unique<const LoadedImage>(*loaded);
  const int messages_before = MessagesShown();
  edit(loaded->image, loaded->container);
  if (MessagesShown() != messages_before) return ExitFailed;
  if (loaded->image == before->image && loaded->container.comments == before->container.comments) {
    PrintError(QStringLiteral("Nada foi alterado; a imagem não foi gravada.\n"));
    return ExitDone;
  }
  SaveImage(*loaded, output);
  return ExitDone;
}
