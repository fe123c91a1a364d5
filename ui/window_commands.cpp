// "Nova janela": more windows, each the main window with a card of its own. The about box is one
// for all of them; the program ends when the last one has closed.

#include "uVexilor.h"

namespace {
// How far a new window sits from the one it came from, so that it does not hide it.
const QPoint kCascade(24, 24);
}  // namespace

TForm1* TForm1::OpenWindow(UserDialogs& dialogs, ReaderAccess readers, TForm2* about_box,
                           const QWidget* beside) {
  auto* window = new TForm1(dialogs, std::move(readers));
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->SetAboutBox(about_box);
  if (beside != nullptr) window->move(beside->pos() + kCascade);
  window->show();
  return window;
}

void TForm1::Novajanela1Click() {
  OpenWindow(dialogs_, readers_, about_box_, this);
}
