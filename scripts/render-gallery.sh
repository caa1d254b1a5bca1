#!/usr/bin/env bash
# Renders the README pictures into docs/images/ with the offscreen renderer: a contact
# sheet of the seven cloud types, one picture per type, and the four layer choices.
# Builds the renderer first when needed (the release preset, or the build folder named by
# GALLERY_BUILD_DIR). The pictures come from this script only; never edit them by hand.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${GALLERY_BUILD_DIR:-$root/build/release}
jobs=${GALLERY_BUILD_JOBS:-2}
images=$root/docs/images

cd "$root"
if [ ! -f "$build/CMakeCache.txt" ]; then
  if [ -n "${GALLERY_BUILD_DIR:-}" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
  else
    cmake --preset release
  fi
fi
# The sprite sheet is built with the renderer, so the pictures show the textured clouds.
cmake --build "$build" -j "$jobs" --target clouds_render cloud_sprites

tool=$build/bin/clouds_render
mkdir -p "$images"

"$tool" --sheet --size 280x210 --output "$images/cloud-types-sheet.png"
for key in 1 2 3 4 5 6 7; do
  "$tool" --type "$key" --size 400x300 --output "$images/cloud-type-$key.png"
done
names=(layer-1 layer-2 layer-3 layers-all)
for layer in 0 1 2 3; do
  "$tool" --layer "$layer" --size 400x300 --output "$images/clouds-${names[$layer]}.png"
done

echo "render-gallery: pictures in $images:"
ls -l "$images"/*.png

# A screenshot of the demo itself in its window, under a private X display, when Xvfb and
# xdotool are there: the question answered No, one frame settled, then Escape.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  cmake --build "$build" -j "$jobs" --target clouds
  source "$root/tests/e2e/lib.sh"
  start_xvfb 1024x768
  (cd "$build/bin" && ./clouds 2>/dev/null) &
  demo=$!
  focus_window "$(wait_window '^Video!$')"
  xdotool key Escape
  win="$(wait_window '^Generazione di nubi')"
  xdotool mousemove 1000 760
  sleep 2
  import -window "$win" "$images/demo-window.png"
  focus_window "$win"
  xdotool key Escape
  expect_exit_zero "$demo" 30
  echo "render-gallery: $images/demo-window.png"
fi
