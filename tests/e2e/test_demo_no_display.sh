#!/usr/bin/env bash
# Without any display the demo does not hang: the question cannot be shown (that counts
# as Yes), the window cannot be made, the reason goes to standard error, exit code 0.
set -euo pipefail
bin="$1"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$bin"
rc=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 ./clouds 2>"$E2E_TMP/err" || rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc"
grep -q "Video!: Settare lo schermo intero?" "$E2E_TMP/err" || fail "the question was not reported: $(cat "$E2E_TMP/err")"
grep -q "Error: Impossibile creare la finestra per la rispettiva applicazione!" "$E2E_TMP/err" ||
  fail "the reason was not reported: $(cat "$E2E_TMP/err")"
echo "ok"
