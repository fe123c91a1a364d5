#include "transfer_fixture.h"

#include "readers/lpt_connection.h"
#include "transport/emulated_card_port_access.h"

TransferFixture::TransferFixture() {
  card.SetFrameObserver([this](const FrameEvent& event) {
    if (event.completed) {
      finished.push_back(event.frame);
      return;
    }
    addressed.push_back(event.frame);
    for (const auto& [frame, action] : actions_) {
      if (frame == event.frame) action();
    }
  });
}

TransferSetup TransferFixture::Setup(PortAccessFactory inner) {
  return {image,
          completed,
          dialogs,
          {ParallelReaders, ParallelConnections(RecordingFactory(log, std::move(inner)))}};
}

TransferSetup TransferFixture::CardSetup() {
  return Setup([this] { return std::make_unique<EmulatedCardPortAccess>(card); });
}

void TransferFixture::AtFrame(int frame, std::function<void()> action) {
  actions_.emplace_back(frame, std::move(action));
}

TransferParametersDialog* CreateParametersDialog(TransferKind kind, TransferSetup setup) {
  switch (kind) {
    case TransferKind::Read:
      return new TFrmParamLeitura(std::move(setup));
    case TransferKind::Write:
      return new TFrmParamGravacao(std::move(setup));
    case TransferKind::Format:
      break;
  }
  return new TFrmParamFormatacao(std::move(setup));
}

void RunProgressWindow(TransferKind kind, TransferSetup setup, int delay, const QString& port) {
  TransferProgressWindow* window = CreateProgressWindow(kind, std::move(setup), nullptr);
  window->Reader = ParallelReader(port.toStdString());
  window->Delay = delay;
  window->exec();
}

QByteArray Frames(const CardImage& image, int from, int to) {
  const auto* bytes = reinterpret_cast<const char*>(image.data());
  return QByteArray(bytes + from * FrameSize, static_cast<qsizetype>((to - from) * FrameSize));
}
