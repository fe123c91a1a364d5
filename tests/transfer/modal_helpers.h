#pragma once

#include <QString>
#include <functional>

class QWidget;

// Tests drive modal windows from inside their loops: the action runs on the first active modal
// widget with the given object name, from the event loop, once it is up.
void WhenModal(const QString& name, std::function<void(QWidget*)> action);

// The transfer windows of any kind still alive, counting those waiting for deletion.
int LiveTransferWindows();
