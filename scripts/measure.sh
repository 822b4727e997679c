#!/usr/bin/env bash
# Measures the desktop program against the local station, in its own X server and session
# bus, and prints the figures beside their targets: start-up to the window shown, MPRIS
# Next to audio playing with every request delayed, CPU time over a stretch of playback
# with the desktop lyrics shown against the mpv command line, and resident memory and
# open files over many short songs. Takes about a minute and a half with the defaults.
#
#   scripts/measure.sh [--build DIR] [--seconds N] [--songs N] [--only LIST]
#
# --build DIR   build folder (default: build); the program, the station and the demo
#               catalogues are built there first
# --seconds N   playback stretch of the CPU figure (default 60)
# --songs N     short songs of the memory figure (default 500)
# --only LIST   some of start,song,cpu,memory (default: all); also --starts N,
#               --song-starts N and --delay-ms N (5, 5, 50), see tools/measure/measure.py
# Exit status: 0 when every figure is within its target, 3 when one is over, 1 on failure.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
pass=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --seconds|--songs|--starts|--song-starts|--delay-ms|--only) pass+=("$1" "$2"); shift 2 ;;
        -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "measure.sh: unknown argument $1" >&2; exit 1 ;;
    esac
done

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$(nproc)" --target sorvane sorvane-station sorvane_demo_catalogue

exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
    python3 tools/measure/measure.py --bin "$build/bin" \
    --demo-catalogue "$build/share/sorvane/demo" --short-catalogue "$build/share/sorvane/short" \
    "${pass[@]}"
