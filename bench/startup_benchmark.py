#!/usr/bin/env python3
"""Start-up time and resident memory of lumaro-demo beside ddcui, under Xvfb.

For each run the program is started with a fresh X server; the time is taken
from just before the process starts to the first MapNotify on the root window
(watched with `xev`), and resident memory (VmRSS) is read one second after the
window is up. Prints medians and the ratios.

Usage: bench/startup_benchmark.py [--lumaro build/bench/app/lumaro-demo] [--runs 5]
Needs: xvfb, x11-utils (xev), ddcui (all Debian packages).
"""
import argparse
import os
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


def measure_once(command):
    server = start_xvfb()
    env = dict(os.environ, DISPLAY=DISPLAY_NUMBER)
    env.pop("QT_QPA_PLATFORM", None)
    watcher = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], env=env,
                               stdout=subprocess.PIPE)
    # xev prints its own window's creation first; wait until it is listening.
    time.sleep(0.3)
    start = time.monotonic()
    app = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    deadline = start + 30
    buffered = ""
    while mapped is None and time.monotonic() < deadline and app.poll() is None:
        ready, _, _ = select.select([watcher.stdout], [], [], 0.05)
        if not ready:
            continue
        chunk = os.read(watcher.stdout.fileno(), 65536).decode(errors="replace")
        if not chunk:
            break
        buffered += chunk
        if "MapNotify" in buffered:
            mapped = time.monotonic() - start
    time.sleep(1.0)
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
    return mapped, memory


def measure(name, command, runs):
    times, memories = [], []
    for _ in range(runs):
        mapped, memory = measure_once(command)
        if mapped is None:
            sys.exit(f"{name}: no window was mapped")
        times.append(mapped)
        memories.append(memory)
    t, m = statistics.median(times), statistics.median(memories)
    print(f"{name:12s} start median {t * 1000:7.1f} ms   RSS median {m / 1024:6.1f} MiB   "
          f"(runs: {', '.join(f'{x * 1000:.0f}' for x in times)} ms)")
    return t, m


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lumaro", default="build/bench/app/lumaro-demo")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    for tool in ("Xvfb", "xev", "xdpyinfo", "ddcui"):
        if shutil.which(tool) is None:
            sys.exit(f"{tool} is missing: apt-get install xvfb x11-utils ddcui")
    lumaro_t, lumaro_m = measure("lumaro-demo", [args.lumaro], args.runs)
    ddcui_t, ddcui_m = measure("ddcui", ["ddcui"], args.runs)
    print(f"start ratio lumaro/ddcui: {lumaro_t / ddcui_t:.2f} (budget 0.50)")
    print(f"memory: lumaro {lumaro_m / 1024:.1f} MiB (budget 45), ddcui {ddcui_m / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
