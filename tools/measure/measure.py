#!/usr/bin/env python3
"""Measures the desktop program against the local station: start-up to the window shown,
song start after an MPRIS Next, CPU time over a stretch of playback with the desktop
lyrics shown (beside the mpv command line playing the same file), and memory and open
files over many short songs.

Run by scripts/measure.sh inside its own X server and session bus; not meant to be run
on a desktop session (it starts and quits the program several times). Standard library
only. Timings repeated several times are judged by their median (the worst is shown
too): the machine may be busy with other work. Exit status: 0 when every figure is within
its target, 3 when one is over, 1 when something could not be measured.
"""

import argparse
import ctypes
import ctypes.util
import math
import os
import select
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import wave

MPRIS_NAME = "org.mpris.MediaPlayer2.sorvane"
MPRIS_PATH = "/org/mpris/MediaPlayer2"
WINDOW_TITLE = b"SorvaneV1.5"
# The desktop-lyrics button, relative to the main window's top left corner.
LYRICS_BUTTON = (226 - 16 + 10, 120 - 1 + 9)


class MeasureError(Exception):
    pass


def log(message):
    print(message, file=sys.stderr, flush=True)


# --- processes -------------------------------------------------------------------------


def cpu_seconds(pid):
    """User + system CPU time of a running process, in seconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise MeasureError(f"no VmRSS for process {pid}")


def open_fds(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def stop_process(proc, timeout=10):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Station:
    """sorvane-station on a free loopback port."""

    def __init__(self, binary, catalogue, delay_ms=0):
        args = [binary, "--port", "0", "--catalogue", catalogue, "--quiet", "--exit-with-parent"]
        if delay_ms:
            args += ["--delay-ms", str(delay_ms)]
        self.proc = subprocess.Popen(args, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        ready, _, _ = select.select([self.proc.stdout], [], [], 10)
        line = self.proc.stdout.readline() if ready else ""
        if not line.startswith("listening on "):
            stop_process(self.proc)
            raise MeasureError(f"station did not start: {line!r}")
        self.base = line.split()[2]

    def control(self, path):
        with urllib.request.urlopen(self.base + path, timeout=5) as reply:
            return reply.read().decode()

    def log_lines(self):
        return self.control("/_station/log").splitlines()

    def stop(self):
        stop_process(self.proc)


class Program:
    """The desktop program with SORVANE_TRACE=1; collects its "playing" marks."""

    def __init__(self, binary, station, data_dir, extra_env=None):
        env = dict(os.environ)
        env.update(
            SORVANE_SERVICE_BASE=station.base,
            SORVANE_MUSIC_BASE=station.base + "/music",
            SORVANE_DATA_DIR=data_dir,
            SORVANE_MPV_OPTIONS="ao=null",
            SORVANE_TRACE="1",
        )
        env.update(extra_env or {})
        self.started = time.monotonic()
        self.proc = subprocess.Popen([binary], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.pid = self.proc.pid
        self.playing = []  # unix times
        self.other = []  # last lines of other output, for error messages
        self.cond = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.proc.stderr:
            line = raw.decode(errors="replace").rstrip("\n")
            parts = line.split()
            with self.cond:
                if len(parts) == 3 and parts[0] == "sorvane-trace" and parts[2] == "playing":
                    self.playing.append(float(parts[1]))
                else:
                    self.other = (self.other + [line])[-20:]
                self.cond.notify_all()

    def wait_playing(self, count, timeout=10):
        """Waits until `count` playing marks have been seen; returns the last one."""
        with self.cond:
            if not self.cond.wait_for(lambda: len(self.playing) >= count or self.proc.poll() is not None,
                                      timeout):
                raise MeasureError(f"no song reached playing within {timeout} s; program said: {self.other}")
            if len(self.playing) < count:
                raise MeasureError(f"the program ended: {self.other}")
            return self.playing[count - 1]

    def stop(self):
        stop_process(self.proc)


def dbus_send(*args):
    subprocess.run(["dbus-send", "--session", "--print-reply", *args], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=10)


def mpris(method):
    dbus_send(f"--dest={MPRIS_NAME}", MPRIS_PATH, f"org.mpris.MediaPlayer2.Player.{method}")


def wait_for_mpris(program, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if program.proc.poll() is not None:
            raise MeasureError(f"the program ended: {program.other}")
        reply = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                f"string:{MPRIS_NAME}"], capture_output=True, text=True, timeout=10)
        if "boolean true" in reply.stdout:
            return
        time.sleep(0.05)
    raise MeasureError("the program did not take its MPRIS name")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True, timeout=10).stdout


# --- X11: when is the main window mapped ---------------------------------------------


class MapWatcher:
    """Listens on the root window for top-level windows being mapped (no window manager
    runs, so the program's windows are the root's children)."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self):
        x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_void_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x = x
        self.display = x.XOpenDisplay(None)
        if not self.display:
            raise MeasureError("cannot open the X display")
        x.XSelectInput(self.display, x.XDefaultRootWindow(self.display), self.SUBSTRUCTURE_NOTIFY_MASK)
        x.XFlush(self.display)
        self.fd = x.XConnectionNumber(self.display)
        self.event = ctypes.create_string_buffer(192)  # sizeof(XEvent)

    def _name(self, window):
        out = ctypes.c_void_p()
        if not self.x.XFetchName(self.display, window, ctypes.byref(out)) or not out.value:
            return b""
        name = ctypes.string_at(out.value)
        self.x.XFree(out)
        return name

    def wait_mapped(self, title, timeout):
        """monotonic time at which a window named `title` was mapped."""
        deadline = time.monotonic() + timeout
        while True:
            while self.x.XPending(self.display):
                self.x.XNextEvent(self.display, self.event)
                now = time.monotonic()
                kind, = struct.unpack_from("i", self.event.raw, 0)
                # XMapEvent: type, serial, send_event, display, event, window, override_redirect
                window, = struct.unpack_from("L", self.event.raw, 40)
                if kind == self.MAP_NOTIFY and self._name(window) == title:
                    return now
            left = deadline - time.monotonic()
            if left <= 0:
                raise MeasureError("the main window was not mapped")
            select.select([self.fd], [], [], left)

    def close(self):
        self.x.XCloseDisplay(self.display)


# --- the measuring catalogue -----------------------------------------------------------


def make_catalogue(folder, seconds, cover):
    """One song of `seconds` seconds of tones whose lyric line changes every second."""
    os.makedirs(folder, exist_ok=True)
    rate = 44100
    notes = [262, 294, 330, 349, 392, 440, 494, 523]
    tones = []
    for hz in notes:
        frames = bytearray()
        for i in range(rate):
            envelope = min(1.0, i / 2000, (rate - i) / 2000)
            v = int(9000 * envelope * math.sin(2 * math.pi * hz * i / rate))
            frames += struct.pack("<hh", v, v)
        tones.append(bytes(frames))
    wav_path = os.path.join(folder, "tones.wav")
    with wave.open(wav_path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        for s in range(seconds):
            w.writeframes(tones[(s * 3) % len(tones)])
    subprocess.run(["lame", "--quiet", "-b", "128", wav_path, os.path.join(folder, "tones.mp3")], check=True)
    os.remove(wav_path)

    words = ["好一朵美丽的茉莉花", "芬芳美丽满枝桠", "又香又白人人夸", "让我来将你摘下",
             "送给别人家", "茉莉花呀茉莉花", "一闪一闪亮晶晶", "满天都是小星星"]
    with open(os.path.join(folder, "tones.lrc"), "w", encoding="utf-8") as f:
        f.write("[ti:测量]\n")
        for s in range(seconds):
            f.write(f"[{s // 60:02d}:{s % 60:02d}.00]第{s + 1}句 {words[s % len(words)]}\n")
    lines = ["[song]", "sid = 9001", "ssid = 6d65", "title = 测量之歌", "artist = 音阶",
             "album = 测量", "audio = tones.mp3", "lyric = tones.lrc", "kbps = 128", f"length = {seconds}"]
    if cover and os.path.exists(cover):
        shutil.copy(cover, os.path.join(folder, "tones.png"))
        lines.append("cover = tones.png")
    with open(os.path.join(folder, "catalogue.ini"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return os.path.join(folder, "tones.mp3")


# --- the four figures ------------------------------------------------------------------


def measure_start_up(args, work):
    """Process start to the main window mapped, over several starts."""
    station = Station(args.station, args.demo_catalogue)
    times = []
    try:
        for _ in range(args.starts):
            watcher = MapWatcher()
            try:
                program = Program(args.program, station, os.path.join(work, "data-start"))
                try:
                    mapped = watcher.wait_mapped(WINDOW_TITLE, 10)
                    times.append((mapped - program.started) * 1000)
                    wait_for_mpris(program)
                finally:
                    program.stop()
            finally:
                watcher.close()
    finally:
        station.stop()
    return times


def classify(line):
    target = line.split()[1]
    for prefix, name in (("/j/v2/playlist", "playlist"), ("/j/v2/lyric", "lyric"),
                         ("/j/v2/channel_info", "channel"), ("/j/v2/song", "song"),
                         ("/cover/", "cover"), ("/audio/", "audio")):
        if target.startswith(prefix):
            return name
    return target


def measure_song_start(args, work):
    """MPRIS Next to the player playing, with every request delayed."""
    station = Station(args.station, args.demo_catalogue, delay_ms=args.delay_ms)
    program = Program(args.program, station, os.path.join(work, "data-song"))
    runs = {}
    try:
        wait_for_mpris(program)
        # What starting dbus-send itself costs, inside every measured time.
        t = time.monotonic()
        for _ in range(5):
            dbus_send("--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.GetId")
        dbus_ms = (time.monotonic() - t) * 1000 / 5
        for delay in (0, args.delay_ms):
            station.control(f"/_station/delay?ms={delay}")
            runs[delay] = []
            for _ in range(args.song_starts):
                station.control("/_station/reset")
                seen = len(program.playing)
                t0 = time.time()
                mpris("Next")
                t1 = program.wait_playing(seen + 1)
                requests = [classify(line) for line in station.log_lines()]
                runs[delay].append(((t1 - t0) * 1000, requests))
                time.sleep(0.3)
    finally:
        program.stop()
        station.stop()
    return runs, dbus_ms


def measure_cpu(args, work):
    """CPU time over a stretch of playback with the desktop lyrics shown, beside the mpv
    command line playing the same file over the same stretch."""
    folder = os.path.join(work, "cpu-catalogue")
    song = make_catalogue(folder, args.seconds + 15, os.path.join(args.demo_catalogue, "molihua.png"))
    station = Station(args.station, folder)
    program = Program(args.program, station, os.path.join(work, "data-cpu"))
    mpv = None
    try:
        wait_for_mpris(program)
        window = xdotool("search", "--name", f"^{WINDOW_TITLE.decode()}$").split()[0]
        geometry = xdotool("getwindowgeometry", "--shell", window)
        pos = dict(line.split("=") for line in geometry.split())
        x, y = int(pos["X"]) + LYRICS_BUTTON[0], int(pos["Y"]) + LYRICS_BUTTON[1]
        xdotool("mousemove", str(x), str(y), "click", "1")
        mpris("Next")
        program.wait_playing(1)
        visible = xdotool("search", "--onlyvisible", "--pid", str(program.pid), "--name", "").split()
        if len(visible) < 2:
            raise MeasureError("the desktop lyrics window is not shown")
        mpv = subprocess.Popen(["mpv", "--no-video", "--ao=null", song], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)  # both past their start-up
        p0, m0, t0 = cpu_seconds(program.pid), cpu_seconds(mpv.pid), time.monotonic()
        time.sleep(args.seconds)
        p1, m1, t1 = cpu_seconds(program.pid), cpu_seconds(mpv.pid), time.monotonic()
        if mpv.poll() is not None or program.proc.poll() is not None:
            raise MeasureError("a player ended before the stretch was over")
        if len(program.playing) != 1:
            raise MeasureError("the song ended before the stretch was over")
        return p1 - p0, m1 - m0, t1 - t0
    finally:
        if mpv:
            stop_process(mpv)
        program.stop()
        station.stop()


def measure_memory(args, work):
    """Resident memory and open files over many short songs skipped through MPRIS."""
    station = Station(args.station, args.short_catalogue)
    program = Program(args.program, station, os.path.join(work, "data-memory"))
    samples = []
    try:
        wait_for_mpris(program)
        marks = sorted({min(50, args.songs), *range(100, args.songs, 100), args.songs})
        for n in range(1, args.songs + 1):
            seen = len(program.playing)
            mpris("Next")
            program.wait_playing(seen + 1)
            if n in marks:
                # Sockets of the song just started close within moments: the files that
                # stay open are the fewest seen over half a second.
                fds = []
                for _ in range(10):
                    time.sleep(0.05)
                    fds.append(open_fds(program.pid))
                samples.append((n, resident_kib(program.pid), min(fds)))
                log(f"  song {n}: {samples[-1][1] / 1024:.1f} MiB resident, {samples[-1][2]} open files")
    finally:
        program.stop()
        station.stop()
    return samples


# --- report -----------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", required=True, help="folder with sorvane and sorvane-station")
    parser.add_argument("--demo-catalogue", required=True)
    parser.add_argument("--short-catalogue", required=True)
    parser.add_argument("--seconds", type=int, default=60, help="playback stretch for the CPU figure")
    parser.add_argument("--songs", type=int, default=500, help="short songs for the memory figure")
    parser.add_argument("--starts", type=int, default=5, help="program starts for the start-up figure")
    parser.add_argument("--song-starts", type=int, default=5, help="songs started per delay")
    parser.add_argument("--delay-ms", type=int, default=50, help="delay of every station request")
    parser.add_argument("--only", default="start,song,cpu,memory",
                        help="figures to measure, comma-separated: start, song, cpu, memory")
    args = parser.parse_args()
    args.program = os.path.join(args.bin, "sorvane")
    args.station = os.path.join(args.bin, "sorvane-station")

    rows = []  # (figure, measured, target, within)

    def row(figure, measured, target, within):
        rows.append((figure, measured, target, within))

    began = time.monotonic()
    only = set(args.only.split(","))
    unknown = only - {"start", "song", "cpu", "memory"}
    if unknown:
        parser.error(f"unknown figures: {', '.join(sorted(unknown))}")

    def part(name, title):
        if name not in only:
            return False
        log(f"[{time.monotonic() - began:.0f} s] {title} ...")
        return True

    work = tempfile.mkdtemp(prefix="sorvane-measure-")
    try:
        if part("start", "start-up"):
            starts = measure_start_up(args, work)
            median = statistics.median(starts)
            row("start to window mapped", f"median {median:.0f} ms, worst {max(starts):.0f} ms "
                f"({args.starts} starts)", "≤ 400 ms", median <= 400)

        if part("song", "song start"):
            runs, dbus_ms = measure_song_start(args, work)
            for delay, results in runs.items():
                times = [t for t, _ in results]
                requests = results[-1][1]
                kinds = ", ".join(f"{requests.count(k)} {k}" for k in dict.fromkeys(requests))
                delays = len(requests) * delay
                budget = delays + 250
                row(f"Next to playing, {delay} ms per request",
                    f"median {statistics.median(times):.0f} ms, worst {max(times):.0f} ms; "
                    f"{len(requests)} requests ({kinds}) = {delays} ms of delays",
                    f"≤ {budget} ms", statistics.median(times) <= budget)
            log(f"  (each time includes starting dbus-send, about {dbus_ms:.0f} ms)")

        if part("cpu", f"CPU over {args.seconds} s"):
            program_cpu, mpv_cpu, wall = measure_cpu(args, work)
            ratio = program_cpu / mpv_cpu if mpv_cpu > 0 else float("inf")
            row(f"CPU over {wall:.0f} s, desktop lyrics shown",
                f"sorvane {program_cpu:.2f} s ({program_cpu / wall * 100:.1f} % of a core), "
                f"mpv {mpv_cpu:.2f} s: {ratio:.2f}×", "≤ 1.5×", ratio <= 1.5)

        if part("memory", f"memory over {args.songs} songs"):
            samples = measure_memory(args, work)
            first, last = samples[0], samples[-1]
            growth = (last[1] - first[1]) / 1024
            row(f"resident memory, song {first[0]} → {last[0]}",
                f"{first[1] / 1024:.1f} → {last[1] / 1024:.1f} MiB: {growth:+.1f} MiB", "≤ 5 MB",
                growth * 1.048576 <= 5)
            row(f"open files, song {first[0]} → {last[0]}", f"{first[2]} → {last[2]}: {last[2] - first[2]:+d}",
                "no growth", last[2] <= first[2])
        log(f"done in {time.monotonic() - began:.0f} s")
    except (MeasureError, subprocess.SubprocessError, OSError) as e:
        log(f"measure: {e}")
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
        if rows:
            width = max(len(r[0]) for r in rows)
            mwidth = max(len(r[1]) for r in rows)
            twidth = max(len(r[2]) for r in rows)
            print(f"{'figure':<{width}}  {'measured':<{mwidth}}  {'target':<{twidth}}  result")
            for figure, measured, target, within in rows:
                print(f"{figure:<{width}}  {measured:<{mwidth}}  {target:<{twidth}}  "
                      f"{'ok' if within else 'OVER'}")
    return 0 if all(r[3] for r in rows) else 3


if __name__ == "__main__":
    sys.exit(main())
