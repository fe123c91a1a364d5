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

# Waits up to the given seconds for a condition given as a command. The limits are generous:
# on a loaded machine the X server and the window manager take seconds to start.
wait_up_to() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}
wait_for() { wait_up_to 30 "$@"; }
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
wait_up_to 60 test -s "$work/display" || fail "Xvfb não iniciou"
export DISPLAY=":$(cat "$work/display")"
# xprop succeeds before the window manager has said it is there; its check window says it is.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
running_or_dead() { wm_running || ! kill -0 "$1" 2>/dev/null; }
# A window manager that died while starting (it has happened under load) gets one more try.
for attempt in 1 2; do
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_up_to 60 running_or_dead $! || true
  wm_running && break
  [[ $attempt == 2 ]] && fail "Openbox não iniciou: $(tail -3 "$work/openbox.log")"
done

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
