#!/usr/bin/env bash
# The demo's scene under X as a person sees it: clouds over the orange ground, S held steps
# the layers, a digit changes the cloud type, drags turn and zoom the view.
set -euo pipefail
bin="$1"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
title="Generazione di nubi - 1/7 selezione tipo di nube - S cambia nube"
pixels=$((800 * 600))

start_xvfb 1024x768
# One press per key press: held keys must not pile up repeats in the one-message pump.
xset r off
cd "$bin"
./clouds 2>"$E2E_TMP/err" &
pid=$!
focus_window "$(wait_window '^Video!$')"
xdotool key Escape
win="$(wait_window "^$title\$")"
focus_window "$win"
xdotool mousemove 790 590 # out of the way of the clouds

# The picture of the window once it has settled: the scene is redrawn unchanged when no
# input is pending, so three equal pictures in a row mean every message has been handled.
shot() {
  local out="$1" prev="$E2E_TMP/prev.png" same=0
  window_shot "$win" "$prev"
  for _ in $(seq 1 60); do
    sleep 0.3
    window_shot "$win" "$out"
    if [ "$(difference "$prev" "$out" "$pixels")" = "0.0000" ]; then
      same=$((same + 1))
      [ "$same" -ge 2 ] && return 0
    else
      same=0
    fi
    cp "$out" "$prev"
  done
  fail "the picture never settled"
}
# Waits until the window's picture differs from a reference and stays different once it
# has settled (a picture taken while the window was being drawn may differ for a moment).
changed_from() {
  local ref="$1" out="$2" what="$3" d="0" deadline=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$deadline" ]; do
    window_shot "$win" "$out"
    d="$(difference "$ref" "$out" "$pixels")"
    if awk -v d="$d" 'BEGIN { exit !(d > 0.01) }'; then
      shot "$out"
      d="$(difference "$ref" "$out" "$pixels")"
      awk -v d="$d" 'BEGIN { exit !(d > 0.01) }' && return 0
    fi
    sleep 0.1
  done
  fail "$what (changed: $d)"
}

echo "-- the first picture" >&2
shot "$E2E_TMP/start.png"
near "$(pixel "$E2E_TMP/start.png" 3 3)" "119 187 255" 3 || fail "no sky in the corner"
# The ground's near edge lies below the clouds; the clouds sit above the centre.
near "$(pixel "$E2E_TMP/start.png" 180 592)" "255 102 0" 3 || fail "no orange ground at the bottom"
cloud="$(pixel "$E2E_TMP/start.png" 400 280)"
near "$cloud" "119 187 255" 10 && fail "no cloud above the ground's centre"
near "$cloud" "255 102 0" 10 && fail "no cloud above the ground's centre"

echo "-- S held" >&2
# S held: the layers step (first in the 7th held frame, then every 10 frames, so at this
# frame rate they cycle quickly); some picture taken while S is down shows another layer.
xdotool keydown s
changed=""
for _ in $(seq 1 60); do
  sleep 0.05
  window_shot "$win" "$E2E_TMP/held.png"
  if awk -v d="$(difference "$E2E_TMP/start.png" "$E2E_TMP/held.png" "$pixels")" 'BEGIN { exit !(d > 0.05) }'; then
    changed=yes
    break
  fi
done
xdotool keyup s
[ -n "$changed" ] || fail "holding S did not step the layer"
shot "$E2E_TMP/layer.png" # whichever layer the release landed on

echo "-- key 1" >&2
# A digit: cloud type 1 (bright) instead of the start's 2.
xdotool key 1
changed_from "$E2E_TMP/layer.png" "$E2E_TMP/bright.png" "cloud type 1 should look different"

echo "-- left drag" >&2
# Left drag to the right: the view turns.
xdotool mousemove 300 300 mousedown 1
for x in 320 340 360 380 400; do xdotool mousemove "$x" 300; done
xdotool mouseup 1
changed_from "$E2E_TMP/bright.png" "$E2E_TMP/turned.png" "a left drag should turn the view"

echo "-- right drag" >&2
# Right drag upwards: the scene moves away and gets smaller.
xdotool mousemove 400 400 mousedown 3
for y in 380 360 340 320 300; do xdotool mousemove 400 "$y"; done
xdotool mouseup 3
changed_from "$E2E_TMP/turned.png" "$E2E_TMP/zoomed.png" "a right drag should zoom"
near "$(pixel "$E2E_TMP/zoomed.png" 180 592)" "119 187 255" 3 || fail "zoomed out, the bottom edge should show sky"

echo "-- Escape" >&2
focus_window "$win"
xdotool key Escape
expect_exit_zero "$pid" 30
echo "ok"
