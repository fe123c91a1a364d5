#!/usr/bin/env bash
# The window under a real X server with a window manager (its own Xvfb and Openbox): each
# window asks for the title-bar buttons of its kind only, and after a card command that ends
# through a question box the keyboard is back on the main window without a click.
# Usage: window_manager_check.sh VEXILOR SAMPLE_CARD
set -euo pipefail
vexilor=$1 sample=$2
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FALHOU: $*" >&2; exit 1; }

# Waits up to 10 s for a condition given as a command.
wait_for() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}
active_name() { xdotool getactivewindow getwindowname 2>/dev/null; }
active_is() { [[ "$(active_name)" == "$1" ]]; }
window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
shown() { [[ -n "$(window_of "$1")" ]]; }
gone() { [[ -z "$(window_of "$1")" ]]; }

# Motif functions the window asks for: 0x08 minimise, 0x10 maximise, 0x20 close.
motif_functions() {
  local hints
  hints=$(xprop -id "$(window_of "$1")" _MOTIF_WM_HINTS | sed -n 's/.*= //p')
  IFS=', ' read -r flags functions _ <<<"$hints"
  (( flags & 1 )) || { echo $((0x3f)); return; }  # no functions field: all of them
  echo $((functions))
}
asks_for_none_of() {
  local name=$1 mask=$2 functions
  functions=$(motif_functions "$name")
  (( (functions & mask) == 0 )) || fail "'$name' pede botões $(printf '0x%x' "$functions")"
  ! xprop -id "$(window_of "$name")" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE ||
    fail "'$name' pode ser maximizada"
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for test -s "$work/display" || fail "Xvfb não iniciou"
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
wait_for xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || fail "Openbox não iniciou"
wait_for sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "Openbox não iniciou"

cp "$sample" "$work/demo.mc"
"$vexilor" "$work/demo.mc" >/dev/null 2>&1 &
pids+=($!)
main="demo.mc - Vexilor v1.2"
wait_for active_is "$main" || fail "janela principal não ficou ativa"
asks_for_none_of "$main" $((0x10))

# "Gravar Memory Card": Enter on OK, then Enter on the question takes its default answer, No.
xdotool key alt+m Down Return
wait_for active_is "Gravação do Memory Card" || fail "diálogo de gravação não abriu"
asks_for_none_of "Gravação do Memory Card" $((0x38))
xdotool key Return
wait_for active_is "Confirmação" || fail "pergunta de gravação não apareceu"
xdotool key Return
wait_for gone "Gravação do Memory Card" || fail "diálogo de gravação não fechou"
wait_for active_is "$main" || fail "após a gravação o teclado ficou em '$(active_name)'"

# The keyboard really reaches the window: Alt+S opens the about box.
xdotool key alt+s
wait_for active_is "Sobre o Vexilor..." || fail "Alt+S não abriu o 'Sobre'"
echo "gerenciador de janelas OK"
