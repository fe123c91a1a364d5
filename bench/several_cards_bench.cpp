// Saves between two windows, offscreen. Goals: a 15-block save copied from one window to
// another, from its drop to the view refreshed, under 50 ms; all 15 lines of a full card selected
// and copied to the clipboard under 50 ms.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <memory>

#include "scripted_dialogs.h"
#include "support/card_builder.h"
#include "uVexilor.h"

namespace {

struct Window {
  ScriptedDialogs dialogs;
  TForm1 window{dialogs};
  explicit Window(const CardImage& card) {
    window.show();
    window.ShowCard(card, {}, QStringLiteral("/tmp/cartao.mc"));
    QApplication::processEvents();
  }
  ~Window() { window.Document().Close(); }
};

CardImage OneFifteenBlockSave() {
  CardImage card = test_support::BlankCard();
  test_support::PlaceSave(card, {.blocks = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                                 .title = test_support::SingleByteTitle("GRANDE"),
                                 .icon_frames = 3});
  return card;
}

void BM_DropFifteenBlockSaveIntoAnotherWindow(benchmark::State& state) {
  Window source(OneFifteenBlockSave());
  Window target(test_support::BlankCard());
  const std::unique_ptr<QMimeData> data(source.window.SelectedSavesData());
  const QPoint at = target.window.rect().center();
  for (auto _ : state) {
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target.window, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target.window, &drop);
    QApplication::processEvents();  // the repaint belongs to the drop
    state.PauseTiming();
    if (target.window.Document().Image()[128] != BlockState::InUseFirst) {
      state.SkipWithError("the save was not placed");
      return;
    }
    target.window.Document().UndoStack().undo();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DropFifteenBlockSaveIntoAnotherWindow)->Unit(benchmark::kMillisecond);

void BM_SelectAllLinesAndCopy(benchmark::State& state) {
  Window full(test_support::FullCardOfOneBlockSaves());
  auto* list = full.window.findChild<QListWidget*>(QStringLiteral("ListBox1"));
  QAction* copy = full.window.findChild<QAction*>(QStringLiteral("Copiar1"));
  for (auto _ : state) {
    list->selectAll();
    copy->trigger();
    QApplication::processEvents();
    state.PauseTiming();
    list->clearSelection();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SelectAllLinesAndCopy)->Unit(benchmark::kMillisecond);

}  // namespace
