#pragma once

#include <QAction>
#include <QListWidget>
#include <QString>
#include <memory>

#include "card/card_image.h"
#include "scripted_dialogs.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"
#include "uVexilor.h"

// One main window with scripted dialogs and a temporary folder for its files.
struct MainWindowFixture {
  ScriptedDialogs dialogs;
  std::unique_ptr<test_support::TempFolder> folder;
  std::unique_ptr<TForm1> window;

  void Start();
  // Closes without the save question and checks that nothing was left over.
  void Finish();

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    return window->findChild<T*>(name);
  }
  QAction* Action(const QString& name) const { return Find<QAction>(name); }
  void Trigger(const QString& name) const { Action(name)->trigger(); }
  QString Text(const QString& widget) const;
  QListWidget* List() const { return Find<QListWidget>(QStringLiteral("ListBox1")); }
  QStringList Lines() const;
  // Selects a line as a user does, with the mouse.
  void ClickLine(int index) const;

  QString Path(const QString& name) const;
  // Drags the file of that path (its bytes) onto the window and drops it there.
  void DropFile(const QByteArray& path) const;
  // Writes the card to a file and opens it through "Abrir arquivo imagem".
  QString OpenCard(const CardImage& card, const QString& name = QStringLiteral("cartao.mc"));
};

// Removes block 1's save as one step of the window's history, as "Remover 'Save'" would.
void RemoveFirstSave(TForm1& window);

// Block 1: "ABC", EU, three icon frames. Block 2: "AB: SAVE/1", US, one frame. Block 3: a removed
// one-block save. Blocks 4..6: one save, two frames. Blocks 7..15 free.
CardImage StandardCard();
inline constexpr int StandardFreeBlocks = 10;
