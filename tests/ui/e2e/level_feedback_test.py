#!/usr/bin/env python3
"""A level changed through the running demo's bus (`lumaro-demo set ...`) is
shown to the user.

  level_feedback_test.py <lumaro-demo> x11
      On Xvfb: an indicator window near the bottom centre appears at once,
      stays one window over repeated calls, and is gone 2 s after the last.
  level_feedback_test.py <lumaro-demo> wayland
      On headless weston: a desktop notification carries the level in its
      `value` hint, and the second one replaces the first.
"""
import json
import os
import sys
import time

from desktop_rig import Desktop, demo_binary, fail, need, skip, wait_for, x_windows, viewable

DEMO_BUS_NAME = "io.github.lumaro.Lumaro.Demo"
TITLE = "Brightness"  # the indicator window's title


def wait_for_instance(desktop):
    def owned():
        out = desktop.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                           "org.freedesktop.DBus.NameHasOwner", f"string:{DEMO_BUS_NAME}"]).stdout
        return "boolean true" in out
    wait_for("the demo on the session bus", owned)


def set_level(desktop, display, level):
    result = desktop.run([demo_binary(), "set", display, level])
    if result.returncode != 0:
        fail(f"set {display} {level}: {result.stderr.strip()}")


def indicators(desktop):
    return [w for w in x_windows(desktop) if w[1] == TITLE]


def shown_indicators(desktop):
    return [w for w in indicators(desktop) if viewable(desktop, w[0])]


def x11_test():
    need("xwininfo")
    with Desktop("feedback-x11") as desktop:
        desktop.x_server()
        desktop.session_bus()
        desktop.start([demo_binary()], "demo.log", env=dict(desktop.env, QT_QPA_PLATFORM="xcb"))
        wait_for_instance(desktop)
        if indicators(desktop):
            fail("an indicator exists before any change")

        set_level(desktop, "1", "40%")
        called = time.monotonic()
        while True:
            probed = time.monotonic()
            shown = shown_indicators(desktop)
            if shown or probed - called > 1.0:
                break
        if not shown or probed - called > 0.1:
            fail(f"no indicator within 100 ms of the call (seen: {shown}, after {probed - called:.3f} s)")
        _, _, x, y, w, h = shown[0]
        if abs(x + w // 2 - 512) > 2 or y < 768 // 2:
            fail(f"indicator at {x},{y} {w}x{h} is not near the bottom centre of 1024x768")

        set_level(desktop, "2", "60%")
        set_level(desktop, "all", "70%")
        if len(indicators(desktop)) != 1 or len(shown_indicators(desktop)) != 1:
            fail(f"repeated calls left {indicators(desktop)} instead of one shown indicator")
        time.sleep(2.0)
        if shown_indicators(desktop):
            fail("the indicator is still shown 2 s after the last call")
        print(f"indicator {w}x{h} at {x},{y}")


def wayland_test():
    need("weston", "dbus-daemon")
    import glob
    if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        skip("Qt's Wayland platform plugin is missing (package qt6-wayland)")
    with Desktop("feedback-wayland") as desktop:
        desktop.session_bus()
        log = os.path.join(desktop.dir, "notifications.jsonl")
        daemon = desktop.start([sys.executable, os.path.join(os.path.dirname(__file__), "mock_notifications.py"), log],
                               "daemon.log")
        wait_for("the mock notification daemon", lambda: "ready" in desktop.log("daemon.log") or daemon.poll())
        socket = "lumaro-feedback"
        desktop.start(["weston", "--backend=headless-backend.so", "--width=1024", "--height=768",
                       f"--socket={socket}", "--use-pixman", "--idle-time=0"], "weston.log")
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(desktop.runtime, socket)))
        desktop.env["WAYLAND_DISPLAY"] = socket
        desktop.start([demo_binary()], "demo.log", env=dict(desktop.env, QT_QPA_PLATFORM="wayland"))
        wait_for_instance(desktop)

        def notifications(count):
            lines = desktop.log("notifications.jsonl").splitlines()
            return [json.loads(line) for line in lines] if len(lines) >= count else None

        set_level(desktop, "1", "40%")
        first = wait_for("the first notification", lambda: notifications(1))[0]
        set_level(desktop, "1", "60%")
        second = wait_for("the second notification", lambda: notifications(2))[1]
        if first["hints"].get("value") != 40 or second["hints"].get("value") != 60:
            fail(f"value hints {first['hints']}, {second['hints']} are not 40 and 60")
        if first["replaces_id"] != 0 or second["replaces_id"] != first["id"]:
            fail(f"the second notification replaces {second['replaces_id']}, not the first's id {first['id']}")
        print(f"notifications: {first}, {second}")


def main():
    mode = sys.argv[2] if len(sys.argv) > 2 else ""
    if mode == "x11":
        x11_test()
    elif mode == "wayland":
        wayland_test()
    else:
        fail(f"unknown mode {mode!r}")
    print("PASSED")


if __name__ == "__main__":
    main()
