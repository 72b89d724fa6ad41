#!/usr/bin/env python3
"""lumaro-demo as a StatusNotifierItem: xfce4-panel's notification area and
openbox on a private session bus. The item registers with the panel's
watcher, and activating it opens the popup wholly on screen.

  sni_tray_test.py <lumaro-demo>
"""
import os
import re
import shutil

from desktop_rig import Desktop, demo_binary, fail, need, rect_inside, settled_popup, wait_for

HERE = os.path.dirname(os.path.abspath(__file__))
SCREEN = (0, 0, 1024, 768)
WATCHER = ["--dest=org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties.Get",
           "string:org.kde.StatusNotifierWatcher"]


def watcher_property(desktop, name):
    return desktop.run(["dbus-send", "--session", "--print-reply", *WATCHER, f"string:{name}"]).stdout


def main():
    need("xfce4-panel", "openbox", "dbus-daemon", "dbus-send", "xdotool", "xwininfo")
    with Desktop("sni") as desktop:
        config = os.path.join(desktop.home, ".config", "xfce4", "xfconf", "xfce-perchannel-xml")
        os.makedirs(config)
        shutil.copy(os.path.join(HERE, "panel.xml"), os.path.join(config, "xfce4-panel.xml"))
        desktop.x_server()
        desktop.session_bus()
        desktop.start(["openbox"], "openbox.log")
        desktop.start(["xfce4-panel", "--disable-wm-check"], "panel.log")
        wait_for("the panel's StatusNotifierItem host",
                 lambda: "boolean true" in watcher_property(desktop, "IsStatusNotifierHostRegistered"))

        env = dict(desktop.env, QT_QPA_PLATFORM="xcb", LUMARO_DEMO_DISPLAYS="2")
        desktop.start([demo_binary()], "demo.log", env=env)
        items = wait_for("the item to register with the watcher",
                         lambda: re.findall(r'string "([^"]+)"',
                                            watcher_property(desktop, "RegisteredStatusNotifierItems")))
        service, _, path = items[0].partition("/")
        print(f"registered: {items[0]}")

        # Hosts pass where they were clicked, but Qt opens at the pointer:
        # put it over the panel, bottom right, as a click there would.
        desktop.run(["xdotool", "mousemove", "1000", "756"])
        desktop.run(["dbus-send", "--session", "--type=method_call", f"--dest={service}",
                     "/" + (path or "StatusNotifierItem"), "org.kde.StatusNotifierItem.Activate", "int32:1000",
                     "int32:756"])

        geometry = settled_popup(desktop)
        if not rect_inside(geometry, SCREEN):
            fail(f"popup {geometry} is not wholly on the screen {SCREEN}")
        print(f"popup {geometry}")
    print("PASSED")


if __name__ == "__main__":
    main()
