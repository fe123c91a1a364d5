#include "cli/check_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "card/check.h"
#include "cli/command_line.h"
#include "cli/loaded_image.h"

namespace {

QString Line(const QString& path, const std::string& text) {
  return path + QStringLiteral(": ") + QString::fromStdString(text) + u'\n';
}

QString SeverityName(const Finding& finding) {
  return finding.damage ? QStringLiteral("dano") : QStringLiteral("aviso");
}

QJsonValue Place(int value) {
  return value >= 0 ? QJsonValue(value) : QJsonValue();
}

QJsonObject FindingJson(const Finding& finding) {
  return {{"tipo", QString::fromStdString(FindingCode(finding.kind))},
          {"gravidade", SeverityName(finding)},
          {"bloco", finding.block > 0 ? QJsonValue(finding.block) : QJsonValue()},
          {"frame", Place(finding.frame)},
          {"texto", QString::fromStdString(DescribeFinding(finding))}};
}

}  // namespace

int RunVerificar(const QStringList& arguments) {
  CommandLine line({"verificar",
                    {QStringLiteral("IMAGEM...")},
                    "[--json]",
                    "Lista cada inconsistência de cada imagem, uma por linha, com o bloco ou o "
                    "frame.\nAvisos (lista de frames defeituosos em uso, 'saves' removidos "
                    "danificados) não contam como dano.\nSaída: 0 íntegra(s), 1 com dano ou "
                    "ilegível, 2 uso incorreto."});
  line.AddOption({"json"}, QStringLiteral("Saída em JSON, um objeto por imagem."));
  if (!line.Parse(arguments)) return ExitDone;

  int status = ExitDone;
  QJsonArray cards;
  QString report;
  for (const QString& path : line.PositionalsFrom(0)) {
    auto loaded = LoadImage(path, HeaderRule::McOnly);
    if (!loaded) {
      status = ExitFailed;
      cards.append(QJsonObject{{"arquivo", path}, {"carregado", false}, {"integro", false}});
      continue;
    }
    const std::vector<Finding> findings = CheckCard(loaded->image, loaded->container.card_bytes);
    const bool sound = !HasDamage(findings);
    if (!sound) status = ExitFailed;
    QJsonArray list;
    for (const Finding& finding : findings) {
      list.append(FindingJson(finding));
      report += Line(path, (finding.damage ? "" : "aviso: ") + DescribeFinding(finding));
    }
    if (sound) report += Line(path, "íntegro");
    cards.append(
        QJsonObject{{"arquivo", path}, {"carregado", true}, {"integro", sound}, {"achados", list}});
  }
  PrintOut(line.IsSet("json") ? QString::fromUtf8(QJsonDocument(cards).toJson()) : report);
  return status;
}

int RunReparar(const QStringList& arguments) {
  CommandLine line(
      {"reparar",
       {QStringLiteral("IMAGEM")},
       "[-o SAIDA]",
       "Repara o que se pode reparar sem adivinhar dados: os bytes de verificação "
       "dos frames 0 a 15,\nos tamanhos pela cadeia, as cadeias cortadas na primeira "
       "falha e os blocos que nenhum 'save'\nalcança (liberados). Nunca mexe nos "
       "frames 16 a 63 nem nos dados dos 'saves'. Lista cada mudança;\nna segunda "
       "vez não muda nada. A imagem é regravada no lugar (ou em SAIDA) só quando "
       "muda.\nSaída: 0 íntegra depois do reparo, 1 ainda com dano, 2 uso incorreto."});
  line.AddOption({"o", EditOutputOption}, QStringLiteral("Grava a imagem reparada em SAIDA."),
                 QStringLiteral("SAIDA"));
  line.AddForceOption(QStringLiteral("SAIDA"));
  if (!line.Parse(arguments)) return ExitDone;

  const QString path = line.Positional(0);
  bool damage_left = false;
  const int status = ApplyEdit(
      line,
      [&](CardImage& image, CardContainer& container) {
        QString report;
        for (const Finding& mend : RepairCard(image, container.card_bytes)) {
          report += Line(path, "reparado: " + DescribeMend(mend));
        }
        const std::vector<Finding> left = CheckCard(image, container.card_bytes);
        for (const Finding& finding : left) {
          if (finding.damage) report += Line(path, "não reparado: " + DescribeFinding(finding));
        }
        if (report.isEmpty()) report = Line(path, "nada a reparar");
        PrintOut(report);
        damage_left = HasDamage(left);
      },
      HeaderRule::McOnly);
  return status == ExitDone && damage_left ? ExitFailed : status;
}
