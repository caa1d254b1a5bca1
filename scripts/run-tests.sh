#!/usr/bin/env bash
# Builds everything and runs the whole test suite (unit, GL on the offscreen driver, and
# end-to-end runs under Xvfb). Pass "asan" to use the sanitizer build instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-release}"
"$root/scripts/install-deps.sh"

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
