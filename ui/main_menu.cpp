// The menu bar and the tool bar: every command's caption, hint, glyph, tool button and initial
// state, kept in one table.

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <span>

#include "bevel.h"
#include "hints.h"
#include "uVexilor.h"
#include "view/window_texts.h"

namespace {

constexpr int kToolBarHeight = 29;
constexpr int kToolButtonWidth = 23;
constexpr int kToolButtonHeight = 22;
constexpr int kToolSeparatorWidth = 8;
constexpr int kToolButtonTop = (kToolBarHeight - kToolButtonHeight) / 2;
constexpr int kNoGlyph = -1;

}  // namespace

struct TForm1::CommandItem {
  const char* name;       // empty: a separator
  const char* separator;  // the separator's name
  const char* caption;
  const char* long_hint;
  int glyph;
  bool enabled;
  QAction* TForm1::*action;
  void (TForm1::*handler)();
};

namespace {

using Item = TForm1::CommandItem;

Item Separator(const char* name) {
  return {nullptr, name, "", "", kNoGlyph, true, nullptr, nullptr};
}

}  // namespace

void TForm1::CreateMenuAndToolBar() {
  const Item file_items[] = {
      {"Novajanela1", nullptr, "Nova janela", "Abre outra janela, para outro Memory Card", kNoGlyph,
       true, &TForm1::Novajanela1, &TForm1::Novajanela1Click},
      {"Novoarquivodeimagem1", nullptr, "Novo arquivo imagem",
       "Cria um arquivo imagem vazio para livre preenchimento", 3, true,
       &TForm1::Novoarquivodeimagem1, &TForm1::Novoarquivodeimagem1Click},
      Separator("N1"),
      {"Abrr1", nullptr, "Abrir arquivo imagem", "Abre um arquivo imagem", 2, true, &TForm1::Abrr1,
       &TForm1::Abrr1Click},
      {"Salvararquivoimagem1", nullptr, "Salvar arquivo imagem", "Salva a imagem em arquivo", 1,
       false, &TForm1::Salvararquivoimagem1, &TForm1::Salvararquivoimagem1Click},
      Separator("N2"),
      {"Abrirnicosave1", nullptr, "Abrir arquivo de 'Save' único",
       "Abre um único 'Save' gravado em arquivo", 13, false, &TForm1::Abrirnicosave1,
       &TForm1::Abrirnicosave1Click},
      {"Salvarnico1", nullptr, "Salvar arquivo de 'Save' único ",
       "Salva o bloco atual em um arquivo de 'Save' único", 14, false, &TForm1::Salvarnico1,
       &TForm1::Salvarnico1Click},
      {"SepararPorJogo1", nullptr, "Separar por jogo...",
       "Grava um cartão por jogo com os 'saves' da imagem", kNoGlyph, false,
       &TForm1::SepararPorJogo1, &TForm1::SepararPorJogo1Click},
      Separator("N3"),
      {"Sair1", nullptr, "Sair", "Sair do Vexilor", 0, true, &TForm1::Sair1, &TForm1::Sair1Click},
  };
  const Item edit_items[] = {
      {"DeletarSave1", nullptr, "Remover 'Save'", "Remove o bloco atualmente selecionado", 5, false,
       &TForm1::DeletarSave1, &TForm1::DeletarSave1Click},
      {"RestaurarSave1", nullptr, "Restaurar 'Save'",
       "Restaura o bloco selecionado, caso seja possível", 4, false, &TForm1::RestaurarSave1,
       &TForm1::RestaurarSave1Click},
      Separator("N4"),
      {"LimparSavesremovidos1", nullptr, "Limpar 'Saves' removidos",
       "Remove definitivamente os blocos removidos", 6, false, &TForm1::LimparSavesremovidos1,
       &TForm1::LimparSavesremovidos1Click},
      {"Repararcartao1", nullptr, "Reparar cartão...",
       "Repara as inconsistências do cartão que não exigem adivinhar dados", kNoGlyph, false,
       &TForm1::Repararcartao1, &TForm1::Repararcartao1Click},
      Separator("N5"),
      {"AlterarlocalidadeUSAmericano1", nullptr, "Alterar localidade US - Americano",
       "Altera localidade para Americano", 11, false, &TForm1::AlterarlocalidadeUSAmericano1,
       &TForm1::AlterarlocalidadeUSAmericano1Click},
      {"AlterarlocalidadeEUEuropeu1", nullptr, "Alterar localidade EU - Europeu",
       "Altera localidade para Europeu", 10, false, &TForm1::AlterarlocalidadeEUEuropeu1,
       &TForm1::AlterarlocalidadeEUEuropeu1Click},
      {"AlterarlocalidadeJPJapons1", nullptr, "Alterar localidade JP - Japonês",
       "Altera localidade para Japonês", 8, false, &TForm1::AlterarlocalidadeJPJapons1,
       &TForm1::AlterarlocalidadeJPJapons1Click},
      Separator("N6"),
      {"Salvarcone1", nullptr, "Salvar Ícone...", "Salva o ícone do 'save' em formato .ICO", 15,
       false, &TForm1::Salvarcone1, &TForm1::Salvarcone1Click},
      {"TrocarIcone1", nullptr, "Trocar Ícone...",
       "Troca o ícone do 'save' por uma figura (PNG, BMP, GIF ou JPEG)", kNoGlyph, false,
       &TForm1::TrocarIcone1, &TForm1::TrocarIcone1Click},
      Separator("N8"),
      {"Copiar1", nullptr, "Copiar", "Copia os 'Saves' selecionados para a área de transferência",
       kNoGlyph, false, &TForm1::Copiar1, &TForm1::Copiar1Click},
      {"Recortar1", nullptr, "Recortar",
       "Copia os 'Saves' selecionados para a área de transferência e os remove", kNoGlyph, false,
       &TForm1::Recortar1, &TForm1::Recortar1Click},
      {"Colar1", nullptr, "Colar", "Coloca nos blocos livres os 'Saves' da área de transferência",
       kNoGlyph, false, &TForm1::Colar1, &TForm1::Colar1Click},
      Separator("N9"),
      {"RenomearSave1", nullptr, "Renomear 'Save'...",
       "Altera a região, o código do produto e o identificador do 'Save'", kNoGlyph, false,
       &TForm1::RenomearSave1, &TForm1::RenomearSave1Click},
      {"Comentario1", nullptr, "Comentário...", "Altera o comentário DexDrive do 'Save'", kNoGlyph,
       false, &TForm1::Comentario1, &TForm1::Comentario1Click},
  };
  const Item card_items[] = {
      {"LerMemoryCard1", nullptr, "Ler Memory Card", "Lê as informações do Memory Card conectado",
       9, false, &TForm1::LerMemoryCard1, &TForm1::LerMemoryCard1Click},
      {"GravarMemoryCard1", nullptr, "Gravar Memory Card",
       "Grava as informações atuais no Memory Card conectado", 7, false, &TForm1::GravarMemoryCard1,
       &TForm1::GravarMemoryCard1Click},
      {"FormatarMemoryCard1", nullptr, "Formatar Memory Card", "Formata o Memory Card conectado",
       12, true, &TForm1::FormatarMemoryCard1, &TForm1::FormatarMemoryCard1Click},
  };

  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto add_menu = [&](const char* name, const char* caption, std::span<const Item> items) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromUtf8(name));
    for (const Item& item : items) AddCommand(menu, item);
    return menu;
  };
  add_menu("Arquivo1", "&Arquivo", file_items);
  AddUndoCommands(add_menu("Editar1", "&Editar", edit_items));
  CreatePocketStationMenu(add_menu("MemoryCard1", "&Memory Card", card_items));

  // Standard shortcuts beside the access letters, which are all Alt+letter: none collides.
  Abrr1->setShortcut(QKeySequence::Open);
  Salvararquivoimagem1->setShortcut(QKeySequence::Save);
  DeletarSave1->setShortcut(QKeySequence::Delete);
  Novajanela1->setShortcut(QKeySequence::New);
  Copiar1->setShortcut(QKeySequence::Copy);
  Recortar1->setShortcut(QKeySequence::Cut);
  Colar1->setShortcut(QKeySequence::Paste);
  Sobre1 = bar->addAction(QStringLiteral("&Sobre"));
  Sobre1->setObjectName(QStringLiteral("Sobre1"));
  connect(Sobre1, &QAction::triggered, this, [this] { RunCommand([this] { Sobre1Click(); }); });

  struct ToolItem {
    const char* name;
    QAction* TForm1::*action;  // null: a separator
  };
  const ToolItem tool_items[] = {
      {"ToolButton1", &TForm1::Novoarquivodeimagem1},
      {"ToolButton2", nullptr},
      {"ToolButton3", &TForm1::Abrr1},
      {"ToolButton4", &TForm1::Salvararquivoimagem1},
      {"ToolButton5", nullptr},
      {"ToolButton6", &TForm1::Abrirnicosave1},
      {"ToolButton7", &TForm1::Salvarnico1},
      {"ToolButton8", nullptr},
      {"ToolButton9", &TForm1::DeletarSave1},
      {"ToolButton11", &TForm1::RestaurarSave1},
      {"ToolButton10", &TForm1::LimparSavesremovidos1},
      {"ToolButton12", nullptr},
      {"ToolButton13", &TForm1::LerMemoryCard1},
      {"ToolButton14", &TForm1::GravarMemoryCard1},
      {"ToolButton15", nullptr},
      {"ToolButton16", &TForm1::Sair1},
  };
  ToolBar1 =
      new Bevel(Bevel::Edge::Lowered, Bevel::Edge::Raised, Bevel::Sides::TopAndBottom, body_);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setGeometry(0, 0, width(), kToolBarHeight);
  int left = 0;
  for (const ToolItem& tool : tool_items) {
    const QString name = QString::fromUtf8(tool.name);
    if (tool.action == nullptr) {
      auto* separator = new QFrame(ToolBar1);
      separator->setObjectName(name);
      separator->setFrameShape(QFrame::VLine);
      separator->setFrameShadow(QFrame::Sunken);
      separator->setGeometry(left, kToolButtonTop, kToolSeparatorWidth, kToolButtonHeight);
      left += kToolSeparatorWidth;
      continue;
    }
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setDefaultAction(this->*tool.action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, kToolButtonTop, kToolButtonWidth, kToolButtonHeight);
    left += kToolButtonWidth;
  }
}

void TForm1::CreatePocketStationMenu(QMenu* card_menu) {
  const CommandItem items[] = {
      {"PocketStationInfo1", nullptr, "Informações",
       "Mostra o número de série, a data e a hora da PocketStation", kNoGlyph, true,
       &TForm1::PocketStationInfo1, &TForm1::PocketStationInfo1Click},
      {"PocketStationBios1", nullptr, "Copiar BIOS...",
       "Copia a BIOS da PocketStation para um arquivo", kNoGlyph, true, &TForm1::PocketStationBios1,
       &TForm1::PocketStationBios1Click},
      {"PocketStationRelogio1", nullptr, "Acertar relógio",
       "Acerta o relógio da PocketStation com a hora deste computador", kNoGlyph, true,
       &TForm1::PocketStationRelogio1, &TForm1::PocketStationRelogio1Click},
  };
  card_menu->addSeparator()->setObjectName(QStringLiteral("N10"));
  PocketStation1 = card_menu->addMenu(QStringLiteral("PocketStation"));
  PocketStation1->setObjectName(QStringLiteral("PocketStation1"));
  for (const CommandItem& item : items) AddCommand(PocketStation1, item);
  // The ports come and go: whether one is there is asked each time the menu opens.
  connect(card_menu, &QMenu::aboutToShow, this,
          [this] { PocketStation1->setEnabled(!SerialReaders(readers_.list()).empty()); });
}

void TForm1::AddUndoCommands(QMenu* edit_menu) {
  // Above the edits they undo, named after the step ("Desfazer remoção de '...'").
  QAction* first = edit_menu->actions().value(0);
  undo_action_ = document_->UndoStack().createUndoAction(this, WindowTexts::UndoPrefix);
  undo_action_->setObjectName(QStringLiteral("Desfazer1"));
  undo_action_->setShortcut(QKeySequence::Undo);
  redo_action_ = document_->UndoStack().createRedoAction(this, WindowTexts::RedoPrefix);
  redo_action_->setObjectName(QStringLiteral("Refazer1"));
  redo_action_->setShortcut(QKeySequence::Redo);
  edit_menu->insertActions(first, {undo_action_, redo_action_});
  edit_menu->insertSeparator(first)->setObjectName(QStringLiteral("N7"));
}

QAction* TForm1::AddCommand(QMenu* menu, const CommandItem& item) {
  if (item.name == nullptr) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromUtf8(item.separator));
    return separator;
  }
  const QString caption = QString::fromUtf8(item.caption);
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromUtf8(item.name));
  const QString hint = caption.trimmed() + u'|' + QString::fromUtf8(item.long_hint);
  action->setToolTip(HintShortPart(hint));
  // The whole hint travels as the status tip; the hint handler picks its long part.
  action->setStatusTip(hint);
  if (item.glyph != kNoGlyph) {
    action->setIcon(image_list1_.at(static_cast<std::size_t>(item.glyph)));
    action->setIconVisibleInMenu(true);
  }
  action->setEnabled(item.enabled);
  this->*item.action = action;
  connect(action, &QAction::triggered, this,
          [this, handler = item.handler] { RunCommand([this, handler] { (this->*handler)(); }); });
  return action;
}
