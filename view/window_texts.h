#pragma once

#include <QString>

// The main window's own questions, refusals and captions.
namespace WindowTexts {
inline const QString ConfirmationCaption = QStringLiteral("Confirmação");
inline const QString AttentionCaption = QStringLiteral("Atenção");
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
}  // namespace WindowTexts
