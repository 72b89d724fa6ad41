"""What the desktop tests share: a private X server, session bus and
temporary directories per test, polling waits, and clean-up that stops only
the processes the test started.

A test calls `skip(reason)` when a tool it needs is missing: CTest reports
exit code 77 as skipped, with the reason printed.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
# Generous: CI runs these on a loaded two-core machine.
WAIT = float(os.environ.get("LUMARO_E2E_WAIT", "30"))


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIP)


def fail(message):
    print(f"FAILED: {message}")
    sys.exit(1)


def need(*tools):
    for tool in tools:
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed (bash scripts/install-deps.sh installs it)")


def wait_for(what, probe, timeout=WAIT, interval=0.1):
    """Polls `probe` until it returns something truthy; fails the test with
    `what` when it has not within `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            fail(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Desktop:
    """One test's world: a temporary directory, an XDG runtime directory
    (mode 0700) and, on request, an X server and a session bus."""

    def __init__(self, name):
        self.dir = tempfile.mkdtemp(prefix=f"lumaro-{name}-")
        self.runtime = os.path.join(self.dir, "runtime")
        self.home = os.path.join(self.dir, "home")
        os.mkdir(self.runtime, 0o700)
        os.mkdir(self.home)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "TMPDIR": self.dir,
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "QT_STYLE_OVERRIDE": "Fusion",
            # No bus unless the test starts its own.
            "DBUS_SESSION_BUS_ADDRESS": "disabled:",
        }
        self.processes = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            stop(process)
        shutil.rmtree(self.dir, ignore_errors=True)

    def start(self, command, log, env=None, **kwargs):
        """Starts `command` in its own process group, output to `log` in the
        test's directory."""
        out = open(os.path.join(self.dir, log), "wb")
        process = subprocess.Popen(command, env=env or self.env, stdout=out, stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def log(self, name):
        try:
            with open(os.path.join(self.dir, name), errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def x_server(self, width=1024, height=768):
        """Starts Xvfb on a display number it picks itself."""
        need("Xvfb")
        read, write = os.pipe()
        process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24",
                                    "-nolisten", "tcp", "-noreset"],
                                   pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self.processes.append(process)
        os.close(write)
        number = b""
        deadline = time.monotonic() + WAIT
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        if not number.strip():
            fail("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode().strip()
        return self.env["DISPLAY"]

    def session_bus(self):
        """Starts a private session bus (service activation included)."""
        need("dbus-daemon")
        process = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                   env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self.processes.append(process)
        address = process.stdout.readline().decode().strip()
        if not address:
            fail("dbus-daemon did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        return address

    def run(self, command, **kwargs):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=WAIT, **kwargs)


def stop(process):
    if process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=5)
    except (ProcessLookupError, subprocess.TimeoutExpired):
        try:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait(timeout=5)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass


GEOMETRY = re.compile(r'^\s+(0x[0-9a-f]+) "([^"]*)": .*?(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)')


def x_windows(desktop):
    """Every window on the X server: (id, name, x, y, width, height) with
    absolute positions."""
    listing = desktop.run(["xwininfo", "-root", "-tree"]).stdout
    windows = []
    for line in listing.splitlines():
        match = GEOMETRY.match(line)
        if match:
            wid, name, w, h, x, y = match.groups()
            windows.append((wid, name, int(x), int(y), int(w), int(h)))
    return windows


def viewable(desktop, wid):
    return "IsViewable" in desktop.run(["xwininfo", "-id", wid]).stdout


def demo_binary():
    if len(sys.argv) < 2 or not os.access(sys.argv[1], os.X_OK):
        fail("usage: <test> path/to/lumaro-demo")
    return sys.argv[1]


def rect_inside(inner, outer):
    x, y, w, h = inner
    ox, oy, ow, oh = outer
    return x >= ox and y >= oy and x + w <= ox + ow and y + h <= oy + oh


def rects_overlap(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def popup(desktop):
    """The shown window titled "Lumaro" and its geometry, or None."""
    for wid, name, x, y, w, h in x_windows(desktop):
        if name == "Lumaro" and viewable(desktop, wid):
            return wid, (x, y, w, h)
    return None


def settled_popup(desktop):
    """The popup once its rows are in and it has stopped moving for a second."""
    last = None
    since = time.monotonic()

    def probe():
        nonlocal last, since
        found = popup(desktop)
        geometry = found[1] if found else None
        if geometry != last:
            last, since = geometry, time.monotonic()
            return None
        # Two rows make it well over 150 pixels tall; the empty list does not.
        if geometry and geometry[3] > 150 and time.monotonic() - since > 1.0:
            return geometry
        return None

    return wait_for("the popup to open with its rows and settle", probe)
