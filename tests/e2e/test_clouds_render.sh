#!/usr/bin/env bash
# The offscreen renderer end to end: pictures of the right size, upright, the sky at the
# corners, different cloud types giving different pictures, the contact sheet, and clear
# failures for bad command lines. $1 is the build's bin folder.
set -u

BIN=${1:?usage: test_clouds_render.sh BIN_DIR}
TOOL=$BIN/clouds_render
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Renders into $WORK; a non-zero exit is a failure of its own.
render() {
    local out=$1
    shift
    if ! "$TOOL" "$@" -o "$WORK/$out" >"$WORK/stdout" 2>"$WORK/stderr"; then
        fail "clouds_render $* exited $?: $(cat "$WORK/stderr")"
        return 1
    fi
    [[ -s $WORK/$out ]] || fail "clouds_render $* wrote no $out"
}

size_of() { identify -format '%wx%h' "$1" 2>/dev/null; }

# "r g b" of the pixel at x, y.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:-
}

# The demo's sky is the clear colour 119/256, 187/256, 255/256.
is_sky() {
    local r g b
    read -r r g b < <(pixel "$1" "$2" "$3")
    ((r >= 114 && r <= 124 && g >= 181 && g <= 192 && b >= 249))
}

# Orange ground pixels in one row: red high, green middling, blue low.
orange_in_row() {
    convert "$1" -crop "$(identify -format %w "$1")x1+0+$2" +repage -depth 8 txt:- |
        awk -F'[(),]' 'NR > 1 && $3 > 200 && $4 > 60 && $4 < 150 && $5 < 60 { n++ } END { print n + 0 }'
}

# Default view: one picture, checked for size, sky corners and which way up it is.
if render plain.png -s 200x150; then
    [[ $(size_of "$WORK/plain.png") == 200x150 ]] || fail "plain.png is $(size_of "$WORK/plain.png"), not 200x150"
    grep -q "wrote .*plain.png (200x150)" "$WORK/stdout" || fail "no 'wrote' line: $(cat "$WORK/stdout")"
    for corner in "0 0" "199 0" "0 149" "199 149"; do
        is_sky "$WORK/plain.png" $corner || fail "corner $corner is not sky: $(pixel "$WORK/plain.png" $corner)"
    done
    # The ground lies below the clouds: orange in the bottom row, none in the top one.
    (($(orange_in_row "$WORK/plain.png" 149) > 20)) || fail "no ground in the bottom row: upside down?"
    (($(orange_in_row "$WORK/plain.png" 0) == 0)) || fail "ground in the top row: upside down?"
fi

# The same input gives the same picture; another type key gives another picture.
render again.png -s 200x150 && { cmp -s "$WORK/plain.png" "$WORK/again.png" || fail "two runs differ"; }
render key1.png -s 200x150 -t 1
render key7.png -s 200x150 -t 7
cmp -s "$WORK/key1.png" "$WORK/key7.png" && fail "types 1 and 7 gave the same picture"
cmp -s "$WORK/key1.png" "$WORK/plain.png" && fail "type 1 looks like the start type (key 2)"

# Layer and view through S held and drags; the tool fails itself if they did not arrive.
render view.png -s 160x120 -l 3 -x 15 -y -40 -d 2.4 -t 4
cmp -s "$WORK/view.png" "$WORK/plain.png" && fail "layer and view changed nothing"

# Every frame written, numbered.
"$TOOL" -s 64x48 -f 2 --every-frame -o "$WORK/frames.png" >/dev/null 2>&1 || fail "--every-frame exited $?"
for n in 0001 0002; do [[ -s $WORK/frames-$n.png ]] || fail "no frames-$n.png"; done
[[ -e $WORK/frames.png ]] && fail "frames.png written although every frame was asked for"

# Contact sheet: 4 + 3 cells with 6-pixel gaps.
if render sheet.png --sheet -s 64x48; then
    [[ $(size_of "$WORK/sheet.png") == 286x114 ]] || fail "sheet is $(size_of "$WORK/sheet.png"), not 286x114"
    is_sky "$WORK/sheet.png" 6 6 || fail "first cell does not start with sky"
    is_sky "$WORK/sheet.png" 10 60 || fail "second row does not start with sky"
    is_sky "$WORK/sheet.png" 230 60 && fail "the eighth cell is not empty"
fi

# Without the texture the scene still renders, and says why it looks plain.
mkdir -p "$WORK/bare" && cp "$TOOL" "$WORK/bare/"
if (cd "$WORK/bare" && ./clouds_render -s 64x48 -o bare.png >/dev/null 2>stderr); then
    grep -q "CloudsParticles4.tga not found" "$WORK/bare/stderr" || fail "no note about the missing texture"
    [[ -s $WORK/bare/bare.png ]] || fail "nothing written without the texture"
else
    fail "without the texture: exit $?"
fi

# Bad command lines: exit 2 and a message; an output folder that is not there: exit 1.
for args in "--type 8" "--layer -1" "--xrot 1.5" "--depth 0.3" "--size 800" "--frames 0" "--nonsense" "--output"; do
    # shellcheck disable=SC2086
    "$TOOL" $args >/dev/null 2>"$WORK/stderr"
    rc=$?
    [[ $rc == 2 ]] || fail "'$args' exited $rc, not 2"
    grep -q "clouds_render: " "$WORK/stderr" || fail "'$args' gave no message"
done
"$TOOL" -s 64x48 -o "$WORK/missing/x.png" >/dev/null 2>"$WORK/stderr"
rc=$?
[[ $rc == 1 ]] || fail "missing output folder exited $rc, not 1"
grep -q "no folder" "$WORK/stderr" || fail "missing output folder gave no message"
"$TOOL" --help | grep -q -- "--sheet" || fail "--help does not describe --sheet"

if ((failures)); then
    echo "test_clouds_render: $failures failure(s)"
    exit 1
fi
echo "test_clouds_render: all checks passed"
