#!/usr/bin/env bash
# The demo as a person runs it under X: the full-screen question, the window it opens for
# either answer, Escape and Alt+F4, exit code 0.
set -euo pipefail
bin="$1"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
title="Generazione di nubi - 1/7 selezione tipo di nube - S cambia nube"

start_xvfb 1280x1024
cd "$bin"

# No: an 800 x 600 window at the screen's top-left corner.
./clouds 2>"$E2E_TMP/no.err" &
pid=$!
box="$(wait_window '^Video!$')"
focus_window "$box"
xdotool key Escape # the box's No
win="$(wait_window "^$title\$")"
eval "$(window_geometry "$win")"
[ "$WIDTH" -eq 800 ] && [ "$HEIGHT" -eq 600 ] || fail "windowed size is ${WIDTH}x${HEIGHT}"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] || fail "windowed position is $X,$Y"
[ "$(xdotool getwindowname "$win")" = "$title" ] || fail "title is '$(xdotool getwindowname "$win")'"
sleep 1
screenshot "$E2E_TMP/windowed.png"
sky="$(pixel "$E2E_TMP/windowed.png" 5 5)"
near "$sky" "119 187 255" 3 || fail "top-left corner is '$sky', not the sky"
focus_window "$win"
xdotool key Escape
expect_exit_zero "$pid" 30

# Yes (Return, the default button): a borderless window covering the whole screen.
./clouds 2>"$E2E_TMP/yes.err" &
pid=$!
box="$(wait_window '^Video!$')"
focus_window "$box"
xdotool key Return
win="$(wait_window "^$title\$")"
eval "$(window_geometry "$win")"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 1024 ] || fail "full-screen size is ${WIDTH}x${HEIGHT}"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] || fail "full-screen position is $X,$Y"
dims="$(xdpyinfo | grep dimensions)"
[[ "$dims" == *" 1280x1024 pixels"* ]] || fail "the screen mode changed: $dims"
focus_window "$win"
xdotool key alt+F4 # closing the window as a person would
expect_exit_zero "$pid" 30
echo "ok"
