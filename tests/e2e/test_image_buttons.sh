#!/usr/bin/env bash
# The image-button example under X, driven as a person would: the buttons' shapes over the
# GL scene, the hover and pressed pictures under the pointer, clicks reaching the program
# (standard output and title), a press dragged off a button doing nothing, Escape, exit 0.
# With IMAGE_BUTTONS_SHOTS=<folder> it also leaves a picture of three states there.
set -euo pipefail
bin="$(cd "$1" && pwd)"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
title="Lumora image buttons"
pictures="$bin/image_buttons"

# Button name, top-left corner in the client area, and a point inside its shape and one
# outside it (in the picture's own coordinates).
declare -A left=([circle]=24 [star]=24 [arrow]=12)
declare -A top=([circle]=24 [star]=116 [arrow]=208)
declare -A inside=([circle]="36 36" [star]="36 40" [arrow]="30 28")
declare -A outside=([circle]="3 3" [star]="4 60" [arrow]="90 4")
declare -A id=([circle]=1 [star]=2 [arrow]=3)

start_xvfb 1024x768
# Run from another folder: the program finds its pictures beside itself.
cd "$E2E_TMP"
"$bin/image_buttons_example" >"$E2E_TMP/out.txt" 2>"$E2E_TMP/err.txt" &
pid=$!
win="$(wait_window "^$title\$")"
eval "$(window_geometry "$win")"
[ "$WIDTH" -eq 640 ] && [ "$HEIGHT" -eq 480 ] || fail "window is ${WIDTH}x${HEIGHT}"
wx=$X
wy=$Y

# Screen point of a point given in a button's picture coordinates.
at() { # name px py
  echo "$((wx + ${left[$1]} + $2)) $((wy + ${top[$1]} + $3))"
}

# The screenshot shows the picture's own pixel at a point of a button.
expect_picture() { # shot name state px py
  local shot="$1" name="$2" state="$3" px="$4" py="$5" got want
  read -r sx sy <<<"$(at "$name" "$px" "$py")"
  got="$(pixel "$shot" "$sx" "$sy")"
  want="$(pixel "$pictures/$name$state.BMP" "$px" "$py")"
  near "$got" "$want" 2 || fail "$name at $px,$py shows '$got', not its $state picture's '$want'"
}

# The scene shows through: the pixel is the background's, not the picture's magenta.
expect_scene() { # shot name px py
  local got
  read -r sx sy <<<"$(at "$2" "$3" "$4")"
  got="$(pixel "$1" "$sx" "$sy")"
  near "$got" "$background" 2 || fail "$2 at $3,$4 shows '$got', not the scene '$background'"
}

# Takes screenshots until a button shows the given picture at a point (the program may be
# slow on a busy machine), up to about 6 s; the last one is kept for further checks.
shot_showing() { # shot name state px py
  for _ in $(seq 1 20); do
    screenshot "$1"
    read -r sx sy <<<"$(at "$2" "$4" "$5")"
    near "$(pixel "$1" "$sx" "$sy")" "$(pixel "$pictures/$2$3.BMP" "$4" "$5")" 2 && return 0
    sleep 0.3
  done
  return 0 # expect_picture reports what is shown instead
}

# The window's title becomes the given one within about 3 s.
expect_title() {
  for _ in $(seq 1 30); do
    [ "$(xdotool getwindowname "$win")" = "$1" ] && return 0
    sleep 0.1
  done
  fail "title is '$(xdotool getwindowname "$win")', not '$1'"
}

pointer() { # name px py
  read -r sx sy <<<"$(at "$1" "$2" "$3")"
  xdotool mousemove "$sx" "$sy"
  sleep 0.3
}

clicks() { grep -c '^button [0-9] clicked$' "$E2E_TMP/out.txt" || true; }

# Waits up to about 6 s for the program to have reported n clicks.
wait_clicks() {
  for _ in $(seq 1 30); do
    [ "$(clicks)" -ge "$1" ] && return 0
    sleep 0.2
  done
}

xdotool mousemove $((wx + 600)) $((wy + 460)) # away from the buttons
shot_showing "$E2E_TMP/normal.png" arrow N ${inside[arrow]}
background="$(pixel "$E2E_TMP/normal.png" $((wx + 5)) $((wy + 470)))"
for name in circle star arrow; do
  expect_picture "$E2E_TMP/normal.png" "$name" N ${inside[$name]}
  expect_scene "$E2E_TMP/normal.png" "$name" ${outside[$name]}
done

# Hover: the pointer over the circle shows its hover picture; the others stay normal.
pointer circle ${inside[circle]}
shot_showing "$E2E_TMP/hover.png" circle H ${inside[circle]}
expect_picture "$E2E_TMP/hover.png" circle H ${inside[circle]}
expect_scene "$E2E_TMP/hover.png" circle ${outside[circle]}
expect_picture "$E2E_TMP/hover.png" star N ${inside[star]}

# Pressed: the left button held on the star.
pointer star ${inside[star]}
xdotool mousedown 1
shot_showing "$E2E_TMP/pressed.png" star P ${inside[star]}
expect_picture "$E2E_TMP/pressed.png" star P ${inside[star]}
expect_picture "$E2E_TMP/pressed.png" circle N ${inside[circle]}
xdotool mouseup 1
wait_clicks 1
[ "$(clicks)" -eq 1 ] || fail "after one click the program printed: $(cat "$E2E_TMP/out.txt")"
tail -n 1 "$E2E_TMP/out.txt" | grep -qx 'button 2 clicked' || fail "the star's click was not reported"
expect_title "$title - star clicked (1 click)"

# Each button reports its own id.
n=1
for name in circle arrow; do
  pointer "$name" ${inside[$name]}
  xdotool click 1
  wait_clicks $((++n))
  tail -n 1 "$E2E_TMP/out.txt" | grep -qx "button ${id[$name]} clicked" ||
    fail "the $name's click was not reported: $(cat "$E2E_TMP/out.txt")"
done
expect_title "$title - arrow clicked (3 clicks)"

# A click outside a shape, in its rectangle, belongs to the scene; a press dragged off a
# button and released elsewhere is no click.
pointer circle ${outside[circle]}
xdotool click 1
pointer circle ${inside[circle]}
xdotool mousedown 1
sleep 0.3
xdotool mousemove $((wx + 300)) $((wy + 400))
sleep 0.3
xdotool mouseup 1
shot_showing "$E2E_TMP/after.png" circle N ${inside[circle]}
sleep 0.5
[ "$(clicks)" -eq 3 ] || fail "stray clicks were reported: $(cat "$E2E_TMP/out.txt")"
expect_picture "$E2E_TMP/after.png" circle N ${inside[circle]}

if [ -n "${IMAGE_BUTTONS_SHOTS:-}" ]; then
  crops=()
  for shot in normal hover pressed; do
    convert "$E2E_TMP/$shot.png" -crop "330x300+$wx+$wy" +repage "$E2E_TMP/crop-$shot.png"
    crops+=("$E2E_TMP/crop-$shot.png")
  done
  mkdir -p "$IMAGE_BUTTONS_SHOTS"
  montage "${crops[@]}" -tile 3x1 -geometry +4+0 -background white \
    "$IMAGE_BUTTONS_SHOTS/image-buttons.png"
fi

focus_window "$win"
xdotool key Escape
expect_exit_zero "$pid" 30
[ ! -s "$E2E_TMP/err.txt" ] || fail "the program wrote to standard error: $(cat "$E2E_TMP/err.txt")"
echo "ok"
