#!/usr/bin/env bash
# Makes docs/screenshot.png: the program playing from its demo station with the
# favourites panel open and the desktop lyrics over a desktop background, on a headless X
# server with a compositor so the lyrics window's transparency shows.
#
#   scripts/screenshot.sh [--build DIR] [--out FILE]
#
# --build DIR   build folder (default: build); the program and the demo station are built
# --out FILE    where the picture goes (default: docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
out=docs/screenshot.png
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --out) out="$2"; shift 2 ;;
        -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "screenshot.sh: unknown argument $1" >&2; exit 1 ;;
    esac
done

if [ -z "${SORVANE_SCREENSHOT_INSIDE:-}" ]; then
    scripts/install-deps.sh
    cmake -S . -B "$build" -G Ninja >/dev/null
    cmake --build "$build" -j "$(nproc)" --target sorvane sorvane-station sorvane_demo_catalogue
    mkdir -p "$(dirname "$out")"
    SORVANE_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x600x24" dbus-run-session -- \
        "$0" --build "$build" --out "$out"
fi

# From here on: inside the X server and the session bus made above.
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mpris() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.sorvane /org/mpris/MediaPlayer2 \
        "org.mpris.MediaPlayer2.Player.$1" >/dev/null
}

# Waits (at most 10 s) until the program has reported `$1` songs playing.
wait_playing() {
    for _ in $(seq 200); do
        [ "$(grep -c '^sorvane-trace .* playing$' "$work/stderr" || true)" -ge "$1" ] && return 0
        sleep 0.05
    done
    echo "screenshot.sh: no song reached playing; the program said:" >&2
    tail -20 "$work/stderr" >&2
    exit 1
}

# Clicks at (x, y) inside the main window.
click() {
    xdotool mousemove "$((win_X + $1))" "$((win_Y + $2))" click 1
    sleep 0.3
}

# A desktop: a dusk gradient with a soft glow, shown as a window filling the screen. The
# compositor (client-side, so translucent pixels are blended) would paint the root window
# plain black: it only shows root backgrounds set through _XROOTPMAP_ID.
convert -size 1024x600 gradient:'#10294a'-'#d08c68' \( -size 800x800 radial-gradient:'#6a5a70'-black \) \
    -geometry +450-250 -compose screen -composite "$work/desktop.png"
display -geometry +0+0 -borderwidth 0 -title desktop "$work/desktop.png" &
pids+=($!)
xdotool search --sync --name '^desktop$' >/dev/null

xcompmgr &
pids+=($!)
sleep 0.5

SORVANE_DATA_DIR="$work/data" SORVANE_MPV_OPTIONS=ao=null SORVANE_TRACE=1 \
    "$build/bin/sorvane" --demo 2>"$work/stderr" &
pids+=($!)

window=$(xdotool search --sync --name '^SorvaneV1\.5$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/win_/')"
for _ in $(seq 100); do
    mpris Next 2>/dev/null && break
    sleep 0.1
done

# Favourites: the demo channel plays its songs in catalogue order; the third shares its
# album with the second, so it already counts as kept (its heart is the remove button).
for n in 1 2 3 4; do
    wait_playing "$n"
    sleep 0.5
    if [ "$n" -ne 3 ]; then
        click 38 170 # the collect button, at 23,155 in the window
    fi
    if [ "$n" -lt 4 ]; then
        mpris Next
    fi
done

# The desktop lyrics come up last, on a line that stays for a while: their window is
# shaped to each line's letters, and a compositor that does not clip translucent windows
# to their shape shows letters of earlier lines left outside the current shape. In the
# fourth song (送别) the line 芳草碧连天 holds from 6 s to 11 s.
song_start=$(grep '^sorvane-trace .* playing$' "$work/stderr" | sed -n 4p | cut -d' ' -f2)
sleep "$(awk -v s="$song_start" -v now="$(date +%s.%N)" 'BEGIN { d = s + 7 - now; print (d > 0 ? d : 0) }')"
click 420 100 # favourites panel
click 220 128 # desktop lyrics
xdotool mousemove 760 300
sleep 0.5

import -window root "$out"
echo "wrote $out"
