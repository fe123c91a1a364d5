// Files that arrive from outside the window's dialogs, named at start-up or dropped on it, and
// saves dropped from another window or program.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "card/file_kind.h"
#include "uVexilor.h"
#include "view/system_path.h"

namespace {

// The one local file a drag carries; empty for anything else.
QString DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  return LocalFileOf(urls.front());
}

}  // namespace

void TForm1::OpenFileFromOutside(const QString& path) {
  const QString absolute = AbsoluteFilePath(path);
  RunCommand([this, &absolute] {
    const bool single_save = KindOfFile(SystemPath(absolute)) == CardFileKind::SingleSave;
    if (single_save && document_->HasImage()) {
      ImportSaveFile(absolute);
    } else {
      OpenImageFile(absolute);
    }
  });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (AcceptsSaves(event) || !DraggedFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  if (AcceptsSaves(event)) {
    DropSaves(event);
    return;
  }
  const QString path = DraggedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenFileFromOutside(path);
}
