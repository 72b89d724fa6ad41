#!/usr/bin/env python3
"""Start-up time and resident memory of lumaro-demo beside ddcui, under Xvfb.

For each run the program is started with a fresh X server; the start time is
taken from just before the process starts to the first MapNotify on the root
window (watched with `xev`), "settled" is when that window last changed (mapped,
moved or resized: Lumaro's list grows as its rows arrive) within the second
after, and resident memory (VmRSS) is read at the end of that second. Programs
take turns run by run. Prints medians and the ratios.

Usage: bench/startup_benchmark.py [--lumaro build/bench/app/lumaro-demo] [--runs 5]
                                  [--also floor=build/bench/bench/lumaro-qt-floor] [--without-ddcui]
Needs: xvfb, x11-utils (xev), ddcui (all Debian packages).
"""
import argparse
import os
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import time

DISPLAY_NUMBER = ":97"


def start_xvfb():
    server = subprocess.Popen(["Xvfb", DISPLAY_NUMBER, "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                               # Without -noreset the server resets when its last client leaves, and
                               # a client connecting during that reset is turned away.
                               "-noreset"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    env = dict(os.environ, DISPLAY=DISPLAY_NUMBER)
    while time.monotonic() < deadline:
        if subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0:
            return server
        time.sleep(0.05)
    server.kill()
    sys.exit("Xvfb did not start")


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


EVENT_WINDOW = re.compile(r"^\s+event 0x[0-9a-f]+, window (0x[0-9a-f]+)")


def measure_once(command):
    """Seconds to the first mapped window, seconds until that window last
    changed (mapped, moved or resized) in the second after, and VmRSS then."""
    server = start_xvfb()
    env = dict(os.environ, DISPLAY=DISPLAY_NUMBER)
    env.pop("QT_QPA_PLATFORM", None)
    watcher = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], env=env,
                               stdout=subprocess.PIPE)
    # xev prints its own window's creation first; wait until it is listening.
    time.sleep(0.3)
    start = time.monotonic()
    app = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = settled = window = kind = None
    deadline = start + 30
    buffered = ""
    while time.monotonic() < deadline and app.poll() is None:
        if mapped is not None and time.monotonic() - start > mapped + 1.0:
            break
        ready, _, _ = select.select([watcher.stdout], [], [], 0.01)
        if not ready:
            continue
        chunk = os.read(watcher.stdout.fileno(), 65536).decode(errors="replace")
        if not chunk:
            break
        now = time.monotonic() - start
        buffered += chunk
        # Whole lines only. An event's first line names it; the next one
        # names the window it happened to.
        *lines, buffered = buffered.split("\n")
        for line in lines:
            if line and not line[0].isspace():
                kind = line.split(" ", 1)[0]
                continue
            match = EVENT_WINDOW.match(line)
            if match is None or kind not in ("MapNotify", "ConfigureNotify"):
                continue
            if mapped is None and kind == "MapNotify":
                mapped, window = now, match.group(1)
            if match.group(1) == window:
                settled = now
    memory = rss_kib(app.pid) if app.poll() is None else 0
    app.send_signal(signal.SIGTERM)
    try:
        app.wait(timeout=5)
    except subprocess.TimeoutExpired:
        app.kill()
    watcher.kill()
    # SIGTERM, not SIGKILL: the server removes its lock file and socket.
    server.terminate()
    server.wait()
    return mapped, settled, memory


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lumaro", default="build/bench/app/lumaro-demo")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--also", action="append", default=[], metavar="NAME=COMMAND",
                        help="measure another program in the same runs, e.g. the Qt floor: "
                             "--also floor=build/bench/bench/lumaro-qt-floor")
    parser.add_argument("--without-ddcui", action="store_true",
                        help="leave ddcui out; ratios are then given to the program named floor")
    args = parser.parse_args()
    tools = ("Xvfb", "xev", "xdpyinfo") + (() if args.without_ddcui else ("ddcui",))
    for tool in tools:
        if shutil.which(tool) is None:
            sys.exit(f"{tool} is missing: apt-get install xvfb x11-utils ddcui")
    programs = [("lumaro-demo", [args.lumaro])]
    if not args.without_ddcui:
        programs.append(("ddcui", ["ddcui"]))
    for extra in args.also:
        name, _, command = extra.partition("=")
        programs.append((name, command.split()))
    results = {name: [] for name, _ in programs}
    # Interleaved, so a burst of load on the machine hits every program alike.
    for _ in range(args.runs):
        for name, command in programs:
            mapped, settled, memory = measure_once(command)
            if mapped is None:
                sys.exit(f"{name}: no window was mapped")
            results[name].append((mapped, settled, memory))
    medians = {}
    for name, _ in programs:
        runs = results[name]
        t = statistics.median(r[0] for r in runs)
        ready = statistics.median(r[1] for r in runs)
        m = statistics.median(r[2] for r in runs)
        medians[name] = (t, m)
        print(f"{name:12s} start median {t * 1000:7.1f} ms   settled {ready * 1000:7.1f} ms   "
              f"RSS median {m / 1024:6.1f} MiB   (runs: {', '.join(f'{r[0] * 1000:.0f}' for r in runs)} ms)")
    lumaro_t, lumaro_m = medians["lumaro-demo"]
    if "ddcui" in medians:
        ddcui_t, ddcui_m = medians["ddcui"]
        print(f"start ratio lumaro/ddcui: {lumaro_t / ddcui_t:.2f} (budget 0.50)")
        print(f"memory: lumaro {lumaro_m / 1024:.1f} MiB (budget 45), ddcui {ddcui_m / 1024:.1f} MiB, "
              f"ratio {lumaro_m / ddcui_m:.2f}")
    if "floor" in medians:
        floor_t, floor_m = medians["floor"]
        print(f"to the Qt floor: start {lumaro_t / floor_t:.2f}, memory {lumaro_m / floor_m:.2f} (budget 1.15)")


if __name__ == "__main__":
    main()
