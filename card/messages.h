#pragma once

#include <functional>
#include <string>

// The one message-box service of the card operations: a modal box with a text, a caption and a
// single OK button, no icon. Texts and captions are UTF-8. The window installs a Qt box; tests
// install a recorder. With none installed, "caption: text" goes to standard error.
using MessageBoxHandler = std::function<void(const std::string& text, const std::string& caption)>;

// Returns the handler that was installed before, so a caller can put it back.
MessageBoxHandler InstallMessageBox(MessageBoxHandler handler);

void ShowMessage(const std::string& text, const std::string& caption);

// "Referência de Bloco Inválida", caption "Erro".
void ShowInvalidBlockMessage();

// "Selecione um bloco que seja o primeiro de uma série e esteja ocupado!", caption "Atenção":
// the refusal of the commands that act on a save in use.
void ShowNotASaveStartRefusal();

// A note that lets the operation go on (caption "Atenção"). Counted apart, so that a command
// line can tell it from a refusal.
void ShowWarning(const std::string& text);
int WarningsShown();
