#include "messages.h"

#include <atomic>
#include <cstdio>
#include <utility>

namespace {
MessageBoxHandler& InstalledHandler() {
  static MessageBoxHandler handler;
  return handler;
}
// Counted from any thread: collections read files side by side.
std::atomic<int> warnings_shown{0};
}  // namespace

MessageBoxHandler InstallMessageBox(MessageBoxHandler handler) {
  return std::exchange(InstalledHandler(), std::move(handler));
}

void ShowMessage(const std::string& text, const std::string& caption) {
  if (const auto& handler = InstalledHandler()) {
    handler(text, caption);
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
}

void ShowInvalidBlockMessage() {
  ShowMessage("Referência de Bloco Inválida", "Erro");
}

void ShowNotASaveStartRefusal() {
  ShowMessage("Selecione um bloco que seja o primeiro de uma série e esteja ocupado!", "Atenção");
}

void ShowWarning(const std::string& text) {
  ++warnings_shown;
  ShowMessage(text, "Atenção");
}

int WarningsShown() {
  return warnings_shown;
}
