#pragma once

#include <QString>
#include <QStringList>

// The main window's own questions, refusals and captions.
namespace WindowTexts {
inline const QString ProgramCaption = QStringLiteral("Vexilor v1.2");
inline const QString ConfirmationCaption = QStringLiteral("Confirmação");
inline const QString AttentionCaption = QStringLiteral("Atenção");
// The source of an image read from a card.
inline const QString MemoryCardSource = QStringLiteral("*MEMORY CARD*");
inline const QString SaveCurrentFileQuestion = QStringLiteral("Deseja salvar o arquivo atual?");
// %1: the file's path.
inline const QString ChangedOnDiskQuestion = QStringLiteral(
    "O arquivo %1 foi alterado por outro programa depois de aberto ou salvo aqui. "
    "Deseja substituí-lo mesmo assim?");
inline const QString SelectFirstBlockRefusal =
    QStringLiteral("Selecione um bloco que seja o primeiro de uma série e esteja ocupado!");
inline const QString NewImageDialogTitle = QStringLiteral("Informe o nome do NOVO arquivo imagem");
inline const QString RemoveQuestion = QStringLiteral("Confirma remoção do Save selecionado?");
inline const QString RestoreQuestion = QStringLiteral("Confirma restauração do Save selecionado?");
inline const QString PurgeQuestion =
    QStringLiteral("Confirma limpeza de todos os Saves removidos?");
inline const QString RegionUsQuestion =
    QStringLiteral("Confirma alteração de localidade para US - Americano?");
inline const QString RegionEuQuestion =
    QStringLiteral("Confirma alteração de localidade para EU - Europeu?");
inline const QString RegionJpQuestion =
    QStringLiteral("Confirma alteração de localidade para JP - Japonês?");
// The Editar menu's undo pair and the names of the steps it undoes; %1 is a save's name on the
// card or the file a save came from.
inline const QString UndoPrefix = QStringLiteral("Desfazer");
inline const QString RedoPrefix = QStringLiteral("Refazer");
inline const QString RemoveStep = QStringLiteral("remoção de '%1'");
inline const QString RestoreStep = QStringLiteral("restauração de '%1'");
inline const QString PurgeStep = QStringLiteral("limpeza dos 'Saves' removidos");
inline const QString RegionStep = QStringLiteral("alteração de localidade de '%1'");
inline const QString ImportStep = QStringLiteral("importação de '%1'");
inline const QString RepairStep = QStringLiteral("reparo do cartão");

// The card check and its repair.
inline const QString CardFindingsIntro = QStringLiteral("O cartão tem inconsistências:");
inline const QString CardFindingsRepairHint = QStringLiteral(
    "\"Reparar cartão...\" (menu Editar) repara o que é certo, sem adivinhar dados.");
inline const QString NoticePrefix = QStringLiteral("aviso: ");
inline const QString RepairedIntro = QStringLiteral("Reparado:");
inline const QString NotRepairedIntro = QStringLiteral("Não reparado (exige adivinhar dados):");
inline const QString NothingToRepair =
    QStringLiteral("Nada a reparar: o cartão não tem inconsistências que se possam reparar.");
inline const QString OpenRepairedCopyQuestion = QStringLiteral(
    "Só o byte de verificação do frame de identificação de %1 está errado; o diretório está "
    "íntegro. Abrir uma cópia reparada?");
inline const QString IconStep = QStringLiteral("troca do ícone de '%1'");
// Steps that act on one save or on several: %1 is the save's name, or how many saves.
struct StepTexts {
  QString one;
  QString several;
};
inline QString StepName(const StepTexts& texts, const QStringList& names) {
  return names.size() == 1 ? texts.one.arg(names.front()) : texts.several.arg(names.size());
}
inline const StepTexts RemoveSavesStep{RemoveStep, QStringLiteral("remoção de %1 'Saves'")};
inline const StepTexts RestoreSavesStep{RestoreStep, QStringLiteral("restauração de %1 'Saves'")};
inline const StepTexts CutStep{QStringLiteral("recorte de '%1'"),
                               QStringLiteral("recorte de %1 'Saves'")};
inline const StepTexts PasteStep{QStringLiteral("colagem de '%1'"),
                                 QStringLiteral("colagem de %1 'Saves'")};
inline const StepTexts DropStep{QStringLiteral("cópia de '%1'"),
                                QStringLiteral("cópia de %1 'Saves'")};
inline const StepTexts MoveStep{QStringLiteral("movimentação de '%1'"),
                                QStringLiteral("movimentação de %1 'Saves'")};
inline const QString RenameStep = QStringLiteral("renomeação de '%1'");
inline const QString CommentStep = QStringLiteral("comentário de '%1'");
// %1: the name of the save on the card.
inline const QString ReplaceSaveQuestion =
    QStringLiteral("Já existe um 'Save' com o nome %1. Substituir?");
// %1: the file's path.
inline const QString ReplaceFileQuestion =
    QStringLiteral("O arquivo %1 já existe. Deseja substituí-lo?");
inline const QString ErrorCaption = QStringLiteral("Erro");
inline const QString CommentsOnlyInGme =
    QStringLiteral("Só uma imagem DexDrive (.gme) guarda comentários.");
inline const QString CommentCharacterRefusal = QStringLiteral(
    "O comentário tem caracteres que uma imagem DexDrive não guarda (só os do Windows-1252).");
// "Abrir arquivo de 'Save' único" with a card that holds no save; %1 is its path.
inline const QString NoSaveOnCard = QStringLiteral("O arquivo %1 não contém nenhum 'Save'!");
// The filters of the single-save dialogs. A raw save is named after the save, with no extension.
inline const QString McsFilter = QStringLiteral("Memory Card Single (.MCS)|*.mcs");
inline const QString ActionReplayFilter = QStringLiteral(
    "Action Replay, GameShark, Xploder (.PSX .PDA .MCB .MCX)|*.psx;*.pda;*.mcb;*.mcx");
inline const QString PsvFilter = QStringLiteral("'Save' de PS3 (.PSV)|*.psv;*.PSV");
inline const QString SingleSaveExportFilter = McsFilter +
                                              QStringLiteral("|'Save' bruto (sem extensão)|*|") +
                                              ActionReplayFilter + u'|' + PsvFilter;
// Opening a save: every single-save format, then every card image format, whose extensions are
// given as ";*.ext" each.
inline QString SingleSaveOpenFilter(const QString& card_patterns) {
  return QStringLiteral(
             "'Saves' e imagens de Memory Card|*.mcs;*.psx;*.pda;*.mcb;*.mcx;*.psv;"
             "*.PSV") +
         card_patterns + u'|' + McsFilter + u'|' + ActionReplayFilter + u'|' + PsvFilter +
         QStringLiteral("|Imagens de Memory Card|") + card_patterns.mid(1) +
         QStringLiteral("|Todos os arquivos, 'saves' brutos inclusive (*)|*");
}
// A raw save whose file name carries no save name.
inline const QString RawSaveNameCaption = QStringLiteral("Nome do 'save'");
inline const QString RawSaveNameQuestion = QStringLiteral(
    "O nome do arquivo %1 não traz o nome do 'save'.\nNome do 'save' (até 20 caracteres, como "
    "BASLUS-00958GAME):");
inline const QString RawSaveNameRefusal =
    QStringLiteral("\"%1\" não é um nome de 'save': use de 1 a 20 caracteres ASCII visíveis.");
}  // namespace WindowTexts
