#include "card_document.h"

#include <QUndoCommand>
#include <algorithm>
#include <optional>
#include <vector>

// Holds only the frames an edit changed, before and after, so a step of a one-frame region
// change costs 256 bytes rather than two whole cards; the container is kept whole, and only when
// the edit touched it.
class CardDocument::Step : public QUndoCommand {
 public:
  Step(CardDocument& document, const QString& name, const CardImage& after,
       const CardContainer& container_after)
      : QUndoCommand(name), document_(document) {
    for (std::size_t frame = 0; frame < FrameCount; ++frame) {
      const std::size_t start = frame * FrameSize;
      const auto before_begin = document.image_.begin() + start;
      const auto after_begin = after.begin() + start;
      if (std::equal(before_begin, before_begin + FrameSize, after_begin)) continue;
      FrameChange change{frame, {}, {}};
      std::copy_n(before_begin, FrameSize, change.before.begin());
      std::copy_n(after_begin, FrameSize, change.after.begin());
      frames_.push_back(change);
    }
    if (!SameContainer(document.container_, container_after)) {
      containers_ = {document.container_, container_after};
    }
  }

  bool Empty() const { return frames_.empty() && !containers_; }

  void redo() override { Apply(true); }
  void undo() override { Apply(false); }

 private:
  struct FrameChange {
    std::size_t frame;
    Frame before;
    Frame after;
  };

  static bool SameContainer(const CardContainer& a, const CardContainer& b) {
    return a.format == b.format && a.header == b.header && a.comments == b.comments &&
           a.seed == b.seed && a.signature_valid == b.signature_valid;
  }

  void Apply(bool forward) {
    for (const FrameChange& change : frames_) {
      const Frame& bytes = forward ? change.after : change.before;
      std::ranges::copy(bytes, document_.image_.begin() + change.frame * FrameSize);
    }
    if (containers_) document_.container_ = forward ? containers_->second : containers_->first;
    emit document_.Edited();
  }

  CardDocument& document_;
  std::vector<FrameChange> frames_;
  std::optional<std::pair<CardContainer, CardContainer>> containers_;
};

CardDocument::CardDocument(QObject* parent) : QObject(parent) {
  undo_stack_.setUndoLimit(UndoLimit);
  connect(&undo_stack_, &QUndoStack::cleanChanged, this,
          [this](bool clean) { emit ModifiedChanged(!clean); });
}

CardDocument::~CardDocument() = default;

void CardDocument::Load(const CardImage& image, CardContainer container, const QString& source) {
  image_ = image;
  container_ = std::move(container);
  source_ = source;
  undo_stack_.clear();
}

void CardDocument::Close() {
  Load(CardImage{}, CardContainer{}, QString());
}

void CardDocument::MarkSaved() {
  undo_stack_.setClean();
}

bool CardDocument::Edit(const QString& step, const EditFunction& edit) {
  CardImage image = image_;
  CardContainer container = container_;
  edit(image, container);
  auto command = std::make_unique<Step>(*this, step, image, container);
  if (command->Empty()) return false;
  undo_stack_.push(command.release());
  return true;
}
