#pragma once

#include <QStringList>
#include <functional>
#include <memory>

#include "readers/lpt_connection.h"
#include "transport/port_access.h"

// Records what a run asks of its port ("Prepare 0x378", "Release") and passes it on to the
// port behind it, when there is one.
struct PortLog {
  QStringList calls;
  std::function<void()> on_release;  // runs before the port behind is released
  int made = 0;                      // port holds the factory made
};

class RecordingPortAccess : public PortAccess {
 public:
  RecordingPortAccess(PortLog& log, std::unique_ptr<PortAccess> inner)
      : log_(log), inner_(std::move(inner)) {}
  std::optional<PortFailure> Prepare(uint16_t port_base) override;
  void Release() override;

 private:
  PortLog& log_;
  std::unique_ptr<PortAccess> inner_;
};

// A factory whose port holds record into log and pass on to what inner makes (nothing when
// inner is empty).
PortAccessFactory RecordingFactory(PortLog& log, PortAccessFactory inner = {});
