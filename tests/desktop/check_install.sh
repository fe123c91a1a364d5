#!/usr/bin/env bash
# Installs the build into a staging folder and checks what the desktop will read from it: both
# programs, their manual pages and completion, a menu entry that desktop-file-validate accepts, and file types that
# update-mime-database compiles cleanly and that recognise a card image and a single save by
# their content.
# Usage: check_install.sh BUILD_DIR STAGE_DIR MIME_PROBE VEXILOR_CLI SAMPLE_CARD
set -euo pipefail
build=$1 stage=$2 probe=$3 cli=$4 sample=$5
fail() { echo "FALHOU: $*" >&2; exit 1; }

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null
for program in vexilor vexilor-cli; do
  [[ -x "$stage/bin/$program" ]] || fail "bin/$program não instalado"
done
[[ -f "$stage/share/icons/hicolor/32x32/apps/vexilor.png" ]] || fail "ícone não instalado"
for file in share/bash-completion/completions/vexilor-cli share/metainfo/org.vexilor.vexilor.metainfo.xml \
  share/doc/vexilor/copyright share/doc/vexilor/changelog.gz; do
  [[ -f "$stage/$file" ]] || fail "$file não instalado"
done

# The manual pages: Portuguese headings, the hand-written sections, and every command of the help.
for page in vexilor vexilor-cli; do
  roff=$(zcat "$stage/share/man/man1/$page.1.gz") || fail "man1/$page.1.gz não instalado"
  grep -q "^\.TH .*\"$page 1\.2\"" <<<"$roff" || fail "$page(1) sem a versão 1.2 do programa"
  for heading in NOME SINOPSE 'DESCRIÇÃO' 'ESTADO DE SAÍDA' ARQUIVOS EXEMPLOS; do
    grep -q "^\.SH \"\?$heading" <<<"$roff" || fail "$page(1) sem a seção $heading"
  done
done
for command in $("$cli" --help | sed -n '/^Comandos:/,/^$/s/^  \([a-z-]*\) .*/\1/p'); do
  grep -q "^\.SS \"Comando $command:\"" <<<"$roff" || fail "vexilor-cli(1) sem o comando $command"
done

entry="$stage/share/applications/vexilor.desktop"
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[[ -z "$report" ]] || fail "desktop-file-validate: $report"
grep -qx 'GenericName=Gerenciador de Memory Card' "$entry" || fail "nome em português ausente"

report=$(XDG_DATA_DIRS="$stage/share:/usr/share" update-mime-database "$stage/share/mime" 2>&1) || fail "update-mime-database: $report"
[[ -z "$report" ]] || fail "update-mime-database: $report"

files="$stage/amostras"
mkdir -p "$files"
cp "$sample" "$files/cartao"
"$cli" exportar "$sample" 1 "$files/save.dat" >/dev/null
[[ -f "$files/save.dat" ]] || fail "vexilor-cli exportar não gravou o 'save'"
mapfile -t types < <(XDG_DATA_DIRS="$stage/share:/usr/share" "$probe" "$files/cartao" "$files/save.dat")
[[ "${types[0]}" == application/x-ps1-memory-card ]] || fail "cartão reconhecido como ${types[0]}"
[[ "${types[1]}" == application/x-ps1-single-save ]] || fail "'save' reconhecido como ${types[1]}"
echo "instalação OK"
