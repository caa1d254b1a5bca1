#!/usr/bin/env bash
# Builds and starts the cloud demo. Without a display the demo cannot open its window (it
# says so and ends); the offscreen renderer then draws the demo's pictures instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"

(cd "$root" && cmake --preset release >/dev/null)
cmake --build "$root/build/release" -j2 --target clouds cloud_sprites clouds_render
bin="$root/build/release/bin"

# The demo reads CloudsParticles4.tga from the folder it runs in.
cd "$bin"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./clouds
fi

./clouds
out="$root/build/pictures"
mkdir -p "$out"
echo "No display: rendering the demo's scene offscreen instead."
./clouds_render --sheet --output "$out/cloud-types.png"
for layer in 0 1 2 3; do
  ./clouds_render --layer "$layer" --output "$out/layer-$layer.png"
done
echo "Pictures written to $out:"
ls -1 "$out"
