#include "recording_port_access.h"

std::optional<PortFailure> RecordingPortAccess::Prepare(uint16_t port_base) {
  log_.calls << QStringLiteral("Prepare 0x") + QString::number(port_base, 16).toUpper();
  return inner_ ? inner_->Prepare(port_base) : std::nullopt;
}

void RecordingPortAccess::Release() {
  if (log_.on_release) log_.on_release();
  log_.calls << QStringLiteral("Release");
  if (inner_) inner_->Release();
}

PortAccessFactory RecordingFactory(PortLog& log, PortAccessFactory inner) {
  return [&log, inner = std::move(inner)] {
    ++log.made;
    return std::make_unique<RecordingPortAccess>(log, inner ? inner() : nullptr);
  };
}
