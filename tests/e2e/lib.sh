# Shared helpers of the end-to-end tests: a private Xvfb display, waiting for windows by
# title, input as a person gives it (xdotool), screenshots and pixel reads (ImageMagick).

E2E_TMP="$(mktemp -d)"
E2E_XVFB_PID=""

e2e_cleanup() {
  [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on a display it picks itself (so parallel runs never share one) with the given
# screen size (e.g. 1280x1024).
start_xvfb() {
  local size="$1" n=""
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  for _ in $(seq 1 100); do
    n="$(cat "$E2E_TMP/display" 2>/dev/null || true)"
    [ -n "$n" ] && break
    sleep 0.1
  done
  [ -n "$n" ] || fail "could not start Xvfb: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "Xvfb on $DISPLAY does not answer"
}

# Ids of the mapped windows whose title matches an extended regular expression. (xdotool's
# own search finds nothing on a display without a window manager.)
find_windows() {
  local pattern="$1"
  xwininfo -root -tree 2>/dev/null |
    sed -n 's/^ *\(0x[0-9a-f]*\) "\(.*\)": .*/\1\t\2/p' |
    while IFS=$'\t' read -r id name; do
      if printf '%s\n' "$name" | grep -Eq -- "$pattern" &&
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        printf '%d\n' "$id"
      fi
    done
}

# Prints the id of the first mapped window whose title matches, waiting up to 30 s.
wait_window() {
  local pattern="$1" id
  for _ in $(seq 1 300); do
    id="$(find_windows "$pattern" | head -n 1)"
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  fail "no window titled '$pattern' appeared"
}

# Waits until no mapped window matches the title any more.
wait_window_gone() {
  local pattern="$1"
  for _ in $(seq 1 300); do
    [ -z "$(find_windows "$pattern")" ] && return 0
    sleep 0.1
  done
  fail "window '$pattern' did not go away"
}

# Gives a window the keyboard, with the pointer over it as a person's would be.
focus_window() {
  local id="$1"
  xdotool mousemove --window "$id" 20 20
  # --sync waits for the focus to arrive, for ever if it never does: bound it.
  timeout 5 xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.2
}

# WIDTH HEIGHT X Y of a window, as shell assignments.
window_geometry() {
  xdotool getwindowgeometry --shell "$1"
}

# Waits for a process and checks its exit code (0 expected), with a timeout in seconds.
expect_exit_zero() {
  local pid="$1" timeout="${2:-30}" rc
  for _ in $(seq 1 $((timeout * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" && rc=0 || rc=$?
      [ "$rc" -eq 0 ] || fail "process exited with code $rc"
      return 0
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  fail "process did not end within ${timeout} s"
}

screenshot() {
  timeout 20 import -window root "$1"
}

# A picture of one window's contents.
window_shot() {
  timeout 20 import -window "$1" "$2"
}

# "R G B" of pixel (x, y) of a picture.
pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)] %[fx:int(255*p{'"$2"','"$3"'}.g)] %[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# Succeeds when two colours "R G B" differ by at most tol in every channel.
near() {
  local a=($1) b=($2) tol="${3:-3}" i d
  for i in 0 1 2; do
    d=$(( ${a[$i]} - ${b[$i]} ))
    [ "${d#-}" -le "$tol" ] || return 1
  done
}

# Fraction (0..1) of pixels that differ between two pictures of the same size.
difference() {
  # compare's exit code only says whether the pictures differ; the count is what matters.
  { compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 || true; } | awk -v a="$3" '{ printf "%.4f\n", $1 / a }'
}
