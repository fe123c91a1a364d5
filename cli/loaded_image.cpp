#include "cli/loaded_image.h"

#include <chrono>

#include "card/file_io.h"
#include "cli/message_report.h"
#include "view/system_path.h"

namespace {
// How long an edit waits for another edit of the same image to finish.
constexpr std::chrono::milliseconds kEditPatience{2000};
}  // namespace

std::unique_ptr<LoadedImage> LoadImage(const QString& path, HeaderRule rule, CardFileUse use) {
  auto loaded = std::make_unique<LoadedImage>();
  if (!LoadCardFile(loaded->image, loaded->container, SystemPath(path), use, rule)) return nullptr;
  return loaded;
}

CardFileUse EditUse(const QString& path, const QString& output) {
  return output == path || SameFile(SystemPath(output), SystemPath(path)) ? CardFileUse::Edited
                                                                          : CardFileUse::OnlyRead;
}

void SaveImage(const LoadedImage& loaded, const QString& path) {
  SaveCardFile(loaded.image, ContainerForOutput(loaded.container, SystemPath(path)),
               SystemPath(path));
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
