// Main window timings, offscreen. Goals: from process start to the main window shown under
// 300 ms; ShowLoadedImage and RefreshBlockView on a full card each under 5 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include "scripted_dialogs.h"
#include "support/card_builder.h"
#include "uVexilor.h"

namespace {

void BM_StartUpToWindowShown(benchmark::State& state) {
  for (auto _ : state) {
    QProcess probe;
    QElapsedTimer clock;
    clock.start();
    probe.start(QStringLiteral(UI_STARTUP_PROBE), {});
    if (!probe.waitForReadyRead(10000) || !probe.readLine().startsWith("shown")) {
      state.SkipWithError("the start-up probe did not show its window");
      return;
    }
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    probe.waitForFinished(10000);
  }
}
BENCHMARK(BM_StartUpToWindowShown)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

struct LoadedWindow {
  ScriptedDialogs dialogs;
  TForm1 window{dialogs};
  LoadedWindow() {
    window.show();
    window.ShowCard(test_support::FullCardOfOneBlockSaves(), {}, QStringLiteral("/tmp/cheio.mc"));
  }
};

void BM_ShowLoadedImage(benchmark::State& state) {
  LoadedWindow loaded;
  for (auto _ : state) {
    loaded.window.ShowLoadedImage();
    QApplication::processEvents();  // the repaint belongs to the sequence
  }
}
BENCHMARK(BM_ShowLoadedImage)->Unit(benchmark::kMillisecond);

void BM_RefreshBlockView(benchmark::State& state) {
  LoadedWindow loaded;
  for (auto _ : state) {
    loaded.window.RefreshBlockView();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_RefreshBlockView)->Unit(benchmark::kMillisecond);

}  // namespace
