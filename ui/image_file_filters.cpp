#include "image_file_filters.h"

#include <QStringList>
#include <iterator>

namespace {

struct SaveFilter {
  const char* description;
  CardFormat format;
  const char* extension;
};

constexpr SaveFilter kSaveFilters[] = {
    {"Arquivo Memory Card (.MC)", CardFormat::Raw, "mc"},
    {"Imagem de emulador (.MCR)", CardFormat::Raw, "mcr"},
    {"DexDrive (.GME)", CardFormat::DexDrive, "gme"},
    {"VGS / Bleem (.MEM)", CardFormat::Vgs, "mem"},
    {"PSP (.VMP)", CardFormat::Vmp, "vmp"},
    {"Cartão PSX (.PSX)", CardFormat::PsxCard, "psx"},
};

struct OpenFilter {
  const char* description;
  CardFormat format;
  bool mc_only;  // the .mc filter; the other raw extensions have one of their own
};

constexpr OpenFilter kFormatOpenFilters[] = {
    {"Arquivo Memory Card (.MC)", CardFormat::Raw, true},
    {"Imagem de emulador (.MCR, .MCD, .SRM, .PS, .PSM, .DDF, .VM1)", CardFormat::Raw, false},
    {"DexDrive (.GME)", CardFormat::DexDrive, false},
    {"VGS / Bleem (.MEM, .VGS)", CardFormat::Vgs, false},
    {"PSP (.VMP)", CardFormat::Vmp, false},
    {"Cartão PSX (.PSX)", CardFormat::PsxCard, false},
};

QString Pattern(std::string_view extension) {
  return QStringLiteral("*.") +
         QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
}

QStringList PatternsOf(const OpenFilter& filter) {
  QStringList patterns;
  for (std::string_view extension : InfoOf(filter.format).extensions) {
    const bool is_mc = extension == InfoOf(CardFormat::Raw).code;
    if (filter.format != CardFormat::Raw || is_mc == filter.mc_only) {
      patterns << Pattern(extension);
    }
  }
  return patterns;
}

}  // namespace

QString ImageOpenFilter() {
  QStringList all_patterns;
  for (const CardFormatInfo& info : CardFormats()) {
    for (std::string_view extension : info.extensions) all_patterns << Pattern(extension);
  }
  QStringList parts{QStringLiteral("Cartões de memória"), all_patterns.join(u';')};
  for (const OpenFilter& filter : kFormatOpenFilters) {
    parts << QString::fromUtf8(filter.description) << PatternsOf(filter).join(u';');
  }
  parts << QStringLiteral("Todos os arquivos (*)") << QStringLiteral("*");
  return parts.join(u'|');
}

QString ImageSaveFilter() {
  QStringList parts;
  for (const SaveFilter& filter : kSaveFilters) {
    parts << QString::fromUtf8(filter.description)
          << QStringLiteral("*.") + QString::fromUtf8(filter.extension);
  }
  return parts.join(u'|');
}

SaveFilterChoice ImageSaveFilterChoice(int filter_index) {
  const bool known = filter_index >= 0 && filter_index < static_cast<int>(std::size(kSaveFilters));
  const SaveFilter& filter = kSaveFilters[known ? filter_index : 0];
  return {filter.format, u'.' + QString::fromUtf8(filter.extension)};
}

QString IconExportFilter() {
  return QStringLiteral(
      "Arquivos de Ícone (.ICO)|*.ico|Imagem PNG (.PNG)|*.png|Imagem GIF animada (.GIF)|*.gif");
}

QStringList IconExportExtensions() {
  return {QStringLiteral(".ico"), QStringLiteral(".png"), QStringLiteral(".gif")};
}
