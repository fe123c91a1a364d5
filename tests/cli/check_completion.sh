#!/usr/bin/env bash
# Drives the bash completion of vexilor-cli as bash does on Tab, in a folder of sample files, and
# checks that it offers every command and option the program's help names.
# Usage: check_completion.sh COMPLETION VEXILOR_CLI WORK_DIR
set -euo pipefail
export LC_ALL=C
completion=$1 cli=$2 work=$3
failures=0
fail() { echo "FALHOU: $*" >&2; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/sub" && cd "$work"
touch a.mc B.GME c.txt d.mcs e.ico f.vmp
source /usr/share/bash-completion/bash_completion
source "$completion"

# The sorted words offered for the command line given, whose last word is the one completed.
offered() {
  COMP_WORDS=(vexilor-cli "$@")
  COMP_CWORD=$#
  COMP_LINE="vexilor-cli $*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _vexilor_cli vexilor-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}
expect() {
  local wanted=$1
  shift
  local got
  got=$(offered "$@")
  [[ $got == "$wanted" ]] || fail "vexilor-cli $* <Tab>: '$got', esperado '$wanted'"
}

# Each row: what is offered, then the words typed.
expect "limpar listar" li
expect "B.GME a.mc f.vmp sub" listar ""
expect "B.GME a.mc d.mcs f.vmp sub" importar a.mc ""
expect "e.ico sub" icone a.mc 1 ""
expect "1 10 11 12 13 14 15 2 3 4 5 6 7 8 9" remover a.mc ""
expect "EU JP US" localidade a.mc 3 ""
expect "ar bruto mcs psv" exportar a.mc 1 saida --formato ""
expect "gme mc mcr psx vgs vmp" converter a.mc saida --formato ""
expect "dexdrive memcarduino ps1cardlink ps3usb" ler --leitor ""
expect "LPT1 LPT2 LPT3" gravar --porta=""
expect "1 10 2 3 4 5 6 7 8 9" formatar --delay ""
expect "B.GME a.mc f.vmp sub" remover -o x.mc --saida ""
expect "B.GME a.mc d.mcs f.vmp sub" importar -o x.mc a.mc ""
expect "--verificar" gravar --v
expect "duckstation memcardpro pasta sd2psx" separar a.mc --layout ""
expect "sub" separar a.mc --destino ""
expect "B.GME a.mc f.vmp sub" separar a.mc B.GME ""

# Every command of the general help, and every option of each command's help, is offered.
help_commands=$("$cli" --help | sed -n '/^Comandos:/,/^$/s/^  \([a-z-]*\) .*/\1/p' | sort)
[[ -n $help_commands ]] || fail "nenhum comando em vexilor-cli --help"
for command in listar exportar importar remover restaurar limpar localidade icone novo \
  converter ler gravar formatar leitores; do
  grep -qx "$command" <<<"$help_commands" || fail "vexilor-cli --help sem o comando $command"
done
offered_commands=$(offered "" | tr ' ' '\n' | grep -v '^-')
[[ $offered_commands == "$help_commands" ]] ||
  fail "comandos completados diferem da ajuda: $(diff <(echo "$help_commands") \
    <(echo "$offered_commands") | tr '\n' ' ')"
for command in $help_commands; do
  options=$("$cli" "$command" --help | grep -oE '^  (-[a-zA-Z], )?--[a-z-]+' | tr -d ',' | xargs)
  [[ -n $options ]] || fail "$command --help sem opções"
  offered_options=" $(offered "$command" -) "
  for option in $options; do
    [[ $offered_options == *" $option "* ]] || fail "$command: opção $option não completada"
  done
done

((failures == 0)) && echo "completamento OK"
((failures == 0))
