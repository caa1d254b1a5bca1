#!/usr/bin/env bash
# Builds the fuzz preset (in build/fuzz, or FUZZ_BUILD_DIR) and runs every fuzz_* target it
# made for FUZZ_SECONDS (default 60) each. Seeds come from tests/data/<first word of the name
# after fuzz_>/ (fuzz_tga: tga, fuzz_bmp_region: bmp) when that folder exists; crashes are kept under <build>/fuzz-artifacts/. Fails if any
# target fails.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
jobs=${FUZZ_BUILD_JOBS:-2}

cd "$root"
cmake --preset fuzz -B "$build"
cmake --build "$build" -j "$jobs"

mapfile -t targets < <(find "$build/bin" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort)
if [ "${#targets[@]}" -eq 0 ]; then
  echo "fuzz-short: no fuzz_* targets in $build/bin" >&2
  exit 1
fi

artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
failed=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=$(mktemp -d)
  kind=${name#fuzz_}
  seeds=$root/tests/data/${kind%%_*}
  if [ -d "$seeds" ]; then
    find "$seeds" -maxdepth 1 -type f -exec cp {} "$corpus"/ \;
  fi
  echo "== $name for ${seconds}s"
  if ! "$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$name-"; then
    failed+=("$name")
  fi
  rm -rf "$corpus"
done

if [ "${#failed[@]}" -ne 0 ]; then
  echo "fuzz-short: failed: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
echo "fuzz-short: ${#targets[@]} target(s) ran ${seconds}s each without a finding"
