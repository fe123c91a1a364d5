#include "modal_helpers.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "transfer/parameters_dialog.h"
#include "transfer/progress_window.h"

namespace {
constexpr int PollMs = 5;
}

void WhenModal(const QString& name, std::function<void(QWidget*)> action) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, name, action = std::move(action)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal->objectName() != name) return;
    poll->stop();
    poll->deleteLater();
    action(modal);
  });
  poll->start(PollMs);
}

int LiveTransferWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  int count = 0;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (qobject_cast<TransferParametersDialog*>(widget) != nullptr ||
        qobject_cast<TransferProgressWindow*>(widget) != nullptr) {
      ++count;
    }
  }
  return count;
}
