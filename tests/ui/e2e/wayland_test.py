#!/usr/bin/env python3
"""lumaro-demo on a headless Wayland compositor (weston): without a tray it
opens its window at once, titled "Lumaro".

  wayland_test.py <lumaro-demo>
"""
import glob
import os

from desktop_rig import Desktop, demo_binary, need, skip, wait_for


def main():
    need("weston", "weston-debug")
    if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        skip("Qt's Wayland platform plugin is missing (package qt6-wayland)")
    with Desktop("wayland") as desktop:
        socket = "lumaro-wayland"
        desktop.start(["weston", "--backend=headless-backend.so", "--width=1024", "--height=768",
                       f"--socket={socket}", "--use-pixman", "--debug", "--idle-time=0"], "weston.log")
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(desktop.runtime, socket)))
        desktop.env["WAYLAND_DISPLAY"] = socket
        env = dict(desktop.env, QT_QPA_PLATFORM="wayland", LUMARO_DEMO_DISPLAYS="2")
        desktop.start([demo_binary()], "demo.log", env=env)

        def titled_window():
            # weston-debug streams the scene graph and keeps going: read what
            # it prints within a moment.
            out = desktop.run(["timeout", "2", "weston-debug", "scene-graph"]).stdout
            return "window 'Lumaro'" in out and out

        scene = wait_for("a window titled \"Lumaro\" in weston's scene graph", titled_window)
        for line in scene.splitlines():
            if "Lumaro" in line:
                print(line.strip())
    print("PASSED")


if __name__ == "__main__":
    main()
