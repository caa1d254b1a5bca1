#!/usr/bin/env bash
# Installs a build into a scratch prefix, checks what landed there, then builds the small
# consumer program out of tree against it twice (find_package and pkg-config --static) and
# runs both on SDL's offscreen driver.
# Usage: run_install_test.sh BUILD_DIR CONSUMER_SOURCE_DIR CXX [BUILD_TYPE] [SANITIZERS]
set -euo pipefail

build="$1"
consumer_src="$2"
cxx="$3"
build_type="${4:-Release}"
sanitize="${5:-}"

work="$(mktemp -d "${TMPDIR:-/tmp}/lumora-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs a step quietly and shows its output only when it fails.
step() {
  local name="$1"
  shift
  if ! "$@" >"$work/$name.log" 2>&1; then
    cat "$work/$name.log" >&2
    fail "$name: $*"
  fi
}

step install cmake --install "$build" --prefix "$prefix"

# What a user of the package and of the programs relies on.
expect=(
  include/platform/win32.h include/platform/hooks.h include/lumora/window.h
  include/lumora/render.h include/lumora/textures.h include/lumora/image_button.h
  include/zeph_games/clouds.h
  bin/clouds bin/clouds_render bin/make_cloud_sprites share/lumora/CloudsParticles4.tga
)
for f in "${expect[@]}"; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
for f in liblumora_platform.a liblumora.a libzeph_games.a lumora.pc zeph_games.pc \
         LumoraConfig.cmake LumoraConfigVersion.cmake LumoraTargets.cmake; do
  [ -n "$(find "$prefix" -name "$f" -print -quit)" ] || fail "not installed: $f"
done
# The installed headers stand alone: nothing of the platform's insides, no SDL or pixman.
if find "$prefix/include" -name 'backend_*' | grep -q .; then
  fail "private backend headers were installed"
fi
if grep -rlE '#include *[<"](SDL|pixman)' "$prefix/include"; then
  fail "installed headers include SDL or pixman"
fi
# Nothing in the package may point back into the build or source tree.
if grep -rlF -e "$build" -e "$consumer_src" "$prefix/lib"* --include='*.cmake' --include='*.pc'; then
  fail "the package names the build or source tree"
fi

flags=()
if [ -n "$sanitize" ]; then
  flags=("-fsanitize=$sanitize" -fno-omit-frame-pointer)
fi
export SDL_VIDEODRIVER=offscreen

# 1. CMake: find_package(Lumora) from the prefix alone.
step configure cmake -S "$consumer_src" -B "$work/cmake-build" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE="$build_type" \
  -DCMAKE_CXX_FLAGS="${flags[*]}" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
grep -q "Lumora 1\..* from $prefix/" "$work/configure.log" ||
  { cat "$work/configure.log" >&2; fail "find_package(Lumora) did not take the package from $prefix"; }
step build cmake --build "$work/cmake-build" -j2
"$work/cmake-build/lumora_consumer" || fail "the consumer built with CMake failed"

# 2. pkg-config: the same program, compiled and linked by hand.
pcdir="$(dirname "$(find "$prefix" -name lumora.pc -print -quit)")"
export PKG_CONFIG_PATH="$pcdir${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
datadir="$(pkg-config --variable=lumoradatadir lumora)"
[ -e "$datadir/CloudsParticles4.tga" ] || fail "pkg-config's lumoradatadir $datadir has no sprite sheet"
pcflags="$(pkg-config --cflags --libs --static lumora zeph_games)" ||
  fail "pkg-config --static lumora zeph_games failed"
# shellcheck disable=SC2086 # pkg-config's output is a list of words
step pkgconfig-build "$cxx" -std=c++20 "${flags[@]}" \
  -DLUMORA_SPRITE_SHEET="\"$datadir/CloudsParticles4.tga\"" \
  "$consumer_src/consumer.cpp" -o "$work/consumer_pc" $pcflags
"$work/consumer_pc" || fail "the consumer built with pkg-config failed"

echo "PASS: installed to a scratch prefix; consumer built with find_package and with pkg-config"
