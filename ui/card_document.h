#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "card/card_image.h"
#include "card/formats/card_file.h"

// One card per window: its image, what its file's container carried, where it came from and the
// history of its edits. Every change to a shown image goes through Edit(), so it can be undone
// and the window knows it holds unsaved work; nothing here is shared between windows.
//
// An edit runs on a copy and becomes one undo step only when it changed something, so a refused
// operation (which has said why through the message service) leaves no step behind:
//
//   document.Edit(WindowTexts::RemoveStep.arg(SaveNameText(document.Image(), block)),
//                 [block](CardImage& image, CardContainer&) { RemoveSave(image, block); });
//
// The Editar menu then offers "Desfazer remoção de 'BASLUS-00067DRAX00'".
class CardDocument : public QObject {
  Q_OBJECT

 public:
  // Steps kept; older ones are dropped. A step costs the frames it changed, twice.
  static constexpr int UndoLimit = 500;

  using EditFunction = std::function<void(CardImage& image, CardContainer& container)>;

  explicit CardDocument(QObject* parent = nullptr);
  ~CardDocument() override;

  bool HasImage() const { return !source_.isEmpty(); }
  const CardImage& Image() const { return image_; }
  const CardContainer& Container() const { return container_; }
  // The file's path, "*MEMORY CARD*" for an image read from a card; empty: no image.
  const QString& Source() const { return source_; }
  // True while the image differs from what was last opened, read, created or saved.
  bool IsModified() const { return !undo_stack_.isClean(); }
  QUndoStack& UndoStack() { return undo_stack_; }

  // A card opened, read or created: it replaces the image and starts a new, unmodified history.
  void Load(const CardImage& image, CardContainer container, const QString& source);
  // No image any more; the history goes with it.
  void Close();
  // The image has been written where it is kept: undoing back to here clears the modified mark.
  void MarkSaved();

  // Runs edit on a copy of the image and its container; when either changed, the change is
  // pushed as one step named step (shown after "Desfazer "/"Refazer ") and true is returned.
  // An exception from edit propagates and leaves the document as it was.
  bool Edit(const QString& step, const EditFunction& edit);

 signals:
  // The image or container changed through an edit, an undo or a redo.
  void Edited();
  void ModifiedChanged(bool modified);

 private:
  class Step;

  CardImage image_{};
  CardContainer container_;
  QString source_;
  QUndoStack undo_stack_;
};
